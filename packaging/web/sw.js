// Keeps the site for offline use: every file of it cached at install, served from the cache
// first, refreshed from the network when there is one.
const CACHE = 'kelvo-1';
const FILES = ['./', 'index.html', 'kelvo.css', 'page.js', 'kelvo.js', 'kelvo.wasm', 'kelvo.data',
               'manifest.webmanifest', 'favicon.ico', 'icon-32.png', 'icon-128.png', 'icon-256.png', 'manual/index.html'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k !== CACHE).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE).then((cache) => cache.match(event.request, {ignoreSearch: true}).then((cached) => {
    const fresh = fetch(event.request).then((response) => {
      if (response.ok && new URL(event.request.url).origin === location.origin) cache.put(event.request, response.clone());
      return response;
    });
    return cached ? (fresh.catch(() => cached), cached) : fresh;
  })));
});
