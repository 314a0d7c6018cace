#!/usr/bin/env python3
"""Serves the heavy corpus (forum thread-list pages, heavy_site.py) from
three HTTP/1.1 servers on 127.0.0.1: the site, a CDN and a third party.
Every response of every server is held --latency seconds, requests in
flight side by side. The third party's tracker pixel and long poll are held
--hang seconds (more than a minute by default), until their client goes
away, or until the servers shut down, which closes them unanswered.

    serve_heavy.py --latency 0.5 [--hang 120] [--log FILE]

Prints "SITE CDN THIRD" (the three ports) on the first line of standard
output, then serves until SIGTERM or SIGINT. /__stats on any of the ports
answers at once with the requests by kind (document, script, data, image,
font, css, frame, pixel, longpoll, other), by server, the times (time.time())
of the first and the last, and how many are being held; /__reset zeroes them.
Page n is /forum/list/n.html on the site, for any n >= 1.
"""
import argparse
import json
import os
import select
import signal
import socket
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import heavy_site as site  # noqa: E402

KINDS = ("document", "script", "data", "image", "font", "css", "frame", "pixel", "longpoll", "other")


class Stats:
    def __init__(self):
        self.lock = threading.Lock()
        self.held = 0
        self.reset()

    def reset(self):
        with self.lock:
            self.kinds = dict.fromkeys(KINDS, 0)
            self.servers = {}
            self.first = self.last = None
            self.dropped = 0  # held requests whose client went away
            self.answered_late = 0  # held requests that got their answer after --hang

    def record(self, server, kind, at):
        # Counted on arrival: a held request never ends inside a run.
        with self.lock:
            self.kinds[kind] += 1
            per = self.servers.setdefault(server, {})
            per[kind] = per.get(kind, 0) + 1
            self.first = at if self.first is None else min(self.first, at)
            self.last = at if self.last is None else max(self.last, at)

    def snapshot(self):
        with self.lock:
            total = sum(self.kinds.values())
            return {"requests": total, "other_requests": total - self.kinds["document"],
                    "first": self.first, "last": self.last, "kinds": dict(self.kinds),
                    "servers": {k: dict(v) for k, v in self.servers.items()},
                    "held": self.held, "dropped": self.dropped, "answered_late": self.answered_late}


class Hosts:
    def __init__(self):
        self.site = self.cdn = self.third = None


def route(name, path, query, hosts):
    """(kind, status, body, content type), body None for a request to hold."""
    if name == "site":
        if path.startswith("/forum/list/") and path.endswith(".html"):
            try:
                n = int(path[len("/forum/list/"):-len(".html")])
            except ValueError:
                n = 0
            if n >= 1:
                return "document", 200, site.page_html(n, hosts.cdn, hosts.third), "text/html; charset=utf-8"
        if path == "/api/live":
            try:
                n = int(query.get("page", ["0"])[0])
            except ValueError:
                n = 0
            return "data", 200, site.live_json(n), "application/json"
    elif name == "cdn":
        # The page carries its two scripts inline (these serve a copy): the
        # site serves the document and its data, about 1.1 s of its time a
        # page with the latency.
        if path == "/js/threads.js":
            return "script", 200, site.THREADS_JS, "text/javascript"
        if path == "/js/live.js":
            return "script", 200, site.LIVE_JS, "text/javascript"
        if path == "/css/forum.css":
            return "css", 200, site.forum_css(hosts.cdn), "text/css"
        if path == "/css/theme.css":
            return "css", 200, site.theme_css(), "text/css"
        if path.startswith("/img/") and path.endswith(".png"):
            return "image", 200, site.image(path.rsplit("/", 1)[1]), "image/png"
        if path == "/fonts/forum-sans.woff2":
            return "font", 200, site.FONT, "font/woff2"
    elif name == "third":
        if path == "/ad/frame.html":
            return "frame", 200, site.ad_frame(query.get("slot", [""])[0]), "text/html; charset=utf-8"
        if path == "/tag.js":
            return "script", 200, site.TAG_JS, "text/javascript"
        if path == "/px.gif":
            return "pixel", 200, None, "image/gif"
        if path == "/poll":
            return "longpoll", 200, None, "text/plain"
    return "other", 404, b"not found", "text/plain"


