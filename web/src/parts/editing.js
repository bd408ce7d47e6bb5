export * from '@codemirror/commands';
export * from '@codemirror/search';
export * from '@codemirror/lint';
