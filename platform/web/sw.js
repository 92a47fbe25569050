// Keeps the page's own files in the browser, so that after one visit the
// game starts with no network. Each build stamps its own name on the cache
// (below, from the files' digest): a new build's worker fetches the new
// files whole, takes over, and throws the old ones away.
const CACHE = "quillmoor-@BUILD@";
// The page's files, as platform/web/web.cmake lists them (WEB_PAGE), stamped
// in by the build; "./" is the page itself, as index.html.
const FILES = ["./", "@FILES@"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith("quillmoor-") && n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The page's files come from the cache; anything else, or a file the cache
// lacks, from the network.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((hit) => hit || fetch(event.request)));
});
