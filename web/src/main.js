// The page: the listing in CodeMirror, the commands of the menu bar, the
// Run command in a Web Worker, the Picture on a canvas, the error window
// and the message boxes as dialogs, and the listing kept in the browser.
import {
  Decoration, EditorView, drawSelection, highlightActiveLine, highlightActiveLineGutter, highlightSpecialChars, keymap,
  lineNumbers,
} from '@codemirror/view';
import { StateEffect, StateField } from '@codemirror/state';
import { defaultKeymap, history, historyKeymap, insertNewline, isolateHistory } from '@codemirror/commands';
import { searchKeymap } from '@codemirror/search';
import { lintKeymap } from '@codemirror/lint';
import { setUpMenuBar } from './menus.js';
import { teaching } from './teaching.js';
import { setUpPicture } from './picture.js';
import { FileFailure, chooseListing, chooseNew, readFile, readHandle, watchListingInput, writeFile } from './files.js';
import { keep, restore, flush, setAside } from './storage.js';
import { setUpLinks } from './link.js';

const $ = (id) => document.getElementById(id);

// What went wrong in the page, kept for its tests in every engine (not
// every driver can read the console): errors nobody caught, promises
// nobody handled, Content-Security-Policy violations, console errors.
window.kuvProblems = [];
const problem = (what) => window.kuvProblems.push(String(what));
window.addEventListener('error', (e) => problem(`error: ${e.message}`));
window.addEventListener('unhandledrejection', (e) => problem(`rejection: ${e.reason && e.reason.message || e.reason}`));
document.addEventListener('securitypolicyviolation', (e) => problem(`csp: ${e.violatedDirective} ${e.blockedURI}`));
const consoleError = console.error.bind(console);
console.error = (...args) => { problem(`console: ${args.join(' ')}`); consoleError(...args); };

// What shapes the listing on the screen comes with it; the editing can
// come a task later. Long lines wrap at the right edge.
const showing = [lineNumbers(), highlightActiveLineGutter(), EditorView.lineWrapping];
// The editor types what is typed: Enter breaks the line and indents
// nothing, no bracket is closed for the user, nothing is completed; Tab
// moves the focus on.
const editing = [
  highlightSpecialChars(), history(), drawSelection(), highlightActiveLine(),
  keymap.of([{ key: 'Enter', run: insertNewline }, ...defaultKeymap, ...searchKeymap, ...historyKeymap, ...lintKeymap]),
];

// The worker holds the page's only core. Each request gets a promise of
// its reply; a failure in the worker rejects it with the error box's text.
const worker = new Worker('worker.js');
const waiting = new Map();
let nextId = 0;
const ask = (request, transfer = []) => new Promise((resolve, reject) => {
  const id = nextId++;
  waiting.set(id, (reply) => (reply.failure !== undefined ? reject(new Error(reply.failure)) : resolve(reply)));
  worker.postMessage({ id, ...request }, transfer);
});
const askText = async (request) => (await ask(request)).text;
const workerReady = new Promise((resolve, reject) => {
  worker.onmessage = (event) => {
    if (event.data.ready !== undefined) return event.data.ready ? resolve(event.data) : reject(new Error(event.data.failure));
    waiting.get(event.data.id)?.(event.data);
    waiting.delete(event.data.id);
  };
  worker.onerror = (e) => reject(new Error(e.message || 'worker'));
});

// The desktop's state: the current file's name, the handle to write it
// back to where the browser gives one, whether the listing changed since
// it was opened or saved, and the listing as the last run left it.
const state = { fileName: 'noname.kuv', handle: null, modified: false, runDoc: null, lastLine: 0 };

// The line that a replay has reached, marked in the listing.
const setReplayLine = StateEffect.define();
const replayLine = StateField.define({
  create: () => Decoration.none,
  update(value, tr) {
    for (const e of tr.effects)
      if (e.is(setReplayLine))
        return e.value > 0 && e.value <= tr.state.doc.lines
          ? Decoration.set([Decoration.line({ class: 'kuv-replay' }).range(tr.state.doc.line(e.value).from)]) : Decoration.none;
    return value.map(tr.changes);
  },
  provide: (f) => EditorView.decorations.from(f),
});

// text is shown as it is: an error's text comes from the core with its
// full stop already set by the core's rule.
function messageBox(text, error) {
  return new Promise((resolve) => {
    $('message-text').textContent = text;
    $('message-icon').textContent = error ? '⛔ ' : '';
    $('message').onclose = resolve;
    $('message').showModal();
  });
}
// A file that the browser would not read or write: the worker makes the
// message, as every other failure's.
const fail = async (e) => {
  const text = e instanceof FileFailure
    ? await askText({ op: 'failure', failure: e.failure, name: e.fileName }).catch(() => e.message) : e.message;
  return messageBox(text, true);
};

