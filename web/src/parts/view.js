export * from '@codemirror/view';