def make_handler(name, hosts, latency, hang, stats, closing, log):
    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        cacheable = False

        def log_message(self, *args):
            pass

        def send(self, code, body, ctype):
            self.send_response(code)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(body)))
            # Documents, data and polls are fresh on every request; style
            # sheets, scripts, fonts and images are cached as sites and CDNs
            # serve them (the engine lets only one request at a time fetch a
            # URL it may cache, so uncacheable shared assets queue).
            self.send_header("Cache-Control", "public, max-age=3600" if self.cacheable else "no-store")
            # The long poll and the pixel are read across origins.
            self.send_header("Access-Control-Allow-Origin", "*")
            self.end_headers()
            if self.command != "HEAD":
                try:
                    self.wfile.write(body)
                except (BrokenPipeError, ConnectionResetError):
                    self.close_connection = True

        def do_HEAD(self):
            self.do_GET()

        def do_GET(self):
            parts = urllib.parse.urlsplit(self.path)
            if parts.path == "/__stats":
                return self.send(200, json.dumps(stats.snapshot()).encode(), "application/json")
            if parts.path == "/__reset":
                stats.reset()
                return self.send(200, b"{}", "application/json")
            kind, code, body, ctype = route(name, parts.path, urllib.parse.parse_qs(parts.query), hosts)
            self.cacheable = kind in ("script", "css", "font", "image")
            start = time.time()
            stats.record(name, kind, start)
            try:
                if body is None:
                    return self.hold(kind, ctype)
                if latency > 0 and closing.wait(latency):
                    self.close_connection = True
                    return
                self.send(code, body, ctype)
            finally:
                if log:
                    with stats.lock:
                        log.write(f"{start:.3f} {time.time():.3f} {self.client_address[1]} {name} {kind} {self.path}\n")
                        log.flush()

        def hold(self, kind, ctype):
            """Answers after hang seconds; a client that goes away or the
            servers' shutdown end it unanswered."""
            with stats.lock:
                stats.held += 1
            try:
                deadline = time.time() + hang
                while not closing.is_set():
                    left = deadline - time.time()
                    if left <= 0:
                        with stats.lock:
                            stats.answered_late += 1
                        return self.send(200, site.PIXEL_GIF if kind == "pixel" else b"{}", ctype)
                    # Browsers do not pipeline: the socket turns readable only when it closes.
                    ready, _, _ = select.select([self.connection], [], [], min(0.25, left))
                    if ready:
                        try:
                            gone = not self.connection.recv(1, socket.MSG_PEEK)
                        except OSError:
                            gone = True
                        if gone:
                            with stats.lock:
                                stats.dropped += 1
                            self.close_connection = True
                            return
                        time.sleep(0.25)
                self.close_connection = True
                try:
                    self.connection.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass
            finally:
                with stats.lock:
                    stats.held -= 1

    return Handler


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--latency", type=float, default=0.5, help="seconds every response is held")
    ap.add_argument("--hang", type=float, default=120.0, help="seconds the pixel and the long poll are held")
    ap.add_argument("--log", help="file for a line a request: start, end, client port, server, kind, path")
    a = ap.parse_args()
    log = open(a.log, "a") if a.log else None

    stats, closing, hosts = Stats(), threading.Event(), Hosts()
    servers = {}
    for name in ("site", "cdn", "third"):
        s = ThreadingHTTPServer(("127.0.0.1", 0), make_handler(name, hosts, a.latency, a.hang, stats, closing, log))
        s.daemon_threads = True
        s.request_queue_size = 128
        servers[name] = s
    hosts.site, hosts.cdn, hosts.third = (f"http://127.0.0.1:{servers[n].server_address[1]}"
                                          for n in ("site", "cdn", "third"))
    threads = [threading.Thread(target=s.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
               for s in servers.values()]
    for t in threads:
        t.start()

    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    signal.signal(signal.SIGINT, lambda *_: done.set())
    print(" ".join(str(servers[n].server_address[1]) for n in ("site", "cdn", "third")), flush=True)
    while not done.wait(0.5):
        pass
    closing.set()
    for s in servers.values():
        s.shutdown()
        s.server_close()
    # The held requests see closing within a quarter second and close their sockets.
    deadline = time.time() + 2
    while stats.held and time.time() < deadline:
        time.sleep(0.05)
    return 0


if __name__ == "__main__":
    sys.exit(main())
