// The page's service worker: keeps every file of the site, so that the game starts without a
// network once the page has been opened, and answers from what it keeps first (the files of one
// build never change). tools/build-web.sh writes the build's file list and a name for it below; a
// new build is a new store, and the old one is dropped once the new one is in use.
"use strict";

const Build = "reversi-unbuilt";
const SiteFiles = [];

self.addEventListener("install", function(event) {
  event.waitUntil(caches.open(Build).then((store) => store.addAll(SiteFiles)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", function(event) {
  event.waitUntil(caches.keys()
                      .then((names) => Promise.all(names.filter((name) => name !== Build)
                                                       .map((name) => caches.delete(name))))
                      .then(() => self.clients.claim()));
});

// The page itself with any query ("?english") is the one page.
self.addEventListener("fetch", function(event) {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(Build)
                        .then((store) => store.match(event.request, {ignoreSearch: true}))
                        .then((kept) => kept || fetch(event.request)));
});