function askName(suggested) {
  return new Promise((resolve) => {
    const dialog = $('name-dialog');
    $('name-input').value = suggested;
    dialog.onclose = () => resolve(dialog.returnValue === 'ok' && $('name-input').value ? $('name-input').value : null);
    dialog.returnValue = '';
    dialog.showModal();
  });
}

let picture, editor, blank, links;
const START_LISTING = 'REM\nEND\n';
const caretLine = () => editor.state.doc.lineAt(editor.state.selection.main.head).number;
// Back to the listing after a command, unless a modal box has the keyboard.
const focusListing = () => { if (!document.querySelector('dialog:modal')) editor.focus(); };

function setText(text) {
  const head = Math.min(editor.state.selection.main.head, text.length);
  editor.dispatch({ changes: { from: 0, to: editor.state.doc.length, insert: text }, selection: { anchor: head } });
}

function showFileName(name) { $('file').value = name; }

function remember() {
  keep(() => ({ text: editor.state.doc.toString(), fileName: state.fileName, shownName: $('file').value, modified: state.modified }));
}

// ---- Commands -------------------------------------------------------------

async function run() {
  const started = performance.now();
  picture.endStages();
  const text = editor.state.doc.toString();
  const before = editor.state.doc;
  const m = await ask({ op: 'run', text });
  // Typing during the run wins over the run's rewriting: nothing typed is
  // ever lost.
  const untouched = editor.state.doc === before;
  if (untouched && m.rewritten !== text) setText(m.rewritten);
  // The owners and stages belong to this text, as long as it stays as it is.
  state.runDoc = untouched ? editor.state.doc : null;
  state.lastLine = m.lastLine;
  picture.show(m.rgba);
  $('error-log').textContent = m.errorLine ? m.errorLine + '\n' : '';
  $('error-explanation').textContent = m.explanation;
  tell(m.told);
  if ($('words').open) showWords();
  if (m.errorLine) $('errors').show(); else $('errors').close();
  // For the benchmarks: the whole command, as the user waits for it, and
  // the frame that puts the Picture on the screen.
  window.kuvRunMs = performance.now() - started;
  requestAnimationFrame(() => { window.kuvShownAt = performance.now(); });
  window.kuvCoreMs = m.coreMs;
  window.kuvRuns++;
}

async function clearPicture() {
  picture.endStages();
  const { told } = await ask({ op: 'clear' });
  state.runDoc = null;
  picture.show(blank());
  tell(told);
  if ($('words').open) showWords();
}

// Said by screen readers without the focus moving: the Picture in words
// after a run, the crosshair's point.
function tell(text) { $('announce').textContent = text; }

// Right of the Picture where the window has room for a readable column,
// else below the page's content: never over the listing.
function placeWords() {
  const box = $('words'), shown = $('picture').getBoundingClientRect(), main = document.querySelector('main').getBoundingClientRect();
  const room = window.innerWidth - shown.right - 24;
  if (room >= 280) {
    box.style.left = `${shown.right + 12 + window.scrollX}px`;
    box.style.top = `${shown.top + window.scrollY}px`;
    box.style.width = `${Math.min(room, 560)}px`;
  } else {
    box.style.left = `${8 + window.scrollX}px`;
    box.style.top = `${main.bottom + 8 + window.scrollY}px`;
    box.style.width = `${window.innerWidth - 16}px`;
  }
}

// 絵の説明: a row per statement the last run drew; choosing one puts the
// caret on its line, and the keyboard stays in the list.
async function showWords() {
  const { summary, items } = await ask({ op: 'words' });
  $('words-summary').textContent = summary;
  const rows = items.map(({ line, words }) => {
    const row = document.createElement('li'), button = document.createElement('button');
    button.textContent = words;
    button.dataset.line = String(line);
    button.onclick = () => {
      const l = editor.state.doc.line(Math.min(line, editor.state.doc.lines));
      editor.dispatch({ selection: { anchor: l.from }, scrollIntoView: true });
      $('line').value = String(line);
    };
    row.append(button);
    return row;
  });
  $('words-items').replaceChildren(...rows);
  if (!$('words').open) {
    $('words').show();
    placeWords();
    (rows[0]?.querySelector('button') || $('close-words')).focus();
  }
}

async function openListing(chosen) {
  if (!chosen) return;
  const { text } = await ask({ op: 'load', bytes: chosen.bytes }, [chosen.bytes]);
  setText(text);
  setCurrentListing(chosen.name, chosen.handle);
}

