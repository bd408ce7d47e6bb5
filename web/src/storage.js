// The listing and its file's name, kept in this browser (IndexedDB, which
// holds listings of any size) on every change, and brought back on the
// next visit. A burst of typing is written once it pauses, and at once
// when the page is hidden or left.

const DB = 'kuv', STORE = 'state', KEY = 'listing';
const PAUSE_MS = 150;
let pending = null, timer = null;

function database() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(DB, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(STORE);
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}
const opened = database().catch(() => null);

export async function restore() {
  const db = await opened;
  if (!db) return null;
  return new Promise((resolve) => {
    const request = db.transaction(STORE).objectStore(STORE).get(KEY);
    request.onsuccess = () => resolve(request.result || null);
    request.onerror = () => resolve(null);
  });
}

export function flush() {
  clearTimeout(timer);
  if (!pending) return;
  const value = pending();
  pending = null;
  opened.then((db) => db && db.transaction(STORE, 'readwrite').objectStore(STORE).put(value, KEY));
}

// value() gives what to keep; it is asked for only when written, so that
// typing into a long listing does not copy it at every key.
export function keep(value) {
  pending = value;
  clearTimeout(timer);
  timer = setTimeout(flush, PAUSE_MS);
}
