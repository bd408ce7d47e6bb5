// The editor's teaching aids, each line's look worked out by the core: the
// statement's word, numbers, text and comments in colours, a swatch after
// each colour number, lines that no run reaches in grey, the live checks
// (by the worker, a second after typing stops) and the hint for the
// parameter under the caret.
import { Decoration, EditorView, ViewPlugin, WidgetType } from '@codemirror/view';
import { StateEffect, StateField, RangeSetBuilder } from '@codemirror/state';
import { linter } from '@codemirror/lint';
import { utf16In, utf16Out, withInt } from './core-io.js';

const ROLES = ['word', 'number', 'text', 'comment', 'unknown'];
const marks = ROLES.map((r) => Decoration.mark({ class: 'kuv-' + r }));
const greyLine = Decoration.line({ class: 'kuv-unreached' });

class Swatch extends WidgetType {
  constructor(colour) {
    super();
    this.colour = colour;
  }
  eq(other) { return other.colour === this.colour; }
  toDOM() {
    const box = document.createElement('span');
    box.className = 'kuv-swatch';
    const c = this.colour;
    box.style.background = `rgb(${c & 255},${(c >> 8) & 255},${(c >> 16) & 255})`;
    box.setAttribute('aria-hidden', 'true');
    return box;
  }
}

// The first line that no run reaches (0: all are), from the last check.
const setUnreached = StateEffect.define();
const unreached = StateField.define({
  create: () => 0,
  update: (value, tr) => {
    for (const e of tr.effects) if (e.is(setUnreached)) return e.value;
    return value;
  },
});

// A line's look depends on its text alone, so it is worked out once per
// text: a key press asks the core about the one line it changed, not about
// every line in view.
const styles = new Map();
const STYLES_KEPT = 4096;

function lineStyle(core, text) {
  const known = styles.get(text);
  if (known) return known;
  const style = utf16In(core, text, (at, n) => {
    const p = core._kuv_line_style(at, n) >> 2, heap = core.HEAP32;
    const spans = [], swatches = [];
    let i = p + 1;
    for (let k = 0; k < heap[p]; k++, i += 4) spans.push({ start: heap[i], length: heap[i + 1], role: heap[i + 2] });
    const count = heap[i++];
    for (let k = 0; k < count; k++, i += 2) swatches.push({ after: heap[i], colour: heap[i + 1] });
    return { spans, swatches };
  });
  if (styles.size >= STYLES_KEPT) styles.clear();
  styles.set(text, style);
  return style;
}

function decorationsOf(core, view) {
  const builder = new RangeSetBuilder();
  const firstUnreached = view.state.field(unreached);
  for (const { from, to } of view.visibleRanges) {
    for (let pos = from; pos <= to;) {
      const line = view.state.doc.lineAt(pos);
      if (firstUnreached && line.number >= firstUnreached) builder.add(line.from, line.from, greyLine);
      else if (line.length) {
        const { spans, swatches } = lineStyle(core, line.text);
        const points = [];
        for (const s of spans) points.push([line.from + s.start, line.from + s.start + s.length, marks[s.role]]);
        for (const s of swatches)
          points.push([line.from + s.after, line.from + s.after, Decoration.widget({ widget: new Swatch(s.colour), side: 1 })]);
        points.sort((a, b) => a[0] - b[0] || a[1] - b[1]);
        for (const [a, b, d] of points) builder.add(a, b, d);
      }
      pos = line.to + 1;
    }
  }
  return builder.finish();
}

function styling(core) {
  return ViewPlugin.fromClass(class {
    constructor(view) { this.decorations = decorationsOf(core, view); }
    update(u) {
      const checked = u.transactions.some((t) => t.effects.some((e) => e.is(setUnreached)));
      if (u.docChanged || u.viewportChanged || checked) this.decorations = decorationsOf(core, u.view);
    }
  }, { decorations: (p) => p.decorations });
}

// The hint: shown in #hint under the editor while the editor has the focus
// and the caret is on a statement; Esc hides it until the caret leaves the
// line.
function hints(core, box) {
  let dismissedLine = -1;
  const show = (view) => {
    const head = view.state.selection.main.head, line = view.state.doc.lineAt(head);
    if (!view.hasFocus || line.number === dismissedLine) return (box.hidden = true);
    const text = utf16In(core, line.text, (at, n) => withInt(core, (len) => utf16Out(core, core._kuv_hint(at, n, head - line.from, len), len)));
    if (!text) return (box.hidden = true);
    box.replaceChildren();
    // U+0001 … U+0002 mark the parameter under the caret.
    for (const [i, part] of text.split(/[\u0001\u0002]/).entries()) {
      const node = i % 2 ? document.createElement('b') : document.createElement('span');
      node.textContent = part;
      box.append(node);
    }
    box.hidden = false;
    // Just under the caret, kept inside the window; measured in the
    // editor's own measuring phase, so that a key press forces no layout.
    view.requestMeasure({
      key: box,
      read: () => ({ at: view.coordsAtPos(head), width: box.offsetWidth }),
      write: ({ at, width }) => {
        if (!at) return;
        box.style.left = `${Math.max(0, Math.min(at.left, window.innerWidth - width - 4)) + window.scrollX}px`;
        box.style.top = `${at.bottom + 4 + window.scrollY}px`;
      },
    });
  };
  return [
    EditorView.updateListener.of((u) => {
      if (u.selectionSet && u.state.doc.lineAt(u.state.selection.main.head).number !== dismissedLine) dismissedLine = -1;
      if (u.selectionSet || u.docChanged || u.focusChanged) show(u.view);
    }),
    EditorView.domEventHandlers({
      keydown: (e, view) => {
        if (e.key !== 'Escape' || box.hidden) return false;
        dismissedLine = view.state.doc.lineAt(view.state.selection.main.head).number;
        box.hidden = true;
        return true;
      },
    }),
  ];
}

// The live checks: every line where Run would stop, marked with Run's own
// ErrorLog line, worked out by the worker so that typing never waits.
function checks(ask) {
  return linter(async (view) => {
    const { found, unreached: first } = await ask(view.state.doc.toString());
    if (view.state.field(unreached) !== first) view.dispatch({ effects: setUnreached.of(first) });
    return found.filter((f) => f.line <= view.state.doc.lines).map((f) => {
      const line = view.state.doc.line(f.line);
      return { from: line.from, to: Math.max(line.to, line.from), severity: 'error', message: f.message };
    });
  }, { delay: 1000 });
}

export function teaching(core, ask, hintBox) {
  return [unreached, styling(core), checks(ask), hints(core, hintBox)];
}