// The listing in the editor is now the file of this name, as it stands there.
function setCurrentListing(name, handle) {
  state.fileName = name;
  state.handle = handle;
  showFileName(name);
  state.modified = false;
  remember();
}

// A link's listing: a new, unsaved noname.kuv, with the caret at its start.
// It is an undo step of its own, never joined to the typing before it, so
// that one Ctrl+Z gives back the listing it replaced.
function openLinkText(text) {
  editor.dispatch({ changes: { from: 0, to: editor.state.doc.length, insert: text }, selection: { anchor: 0 }, scrollIntoView: true,
                    annotations: isolateHistory.of('full') });
  setCurrentListing('noname.kuv', null);
  focusListing();
}

// The tab's listing, kept aside before a link's takes its place: 'kept',
// 'not kept' (the browser keeps nothing), or 'nothing' to keep (the link's
// own listing, or the untouched start listing).
async function setAsideForLink(text) {
  const earlier = editor.state.doc.toString();
  if (earlier === text || (earlier === START_LISTING && !state.modified)) return 'nothing';
  const kept = await setAside({ text: earlier, fileName: state.fileName, shownName: $('file').value, modified: state.modified });
  return kept ? 'kept' : 'not kept';
}

async function listingBytes() {
  return (await ask({ op: 'save', text: editor.state.doc.toString() })).bytes;
}

async function overwriteSave() {
  await writeFile(state.handle, state.fileName, await listingBytes());
  state.modified = false;
  remember();
  await messageBox('上書き保存をしました', false);
}

async function saveAs() {
  const chosen = await chooseNew(state.fileName, 'kuv', askName);
  if (!chosen) return;
  // The browser's own picker already names its file.
  const name = chosen.handle ? chosen.name : await askText({ op: 'name', chosen: chosen.name, suffix: '.kuv' });
  await writeFile(chosen.handle, name, await listingBytes());
  state.fileName = name;
  state.handle = chosen.handle;
  showFileName(name);
  remember();
}

async function exportPicture(kind) {
  const reply = await ask({ op: kind === 'bmp' ? 'bmp' : 'jpeg' });
  if (kind === 'jpg' && reply.bytes.length === 0)
    throw new Error(await askText({ op: 'failure', failure: reply.error ? 'jpeg-error' : 'out-of-memory', code: reply.error }));
  const base = await askText({ op: 'baseName', path: state.fileName });
  const chosen = await chooseNew(`${base}.${kind}`, kind, askName);
  if (!chosen) return;
  const name = await askText({ op: 'name', chosen: chosen.name, suffix: `.${kind}` });
  await writeFile(chosen.handle, name, reply.bytes);
}

// Every command reports its failure in the ＫＵＶ error box and the page
// goes on.
const command = (f) => () => Promise.resolve().then(f).catch(fail);

// ---- Start-up -----------------------------------------------------------------

// Start-up in short steps, each its own task, so that a slow laptop's
// page never stops answering for long: the editor, then the Picture, then
// the commands.
const nextTask = () => new Promise((resolve) => setTimeout(resolve));

