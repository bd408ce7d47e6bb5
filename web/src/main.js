// The page: the listing in CodeMirror, the Run command in a Web Worker, the
// Picture on a canvas, the error window as a dialog.
import { EditorView, basicSetup } from 'codemirror';
import { linter } from '@codemirror/lint';

const $ = (id) => document.getElementById(id);
const worker = new Worker('worker.js');
// Live checks, by the core in the worker: each reply answers one request.
const pendingChecks = new Map();
let nextCheck = 0;
const checks = linter((view) => new Promise((resolve) => {
  const id = nextCheck++;
  pendingChecks.set(id, (found) => resolve(found.filter((f) => f.line <= view.state.doc.lines).map((f) => {
    const line = view.state.doc.line(f.line);
    return { from: line.from, to: line.to, severity: 'error', message: f.message };
  })));
  worker.postMessage({ check: view.state.doc.toString(), id });
}), { delay: 1000 });
// The listing survives a reload: it is kept in the browser, never sent.
const kept = localStorage.getItem('kuv-listing');
const editor = new EditorView({
  doc: kept !== null ? kept : 'REM\nEND\n',
  extensions: [basicSetup, checks, EditorView.updateListener.of((u) => {
    if (u.selectionSet) $('line').value = String(u.state.doc.lineAt(u.state.selection.main.head).number);
    if (u.docChanged) localStorage.setItem('kuv-listing', u.state.doc.toString());
  })],
  parent: $('editor'),
});
let lastBmp = null;
let fileName = 'noname.kuv';

function download(bytes, name, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  link.click();
}
window.kuvRuns = 0;

worker.onmessage = (event) => {
  const m = event.data;
  if (m.checked) {
    pendingChecks.get(m.id)?.(m.checked);
    pendingChecks.delete(m.id);
    return;
  }
  if (m.loaded !== undefined) {
    editor.dispatch({ changes: { from: 0, to: editor.state.doc.length, insert: m.loaded } });
    fileName = m.name;
    $('file').value = m.name;
    return;
  }
  if (m.saved) return download(m.saved, m.name, 'text/plain');
  if (m.ready) {
    for (const id of ['run', 'bmp', 'clear', 'open', 'save', 'save-as']) $(id).disabled = false;
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
  if (lastBmp) download(lastBmp, fileName.replace(/\.kuv$/, '') + '.bmp', 'image/bmp');
};
// Files are read and written here only: nothing is uploaded.
$('open').onclick = () => $('file-input').click();
$('file-input').onchange = async () => {
  const file = $('file-input').files[0];
  if (file) worker.postMessage({ load: await file.arrayBuffer(), name: file.name });
  $('file-input').value = '';
};
const save = (name) => worker.postMessage({ save: editor.state.doc.toString(), name });
$('save').onclick = () => save(fileName);
$('save-as').onclick = () => {
  const name = prompt('名前を付け保存', fileName.replace(/\.kuv$/, ''));
  if (name) save(name.endsWith('.kuv') ? name : name + '.kuv');
};
$('ver').onclick = () => $('about').showModal();
$('close-about').onclick = () => $('about').close();
$('close-errors').onclick = () => {
  $('error-log').textContent = '';
  $('errors').close();
};
document.addEventListener('keydown', (e) => {
  if (e.key === 'Escape' && $('errors').open) $('errors').close();
});

// Works offline after the first visit.
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js').then(() => navigator.serviceWorker.ready).then(() => {
    window.kuvOffline = true;
  });
}
