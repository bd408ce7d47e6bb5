// Moving text and bytes in and out of the core's memory. Results of the
// core stay valid only until its next call, so they are copied at once.

// Calls use(at, length) with text copied in as UTF-16, then frees it.
export function utf16In(core, text, use) {
  const at = core._malloc(text.length * 2 + 2);
  const heap = core.HEAPU16;
  for (let i = 0, base = at >> 1; i < text.length; i++) heap[base + i] = text.charCodeAt(i);
  try {
    return use(at, text.length);
  } finally {
    core._free(at);
  }
}

// Calls use(at) with room for one int, then frees it.
export function withInt(core, use) {
  const at = core._malloc(4);
  try {
    return use(at);
  } finally {
    core._free(at);
  }
}

// UTF-16 text at `at`, its length in the int at lengthAt.
export function utf16Out(core, at, lengthAt) {
  const n = core.HEAP32[lengthAt >> 2];
  const units = core.HEAPU16.subarray(at >> 1, (at >> 1) + n);
  let text = '';
  for (let i = 0; i < n; i += 8192) text += String.fromCharCode.apply(null, units.subarray(i, i + 8192));
  return text;
}

export function bytesOut(core, at, sizeAt) {
  return core.HEAPU8.slice(at, at + core.HEAP32[sizeAt >> 2]);
}
