// The listing and its file's name, kept in this browser (IndexedDB, which
// holds listings of any size) on every change, and brought back on the
// next visit. A burst of typing is written once it pauses, and at once
// when the page is hidden or left.
//
// Each tab keeps its own record, so that two tabs never write over each
// other's listing. A tab holds a lock named after its record while it
// lives; a reload takes back its own record, and a new tab takes the
// record of a tab that has gone (its unsaved listing first, the newest
// first), so that every closed tab's listing comes back, one per new tab.
// A tab opened beside a living one starts afresh.

// A browser that blocks a site's data ("block all cookies", some school
// policies) throws at every touch of its storage: the page then works as
// ever and keeps nothing.
const DB = 'kuv', STORE = 'state';
const PAUSE_MS = 150;
const KEEP_SAVED = 20;  // records of saved listings kept besides the unsaved
const TAB = 'kuv-tab';
let pending = null, timer = null, mine = null;

const session = (() => {
  try {
    return window.sessionStorage;
  } catch (e) {
    return null;
  }
})();

function database() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(DB, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(STORE);
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}
const opened = database().catch(() => null);

function records(db) {
  return new Promise((resolve) => {
    const store = db.transaction(STORE).objectStore(STORE);
    const keys = store.getAllKeys(), values = store.getAll();
    values.onsuccess = () => resolve(keys.result.map((id, i) => ({ id: String(id), value: values.result[i] })));
    values.onerror = () => resolve([]);
  });
}

// Holds the record's lock for the tab's life; false when another tab has
// it. A reloaded tab waits a moment for its own: the page it replaces may
// not have let go yet.
function claim(id, wait) {
  if (!navigator.locks) return Promise.resolve(true);
  const options = wait && typeof AbortSignal.timeout === 'function' ? { signal: AbortSignal.timeout(1000) } : { ifAvailable: true };
  return new Promise((resolve) => {
    navigator.locks.request(`${TAB}-${id}`, options, (lock) => {
      resolve(lock !== null);
      return lock ? new Promise(() => {}) : undefined;
    }).catch(() => resolve(false));
  });
}

const newId = () => (crypto.randomUUID ? crypto.randomUUID() : String(Date.now()) + Math.random());

export async function restore() {
  const db = await opened;
  const all = db ? await records(db) : [];
  const own = session?.getItem(TAB);
  const gone = all.filter((r) => r.id !== own)
    .sort((a, b) => (b.value.modified - a.value.modified) || ((b.value.changed || 0) - (a.value.changed || 0)));
  let taken = null;
  for (const r of [...all.filter((r) => r.id === own), ...gone]) {
    if (await claim(r.id, r.id === own)) {
      taken = r;
      break;
    }
  }
  if (!taken) {
    mine = newId();
    await claim(mine);
  } else mine = taken.id;
  session?.setItem(TAB, mine);
  if (db) prune(db, all);
  return taken ? taken.value : null;
}

// Records of saved listings beyond the newest few go; unsaved ones stay
// until a tab takes them.
function prune(db, all) {
  const saved = all.filter((r) => r.id !== mine && !r.value.modified)
    .sort((a, b) => (b.value.changed || 0) - (a.value.changed || 0));
  const store = db.transaction(STORE, 'readwrite').objectStore(STORE);
  for (const r of saved.slice(KEEP_SAVED)) store.delete(r.id);
}

export function flush() {
  clearTimeout(timer);
  if (!pending || !mine) return;
  const value = { ...pending(), changed: Date.now() };
  pending = null;
  opened.then((db) => db && db.transaction(STORE, 'readwrite').objectStore(STORE).put(value, mine)).catch(() => {});
}

// value() gives what to keep; it is asked for only when written, so that
// typing into a long listing does not copy it at every key.
export function keep(value) {
  pending = value;
  clearTimeout(timer);
  timer = setTimeout(flush, PAUSE_MS);
}

// A listing set aside for a new tab to take, as a closed tab's is; false
// when the browser keeps nothing.
export async function setAside(value) {
  const db = await opened;
  if (!db) return false;
  return new Promise((resolve) => {
    try {
      const t = db.transaction(STORE, 'readwrite');
      t.objectStore(STORE).put({ ...value, changed: Date.now() }, newId());
      t.oncomplete = () => resolve(true);
      t.onerror = t.onabort = () => resolve(false);
    } catch (e) {
      resolve(false);
    }
  });
}
