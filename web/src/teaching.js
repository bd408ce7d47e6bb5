// The editor's teaching aids, each line's look worked out by the core: the
// statement's word, numbers, text and comments in colours, a swatch after
// each colour number, lines that no run reaches in grey, the live checks
// (by the worker, a second after typing stops) and the hint for the
// parameter under the caret.
import { Decoration, EditorView, ViewPlugin, WidgetType } from '@codemirror/view';
import { StateEffect, StateField, RangeSetBuilder } from '@codemirror/state';
import { linter } from '@codemirror/lint';

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
// text, by the worker's core: a key press asks about the one line it
// changed. Until the answer comes the line keeps the look it had.
const styles = new Map();
const STYLES_KEPT = 4096;
const stylesArrived = StateEffect.define();

function decorationsOf(view) {
  const builder = new RangeSetBuilder();
  const firstUnreached = view.state.field(unreached);
  const missing = [];
  for (const { from, to } of view.visibleRanges) {
    for (let pos = from; pos <= to;) {
      const line = view.state.doc.lineAt(pos);
      if (firstUnreached && line.number >= firstUnreached) builder.add(line.from, line.from, greyLine);
      else if (line.length) {
        const style = styles.get(line.text);
        if (!style) missing.push(line.text);
        else {
          const points = [];
          for (const s of style.spans) points.push([line.from + s.start, line.from + s.start + s.length, marks[s.role]]);
          for (const s of style.swatches)
            points.push([line.from + s.after, line.from + s.after, Decoration.widget({ widget: new Swatch(s.colour), side: 1 })]);
          points.sort((a, b) => a[0] - b[0] || a[1] - b[1]);
          for (const [a, b, d] of points) builder.add(a, b, d);
        }
      }
      pos = line.to + 1;
    }
  }
  return { decorations: builder.finish(), missing };
}

function styling(ask) {
  return ViewPlugin.fromClass(class {
    constructor(view) {
      this.view = view;
      this.decorations = Decoration.none;
      this.asking = false;
      this.redecorate(view);
    }
    redecorate(view) {
      const { decorations, missing } = decorationsOf(view);
      // A line without its look yet keeps what it showed.
      if (missing.length) this.fetch(missing);
      else this.decorations = decorations;
    }
    async fetch(lines) {
      if (this.asking) return;
      this.asking = true;
      const wanted = [...new Set(lines)];
      try {
        const { styles: got } = await ask({ op: 'styles', lines: wanted });
        if (styles.size + got.length >= STYLES_KEPT) styles.clear();
        wanted.forEach((text, i) => styles.set(text, got[i]));
      } catch (e) {
        return;
      } finally {
        this.asking = false;
      }
      this.view.dispatch({ effects: stylesArrived.of(null) });
    }
    update(u) {
      const checked = u.transactions.some((t) => t.effects.some((e) => e.is(setUnreached) || e.is(stylesArrived)));
      // While an input method composes, the decorations stay as they were
      // (only moved along with the text): a decoration rebuilt at the caret
      // would restart the composition. They are rebuilt once it ends.
      if (u.view.composing) {
        this.decorations = this.decorations.map(u.changes);
        this.afterComposing = true;
        return;
      }
      if (u.docChanged || u.viewportChanged || checked || this.afterComposing) {
        this.afterComposing = false;
        if (u.docChanged) this.decorations = this.decorations.map(u.changes);
        this.redecorate(u.view);
      }
    }
  }, {
    decorations: (p) => p.decorations,
    eventHandlers: {
      compositionend(e, view) { setTimeout(() => view.dispatch({ effects: stylesArrived.of(null) })); },
    },
  });
}

