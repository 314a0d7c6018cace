#pragma once
#include "HttpTestServer.h"

#include <string>

namespace lt::test {

// A site whose service worker (scope /sw/) stores /sw/index.html when it
// installs and from then on serves every page of its scope from Cache
// Storage, asking the server only for what it has not stored. The page links
// to link, and its title turns "ready" once the worker is active.
inline void serveCacheFirstSite(HttpTestServer& server, const std::string& link)
{
    server.serveHtml("/sw/index.html", "<html><head><title>loading</title></head><body><a href='" + link + "'>" +
                                           link + "</a><script>"
                                           "navigator.serviceWorker.register('/sw/worker.js', {scope: '/sw/'});"
                                           "navigator.serviceWorker.ready.then(function () { document.title = 'ready'; });"
                                           "</script></body></html>");
    HttpTestServer::Response worker;
    worker.contentType = "text/javascript";
    worker.body = R"JS(
        self.addEventListener('install', function (e) {
            e.waitUntil(caches.open('pages').then(function (c) { return c.add('/sw/index.html'); })
                            .then(function () { return self.skipWaiting(); }));
        });
        self.addEventListener('activate', function (e) { e.waitUntil(clients.claim()); });
        self.addEventListener('fetch', function (e) {
            e.respondWith(caches.match(e.request).then(function (r) { return r || fetch(e.request); }));
        });)JS";
    server.serve("/sw/worker.js", worker);
}

} // namespace lt::test
