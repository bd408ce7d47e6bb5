// The page: the listing in CodeMirror, the Run command in a Web Worker, the
// Picture on a canvas, the error window as a dialog.
import { EditorView, basicSetup } from 'codemirror';

const $ = (id) => document.getElementById(id);
const worker = new Worker('worker.js');
const editor = new EditorView({
  doc: 'REM\nEND\n',
  extensions: [basicSetup, EditorView.updateListener.of((u) => {
    if (u.selectionSet) $('line').value = String(u.state.doc.lineAt(u.state.selection.main.head).number);
  })],
  parent: $('editor'),
});
let lastBmp = null;
window.kuvRuns = 0;

worker.onmessage = (event) => {
  const m = event.data;
  if (m.ready) {
    for (const id of ['run', 'bmp', 'clear']) $(id).disabled = false;
    window.kuvReady = true;
    return;
  }
  if (m.rewritten !== editor.state.doc.toString())
    editor.dispatch({ changes: { from: 0, to: editor.state.doc.length, insert: m.rewritten } });
  $('picture').getContext('2d').putImageData(new ImageData(m.rgba, 641, 481), 0, 0);
  lastBmp = m.bmp;
  $('error-log').textContent = m.errorLine ? m.errorLine + '\n' : '';
  if (m.errorLine) $('errors').show(); else $('errors').close();
  window.kuvRuns++;
};

$('run').onclick = () => worker.postMessage({ text: editor.state.doc.toString() });
$('clear').onclick = () => {
  const context = $('picture').getContext('2d');
  context.fillStyle = '#fff';
  context.fillRect(0, 0, 641, 481);
};
$('bmp').onclick = () => {
  if (!lastBmp) return;
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([lastBmp], { type: 'image/bmp' }));
  link.download = 'noname.bmp';
  link.click();
};
$('close-errors').onclick = () => {
  $('error-log').textContent = '';
  $('errors').close();
};
document.addEventListener('keydown', (e) => {
  if (e.key === 'Escape' && $('errors').open) $('errors').close();
});