async function start() {
  const kept = await restore();
  if (kept) {
    state.fileName = kept.fileName;
    state.modified = kept.modified;
    showFileName(kept.shownName);
  }
  const checkListing = (text) => ask({ op: 'check', text });
  // The listing is shown first, and the editing and the aids come in the
  // next task; what is typed meanwhile is kept all the same.
  editor = new EditorView({
    doc: kept ? kept.text : START_LISTING,
    extensions: [
      showing,
      replayLine,
      EditorView.contentAttributes.of({ 'aria-label': 'リスト' }),
      EditorView.updateListener.of((u) => {
        if (u.selectionSet || u.docChanged) {
          $('line').value = String(u.state.doc.lineAt(u.state.selection.main.head).number);
          picture?.caretMoved(u.state.doc.lineAt(u.state.selection.main.head).number);
        }
        if (u.docChanged) {
          state.modified = true;
          picture?.endStages();
          remember();
        }
      }),
    ],
    parent: $('editor'),
  });
  await nextTask();
  editor.dispatch({ effects: StateEffect.appendConfig.of([editing, teaching(ask, checkListing, $('hint'))]) });

  // The Picture's size is the core's.
  const size = await workerReady;
  links = setUpLinks({ ask, listingText: () => editor.state.doc.toString(), messageBox, openText: openLinkText, setAside: setAsideForLink,
                      closed: focusListing });
  await nextTask();
  for (const c of [$('picture'), $('marks')]) {
    c.width = size.width;
    c.height = size.height;
  }
  blank = () => new Uint8ClampedArray(size.width * size.height * 4).fill(255);
  picture = setUpPicture({
    canvas: $('picture'), marks: $('marks'), tip: $('tip'), menu: $('picture-menu'), ask, timing: size,
    aids: {
      showWords,
      copyLink: () => links.copyLink().catch(fail),
      tell,
      canShowStages: () => state.runDoc !== null && editor.state.doc === state.runDoc && state.lastLine > 0,
      caretLine,
      showReplayLine: (line) => editor.dispatch({ effects: setReplayLine.of(line) }),
      async insertPoint(x, y) {
        const { from, to } = editor.state.selection.main;
        const doc = editor.state.doc, line = doc.lineAt(from);
        const before = from > line.from ? doc.sliceString(from - 1, from).charCodeAt(0) : 0;
        const after = to < doc.lineAt(to).to ? doc.sliceString(to, to + 1).charCodeAt(0) : 0;
        const text = await askText({ op: 'point', x, y, before, after });
        editor.dispatch({ changes: { from, to, insert: text }, selection: { anchor: from + text.length } });
        editor.focus();
      },
      showOwner(line) {
        const l = editor.state.doc.line(Math.min(line, editor.state.doc.lines));
        editor.dispatch({ selection: { anchor: l.from, head: l.to }, scrollIntoView: true });
        $('line').value = String(line);
        editor.focus();
      },
    },
  });
  picture.show(blank());

  await nextTask();
  setUpMenuBar(document.querySelector('.menubar'), focusListing);
  $('run').onclick = command(run);
  $('clear').onclick = command(clearPicture);
  $('open').onclick = command(async () => openListing(await chooseListing($('file-input'))));
  watchListingInput($('file-input'), (read) => command(async () => openListing(await read()))());
  $('save').onclick = command(overwriteSave);
  $('save-as').onclick = command(saveAs);
  $('bmp').onclick = command(() => exportPicture('bmp'));
  $('jpg').onclick = command(() => exportPicture('jpg'));
  $('ver').onclick = () => $('about').showModal();
  $('about-button').onclick = () => $('about').close();
  $('help').onclick = () => window.open('kuvhelp.htm', '_blank', 'noopener');
  $('close-errors').onclick = () => $('errors').close();
  $('close-words').onclick = () => { $('words').close(); focusListing(); };
  $('message-ok').onclick = () => $('message').close();
  // The error window is not modal: Esc closes it too.
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && $('errors').open) {
      $('errors').close();
      focusListing();
    }
  });

  // A file dropped on the page is opened.
  document.addEventListener('dragover', (e) => e.preventDefault());
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    const item = Array.from(e.dataTransfer.items || []).find((i) => i.kind === 'file');
    if (!item) return;
    const handle = item.getAsFileSystemHandle ? item.getAsFileSystemHandle() : null;
    const file = item.getAsFile();
    command(async () => {
      const h = handle && (await handle.catch(() => null));
      await openListing(h && h.kind === 'file' ? await readHandle(h) : await readFile(file, null));
    })();
  });

  // Leaving with a changed listing asks first (it is kept all the same).
  window.addEventListener('beforeunload', (e) => {
    flush();
    if (state.modified) {
      e.preventDefault();
      e.returnValue = '';
    }
  });
  document.addEventListener('visibilitychange', () => { if (document.visibilityState === 'hidden') flush(); });

  clearTimeout(startWatch);
  editor.focus();
  window.kuvReadyMs = performance.now();
  window.kuvReady = true;
  command(links.openFromAddress)();
}

// A browser that cannot run the core is told so within ten seconds, in
// words that name what it lacks, instead of a page that waits for ever.
function cannotStart(reason) {
  const why = String(reason && reason.message || reason);
  const lacks = typeof WebAssembly !== 'object' ? 'WebAssembly が使えません'
    : typeof Worker !== 'function' ? 'Web Worker が使えません'
    : /fetch|load|404|is empty/i.test(why) ? 'KUV の本体（kuv-core.wasm）を読み込めません'
    : 'WebAssembly を実行できません（コンテンツ セキュリティ ポリシーの wasm-unsafe-eval）';
  const box = $('cannot-start');
  box.textContent = `このブラウザーでは KUV を動かせません。${lacks}。` +
    'Chrome、Edge、Firefox、または Safari 16 以降で開いてください。';
  box.hidden = false;
  window.kuvCannotStart = why;
}
const startWatch = setTimeout(() => cannotStart('timeout'), 10000);
workerReady.catch((e) => { clearTimeout(startWatch); cannotStart(e); });

window.kuvRuns = 0;
start();

// Works offline after the first visit.
if ('serviceWorker' in navigator) {
  // Where the browser keeps no site data, there is no offline copy either.
  navigator.serviceWorker.register('sw.js').then(() => navigator.serviceWorker.ready).then(() => {
    window.kuvOffline = true;
  }, () => {});
}
