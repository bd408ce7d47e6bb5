export * from '@codemirror/state';
