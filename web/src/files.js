// Files, on this computer only: nothing is ever uploaded. Where the
// browser has the File System Access API a file is chosen, and written
// back, in place; elsewhere files are chosen with <input type=file> and
// written as downloads. Every failure is reported as the desktop reports
// it, through fail(message).

const LISTING_TYPES = [{ description: 'KUV ファイル', accept: { 'application/x-kuv': ['.kuv'] } }];
const PICTURE_TYPES = {
  bmp: [{ description: 'BMP ファイル', accept: { 'image/bmp': ['.bmp'] } }],
  jpg: [{ description: 'JPEG ファイル', accept: { 'image/jpeg': ['.jpg'] } }],
};

const cancelled = (e) => e && e.name === 'AbortError';

// A file that could not be read or written: the core's name for the
// failure and the file's name, which the worker makes the message of.
export class FileFailure extends Error {
  constructor(failure, fileName) {
    super(`${failure}: ${fileName}`);
    this.failure = failure;
    this.fileName = fileName;
  }
}

// Always as plain bytes: WebKit shows a picture given as image/bmp or
// image/jpeg instead of saving it, whatever the link's download name.
function download(bytes, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

async function writeTo(handle, bytes) {
  const stream = await handle.createWritable();
  try {
    await stream.write(bytes);
    await stream.close();
  } catch (e) {
    await stream.abort().catch(() => {});
    throw e;
  }
}

// Chooses a listing: {name, bytes, handle}, or null when cancelled or
// when the choice comes later, through the file input (see
// watchListingInput).
export async function chooseListing(input) {
  if (window.showOpenFilePicker) {
    let handle;
    try {
      [handle] = await window.showOpenFilePicker({ types: LISTING_TYPES });
    } catch (e) {
      if (cancelled(e)) return null;
      throw e;
    }
    return readHandle(handle);
  }
  input.click();
  return null;
}

// Every file chosen in the file input is opened, whenever it comes: some
// engines report the chooser closed (cancel) before the file that was
// chosen in it (change).
export function watchListingInput(input, open) {
  input.addEventListener('change', () => {
    const file = input.files[0];
    input.value = '';
    if (file) open(() => readFile(file, null));
  });
}

export async function readHandle(handle) {
  let file;
  try {
    file = await handle.getFile();
  } catch {
    throw new FileFailure('cannot-open', handle.name);
  }
  return readFile(file, handle);
}

export async function readFile(file, handle) {
  try {
    return { name: file.name, bytes: await file.arrayBuffer(), handle };
  } catch {
    throw new FileFailure('cannot-open', file.name);
  }
}

// Writes bytes into the handle, or downloads them under name.
export async function writeFile(handle, name, bytes) {
  if (!handle) return download(bytes, name);
  try {
    await writeTo(handle, bytes);
  } catch {
    throw new FileFailure('cannot-create', handle.name);
  }
}

// Asks for a new file's name: a handle (the picker) or a name (our own
// dialog, for a download); null when cancelled.
export async function chooseNew(suggested, kind, askName) {
  if (window.showSaveFilePicker) {
    try {
      const handle = await window.showSaveFilePicker({
        suggestedName: suggested, types: kind === 'kuv' ? LISTING_TYPES : PICTURE_TYPES[kind], excludeAcceptAllOption: true });
      return { handle, name: handle.name };
    } catch (e) {
      if (cancelled(e)) return null;
      throw new FileFailure('cannot-create', suggested);
    }
  }
  const name = await askName(suggested);
  return name ? { handle: null, name } : null;
}
