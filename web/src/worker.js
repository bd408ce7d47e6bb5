// Runs listings in the core, away from the page, so that a long listing
// never freezes it; the last run's Picture, owners and stages live here.
// Each request {id, op, ...} gets one reply {id, ...}.
/* global importScripts, KuvCore */
import { utf16In, utf16Out, bytesOut, withInt } from './core-io.js';

// A browser that cannot load the core says so at once, instead of
// leaving the page waiting.
let ready;
try {
  importScripts('kuv-core.js');
  ready = KuvCore();
} catch (e) {
  ready = Promise.reject(e);
}
let PICTURE_BYTES = 0;
const text16 = (core, f) => withInt(core, (n) => utf16Out(core, f(n), n));

// The core's failures in the order of its Failure.
const FAILURES = ['cannot-open', 'cannot-create', 'write-error', 'editor-limit', 'jpeg-error', 'out-of-memory'];
function failureText(core, { failure, name = '', code = 0 }) {
  return utf16In(core, name, (at, n) => text16(core, (len) => core._kuv_failure(FAILURES.indexOf(failure), at, n, code, len)));
}

// The fields of an answer: each its length, ":" and its text.
function fieldsOf(answer) {
  const fields = [];
  for (let i = 0; i < answer.length;) {
    const colon = answer.indexOf(':', i), size = Number(answer.slice(i, colon));
    fields.push(answer.slice(colon + 1, colon + 1 + size));
    i = colon + 1 + size;
  }
  return fields;
}

// What the editor shows of a line: its spans and swatches.
function lineStyle(core, text) {
  return utf16In(core, text, (at, n) => {
    const p = core._kuv_line_style(at, n) >> 2, heap = core.HEAP32;
    const spans = [], swatches = [];
    let i = p + 1;
    for (let k = 0; k < heap[p]; k++, i += 4) spans.push({ start: heap[i], length: heap[i + 1], role: heap[i + 2] });
    const count = heap[i++];
    for (let k = 0; k < count; k++, i += 2) swatches.push({ after: heap[i], colour: heap[i + 1] });
    return { spans, swatches };
  });
}

function rgba(core, at) {
  return new Uint8ClampedArray(core.HEAPU8.slice(at, at + PICTURE_BYTES).buffer);
}

