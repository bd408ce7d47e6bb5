// Offline: every file of the site is kept after the first visit. The
// network comes first, so that a new version is seen at once; without one,
// the kept files serve.
const CACHE = 'kuv-site';
const FILES = ['./', 'index.html', 'style.css', 'boot.js', 'main.js', 'worker.js', 'qr.js', 'kuv-core.js', 'kuv-core.wasm', 'manifest.webmanifest',
  'kuv-48.png', 'kuv-192.png', 'kuv-512.png', 'kuvhelp.htm', 'teaching.png', 'LICENSE.txt'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET' || new URL(event.request.url).origin !== self.location.origin) return;
  event.respondWith(
    fetch(event.request)
      .then((response) => {
        const copy = response.clone();
        if (response.ok) caches.open(CACHE).then((cache) => cache.put(event.request, copy));
        return response;
      })
      .catch(() => caches.match(event.request, { ignoreSearch: true })),
  );
});