// The hint, worked out by the core: shown in #hint while the user types on
// a line that begins with a statement word, from the word and its space
// on; not at start-up, after Open or a run, nor when the caret only comes
// onto a line. Esc hides it until the caret leaves the line. It covers no
// character of its line or of the lines beside it where there is room.
function hints(ask, box) {
  let dismissedLine = -1, typedLine = -1, asked = 0;
  const hide = () => { box.hidden = true; asked++; };
  const show = async (view) => {
    const head = view.state.selection.main.head, line = view.state.doc.lineAt(head);
    if (!view.hasFocus || line.number === dismissedLine || line.number !== typedLine) return hide();
    const question = ++asked, doc = view.state.doc;
    let text;
    try {
      text = await askText(ask, { op: 'hint', line: line.text, caret: head - line.from });
    } catch (e) {
      return hide();
    }
    // A later key, or a document that changed meanwhile, has the last word.
    if (question !== asked || view.state.doc !== doc) return;
    if (!text) return hide();
    box.replaceChildren();
    // U+0001 … U+0002 mark the parameter under the caret.
    for (const [i, part] of text.split(/[\u0001\u0002]/).entries()) {
      const node = i % 2 ? document.createElement('b') : document.createElement('span');
      node.textContent = part;
      box.append(node);
    }
    box.hidden = false;
    // Measured in the editor's own measuring phase, so that a key press
    // forces no layout; the positions are read from the document as it is
    // then, never from one that has changed.
    view.requestMeasure({
      key: box,
      read: () => (view.state.doc === doc ? placeHint(view, line.number, box) : null),
      write: (at) => {
        if (!at || question !== asked) return;
        box.style.left = `${at.left + window.scrollX}px`;
        box.style.top = `${at.top + window.scrollY}px`;
      },
    });
  };
  return [
    EditorView.updateListener.of((u) => {
      const caretLine = u.state.doc.lineAt(u.state.selection.main.head).number;
      if (u.selectionSet && caretLine !== dismissedLine) dismissedLine = -1;
      // Typing is an edit of the user's own within one line; a run's
      // rewrite, Open and pastes of many lines are not.
      if (u.docChanged) {
        const typed = u.transactions.some((t) => t.isUserEvent('input') || t.isUserEvent('delete'));
        let lines = 0;
        u.changes.iterChangedRanges((fa, ta, fb, tb) => { lines += u.state.doc.lineAt(tb).number - u.state.doc.lineAt(fb).number; });
        typedLine = typed && lines === 0 ? caretLine : -1;
      } else if (u.selectionSet && caretLine !== typedLine) typedLine = -1;
      if (u.selectionSet || u.docChanged || u.focusChanged) show(u.view);
    }),
    EditorView.domEventHandlers({
      keydown: (e, view) => {
        if (e.key !== 'Escape' || box.hidden) return false;
        dismissedLine = view.state.doc.lineAt(view.state.selection.main.head).number;
        hide();
        return true;
      },
    }),
  ];
}

const askText = async (ask, request) => (await ask(request)).text;

// The rectangle of a line's characters on the screen; null for an empty
// line or one out of view.
function textBox(view, number) {
  if (number < 1 || number > view.state.doc.lines) return null;
  const line = view.state.doc.line(number);
  if (!line.length) return null;
  const first = view.coordsAtPos(line.from, 1), last = view.coordsAtPos(line.to, -1);
  if (!first || !last) return null;
  return { left: first.left, top: Math.min(first.top, last.top), right: Math.max(last.right, first.right), bottom: Math.max(first.bottom, last.bottom) };
}

// Beside the text of the caret's line and its neighbours, where the
// window has room; else to the editor's left; else beyond the
// neighbouring lines, never over the caret's line.
function placeHint(view, number, box) {
  const width = box.offsetWidth, height = box.offsetHeight;
  const editor = view.dom.getBoundingClientRect();
  const caret = view.coordsAtPos(view.state.selection.main.head);
  if (!caret) return null;
  const near = [number - 1, number, number + 1].map((n) => textBox(view, n)).filter(Boolean);
  const right = Math.max(caret.right, ...near.map((r) => r.right)) + 8;
  const top = Math.max(0, caret.top - (height - (caret.bottom - caret.top)) / 2);
  // To the right of the text, reaching past the editor's edge (over none
  // of the listing) while it stays in the window.
  if (right + width <= window.innerWidth - 4) return { left: right, top };
  if (editor.left - 8 - width >= 0) return { left: editor.left - 8 - width, top };
  const below = Math.max(caret.bottom, ...near.map((r) => r.bottom)) + 2;
  const above = Math.min(caret.top, ...near.map((r) => r.top)) - 2 - height;
  const left = Math.max(0, Math.min(caret.left, window.innerWidth - width - 4));
  return { left, top: below + height <= window.innerHeight || above < 0 ? below : above };
}

// The live checks: every line where Run would stop, marked with Run's own
// ErrorLog line and what it means, and the lines that run but draw less
// than they say; a fix, where the core has one, is the mark's action. The
// worker works them out, so that typing never waits.
function checks(ask) {
  return linter(async (view) => {
    const doc = view.state.doc;
    const { found, unreached: first } = await ask(doc.toString());
    if (view.state.field(unreached) !== first) view.dispatch({ effects: setUnreached.of(first) });
    // Marks for a document that has changed meanwhile would land on other lines.
    if (view.state.doc !== doc) return [];
    return found.filter((f) => f.line <= doc.lines).map((f) => {
      const line = doc.line(f.line);
      const actions = f.fix === null ? [] : [{
        name: f.caption,
        apply(v, from, to) {
          // Where the line is now: the mark moves with edits around it.
          const at = v.state.doc.lineAt(from);
          v.dispatch({ changes: { from: at.from, to: at.to, insert: f.fix }, selection: { anchor: at.from + f.fix.length }, userEvent: 'kuv.fix' });
          v.focus();
        },
      }];
      return {
        from: line.from, to: Math.max(line.to, line.from), severity: f.severity,
        message: f.explanation ? `${f.message}\n${f.explanation}` : f.message, actions,
      };
    });
  }, { delay: 1000 });
}

// ask: the worker; check: its live checks of a whole text.
export function teaching(ask, check, hintBox) {
  return [unreached, styling(ask), checks(check), hints(ask, hintBox)];
}
