// Runs listings in the core, away from the page, so that a long listing
// never freezes it.
/* global importScripts, KuvCore */
importScripts('kuv-core.js');

const ready = KuvCore();

function textOf(core, which) {
  const length = core._malloc(4);
  const at = core._kuv_text(which, length);
  const n = core.HEAP32[length >> 2];
  core._free(length);
  return String.fromCharCode.apply(null, Array.from(core.HEAPU16.subarray(at >> 1, (at >> 1) + n)));
}

function put16(core, text) {
  const at = core._malloc(text.length * 2 + 2);
  for (let i = 0; i < text.length; i++) core.HEAPU16[(at >> 1) + i] = text.charCodeAt(i);
  return at;
}

// Open and save: bytes to the editor's text and back, by the core's codec.
function files(core, m) {
  if (m.load) {
    const bytes = new Uint8Array(m.load);
    const at = core._malloc(bytes.length + 1);
    core.HEAPU8.set(bytes, at);
    core._kuv_load(at, bytes.length);
    core._free(at);
    self.postMessage({ loaded: textOf(core, 2), name: m.name });
  } else {
    const at = put16(core, m.save);
    core._kuv_save(at, m.save.length);
    core._free(at);
    const size = core._malloc(4);
    const savedAt = core._kuv_saved(size);
    const bytes = core.HEAPU8.slice(savedAt, savedAt + core.HEAP32[size >> 2]);
    core._free(size);
    self.postMessage({ saved: bytes, name: m.name }, [bytes.buffer]);
  }
}

// The live checks: each line Run would stop at, with its ErrorLog line.
function check(core, m) {
  const at = put16(core, m.check);
  core._kuv_check(at, m.check.length);
  core._free(at);
  const found = textOf(core, 3).split('\n').filter((l) => l).map((l) => {
    const tab = l.indexOf('\t');
    return { line: Number(l.slice(0, tab)), message: l.slice(tab + 1) };
  });
  self.postMessage({ checked: found, id: m.id });
}

self.onmessage = async (event) => {
  const core = await ready;
  if (event.data.check !== undefined) return check(core, event.data);
  if (event.data.load || event.data.save !== undefined) return files(core, event.data);
  const { text } = event.data;
  const at = core._malloc(text.length * 2 + 2);
  for (let i = 0; i < text.length; i++) core.HEAPU16[(at >> 1) + i] = text.charCodeAt(i);
  const failed = core._kuv_run_text(at, text.length);
  core._free(at);
  // 0xFFRRGGBB little-endian is B, G, R, A; the canvas wants R, G, B, A.
  const source = core.HEAPU8.subarray(core._kuv_pixels(), core._kuv_pixels() + 641 * 481 * 4);
  const rgba = new Uint8ClampedArray(source.length);
  for (let i = 0; i < source.length; i += 4) {
    rgba[i] = source[i + 2];
    rgba[i + 1] = source[i + 1];
    rgba[i + 2] = source[i];
    rgba[i + 3] = 255;
  }
  const size = core._malloc(4);
  const bmpAt = core._kuv_bmp(size);
  const bmp = core.HEAPU8.slice(bmpAt, bmpAt + core.HEAP32[size >> 2]);
  core._free(size);
  self.postMessage({ rewritten: textOf(core, 0), errorLine: failed ? textOf(core, 1) : '', rgba, bmp },
                   [rgba.buffer, bmp.buffer]);
};

ready.then(() => self.postMessage({ ready: true }));
