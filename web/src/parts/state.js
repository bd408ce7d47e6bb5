// A part of the page's script that boot.js takes in a task of its own.
export * from '@codemirror/state';