const ops = {
  styles(core, { lines }) {
    return { reply: { styles: lines.map((l) => lineStyle(core, l)) } };
  },
  hint(core, { line, caret }) {
    return { reply: { text: utf16In(core, line, (at, n) => text16(core, (len) => core._kuv_hint(at, n, caret, len))) } };
  },
  failure(core, request) {
    return { reply: { text: failureText(core, request) } };
  },
  name(core, { chosen, suffix }) {
    const text = utf16In(core, chosen, (at, n) => utf16In(core, suffix, (sat, sn) =>
      text16(core, (len) => core._kuv_completed_name(at, n, sat, sn, len))));
    return { reply: { text } };
  },
  baseName(core, { path }) {
    return { reply: { text: utf16In(core, path, (at, n) => text16(core, (len) => core._kuv_base_name(at, n, len))) } };
  },
  point(core, { x, y, before, after }) {
    return { reply: { text: text16(core, (len) => core._kuv_point_insertion(x, y, before, after, len)) } };
  },
  replay(core) {
    return {
      reply: {
        interval: core._kuv_replay_interval(), step: core._kuv_replay_step(), lines: core._kuv_last_line(),
      },
    };
  },
  run(core, { text }) {
    const started = performance.now();
    const failed = utf16In(core, text, (at, n) => core._kuv_run_text(at, n));
    const coreMs = performance.now() - started;
    const picture = rgba(core, core._kuv_rgba());
    return {
      reply: {
        rewritten: withInt(core, (n) => utf16Out(core, core._kuv_text(0, n), n)),
        errorLine: failed ? withInt(core, (n) => utf16Out(core, core._kuv_text(1, n), n)) : '',
        explanation: failed ? withInt(core, (n) => utf16Out(core, core._kuv_text(2, n), n)) : '',
        rgba: picture,
        lastLine: core._kuv_last_line(),
        told: withInt(core, (n) => utf16Out(core, core._kuv_told(n), n)),
        coreMs,
      },
      transfer: [picture.buffer],
    };
  },
  check(core, { text }) {
    const answer = utf16In(core, text, (at, n) => withInt(core, (len) => utf16Out(core, core._kuv_check(at, n, len), len)));
    const fields = fieldsOf(answer);
    const found = [];
    for (let k = 1; k + 5 < fields.length; k += 6) {
      const [line, severity, message, explanation, fix, caption] = fields.slice(k, k + 6);
      found.push({ line: Number(line), severity: severity === 'e' ? 'error' : 'warning', message, explanation, fix: caption ? fix : null, caption });
    }
    return { reply: { found, unreached: Number(fields[0]) } };
  },
  load(core, { bytes }) {
    const data = new Uint8Array(bytes);
    const at = core._malloc(data.length + 1);
    core.HEAPU8.set(data, at);
    const text = withInt(core, (n) => utf16Out(core, core._kuv_load(at, data.length, n), n));
    core._free(at);
    return { reply: { text } };
  },
  link(core, { base, text }) {
    const [link, problem] = fieldsOf(utf16In(core, base, (bat, bn) => utf16In(core, text, (at, n) =>
      withInt(core, (len) => utf16Out(core, core._kuv_link(bat, bn, at, n, len), len)))));
    return { reply: { link, problem } };
  },
  openLink(core, { link }) {
    const [text, problem] = fieldsOf(utf16In(core, link, (at, n) =>
      withInt(core, (len) => utf16Out(core, core._kuv_open_link(at, n, len), len))));
    return { reply: { text, problem } };
  },
  save(core, { text }) {
    const bytes = utf16In(core, text, (at, n) => withInt(core, (size) => bytesOut(core, core._kuv_save(at, n, size), size)));
    return { reply: { bytes }, transfer: [bytes.buffer] };
  },
  bmp(core) {
    const bytes = withInt(core, (size) => bytesOut(core, core._kuv_bmp(size), size));
    return { reply: { bytes }, transfer: [bytes.buffer] };
  },
  jpeg(core) {
    let error = 0;
    const bytes = withInt(core, (size) => withInt(core, (code) => {
      const b = bytesOut(core, core._kuv_jpeg(size, code), size);
      error = core.HEAP32[code >> 2];
      return b;
    }));
    return { reply: { bytes, error }, transfer: [bytes.buffer] };
  },
  clear(core) {
    core._kuv_clear();
    return { reply: { told: withInt(core, (n) => utf16Out(core, core._kuv_told(n), n)) } };
  },
  words(core) {
    const fields = fieldsOf(withInt(core, (n) => utf16Out(core, core._kuv_picture_words(n), n)));
    const items = [];
    for (let k = 1; k + 1 < fields.length; k += 2) items.push({ line: Number(fields[k]), words: fields[k + 1] });
    return { reply: { summary: fields[0], items } };
  },
  stage(core, { line, mark }) {
    const picture = rgba(core, core._kuv_stage(line, mark ? 1 : 0));
    return { reply: { rgba: picture }, transfer: [picture.buffer] };
  },
  describe(core, { x, y }) {
    return { reply: { text: withInt(core, (n) => utf16Out(core, core._kuv_describe(x, y, n), n)), owner: core._kuv_owner(x, y) } };
  },
};

// Every request is answered. A failure of the core (memory that cannot
// grow aborts it) answers with the error box's text, and a new core takes
// over: the page goes on, with its listing, as the desktop does.
self.onmessage = async (event) => {
  const { id, op } = event.data;
  try {
    const core = await ready;
    const { reply, transfer } = ops[op](core, event.data);
    self.postMessage({ id, ...reply }, transfer || []);
  } catch (e) {
    // Only the core's own failures replace it: a C++ exception (thrown as
    // its address: memory that cannot grow) or an abort. Anything else is
    // told as it is, and the core goes on.
    if (typeof e !== 'number' && !(e instanceof WebAssembly.RuntimeError)) {
      self.postMessage({ id, failure: String((e && e.message) || e) });
      return;
    }
    let failure = '';
    try {
      ready = KuvCore().then(started);
      failure = failureText(await ready, { failure: 'out-of-memory' });
    } catch (again) {
      failure = String((again && again.message) || again);
    }
    self.postMessage({ id, failure });
  }
};

function started(core) {
  PICTURE_BYTES = core._kuv_width() * core._kuv_height() * 4;
  return core;
}

ready = ready.then(started);
ready.then((core) => {
  core._kuv_warm();
  // What stays the same for the whole session: the Picture's size and the
  // stages' timing.
  self.postMessage({
    ready: true, width: core._kuv_width(), height: core._kuv_height(),
    blinkMs: core._kuv_blink_ms(), replayLastMs: core._kuv_replay_last_ms(),
  });
}, (e) => self.postMessage({ ready: false, failure: String((e && e.message) || e) }));
