// Runs listings in the core, away from the page, so that a long listing
// never freezes it; the last run's Picture, owners and stages live here.
// Each request {id, op, ...} gets one reply {id, ...}.
/* global importScripts, KuvCore */
import { utf16In, utf16Out, bytesOut, withInt } from './core-io.js';

importScripts('kuv-core.js');
const ready = KuvCore();
const PICTURE_BYTES = 641 * 481 * 4;

function rgba(core, at) {
  return new Uint8ClampedArray(core.HEAPU8.slice(at, at + PICTURE_BYTES).buffer);
}

const ops = {
  run(core, { text }) {
    const started = performance.now();
    const failed = utf16In(core, text, (at, n) => core._kuv_run_text(at, n));
    const coreMs = performance.now() - started;
    const picture = rgba(core, core._kuv_rgba());
    return {
      reply: {
        rewritten: withInt(core, (n) => utf16Out(core, core._kuv_text(0, n), n)),
        errorLine: failed ? withInt(core, (n) => utf16Out(core, core._kuv_text(1, n), n)) : '',
        rgba: picture,
        lastLine: core._kuv_last_line(),
        coreMs,
      },
      transfer: [picture.buffer],
    };
  },
  check(core, { text }) {
    const answer = utf16In(core, text, (at, n) => withInt(core, (len) => utf16Out(core, core._kuv_check(at, n, len), len)));
    const [errors, unreached] = answer.split('-\n');
    const found = errors.split('\n').filter((l) => l).map((l) => {
      const tab = l.indexOf('\t');
      return { line: Number(l.slice(0, tab)), message: l.slice(tab + 1) };
    });
    return { reply: { found, unreached: Number(unreached) } };
  },
  load(core, { bytes }) {
    const data = new Uint8Array(bytes);
    const at = core._malloc(data.length + 1);
    core.HEAPU8.set(data, at);
    const text = withInt(core, (n) => utf16Out(core, core._kuv_load(at, data.length, n), n));
    core._free(at);
    return { reply: { text } };
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
    return { reply: {} };
  },
  stage(core, { line, mark }) {
    const picture = rgba(core, core._kuv_stage(line, mark ? 1 : 0));
    return { reply: { rgba: picture }, transfer: [picture.buffer] };
  },
  describe(core, { x, y }) {
    return { reply: { text: withInt(core, (n) => utf16Out(core, core._kuv_describe(x, y, n), n)), owner: core._kuv_owner(x, y) } };
  },
};

self.onmessage = async (event) => {
  const core = await ready;
  const { id, op } = event.data;
  const { reply, transfer } = ops[op](core, event.data);
  self.postMessage({ id, ...reply }, transfer || []);
};

ready.then((core) => {
  core._kuv_warm();
  self.postMessage({ ready: true });
});
