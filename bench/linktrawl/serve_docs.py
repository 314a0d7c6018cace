#!/usr/bin/env python3
"""Serves the files of a folder on 127.0.0.1, every response held a fixed
time as a distant site would (requests in flight are held side by side).

    serve_docs.py --root /usr/share/doc/git-doc --latency 0.5 [--port 0]

Prints the port on the first line of standard output, then serves until
SIGTERM or SIGINT. /__stats answers at once with the number of requests and
the times (time.time()) of the first and the last; /__reset zeroes them.
"""
import argparse
import json
import mimetypes
import os
import signal
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class Stats:
    def __init__(self):
        self.lock = threading.Lock()
        self.reset()

    def reset(self):
        with self.lock:
            self.requests = 0
            self.first = None
            self.last = None
            self.paths = {}

    def record(self, path, start, end):
        with self.lock:
            self.requests += 1
            self.first = start if self.first is None else min(self.first, start)
            self.last = end if self.last is None else max(self.last, end)
            self.paths[path] = self.paths.get(path, 0) + 1

    def snapshot(self):
        with self.lock:
            misses = sum(n for p, n in self.paths.items() if not p.endswith(".html"))
            return {"requests": self.requests, "first": self.first, "last": self.last,
                    "other_requests": misses}


def make_handler(root, latency, stats, log):
    root = os.path.realpath(root)

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def send(self, code, body, ctype):
            self.send_response(code)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            if self.command != "HEAD":
                try:
                    self.wfile.write(body)
                except (BrokenPipeError, ConnectionResetError):
                    self.close_connection = True  # the browser gave up on it (a favicon of a page read)

        def do_HEAD(self):
            self.do_GET()

        def do_GET(self):
            path = urllib.parse.urlsplit(self.path).path
            if path == "/__stats":
                return self.send(200, json.dumps(stats.snapshot()).encode(), "application/json")
            if path == "/__reset":
                stats.reset()
                return self.send(200, b"{}", "application/json")
            start = time.time()
            if latency > 0:
                time.sleep(latency)
            local = os.path.realpath(os.path.join(root, urllib.parse.unquote(path).lstrip("/")))
            if (local == root or local.startswith(root + os.sep)) and os.path.isfile(local):
                with open(local, "rb") as f:
                    body = f.read()
                ctype = mimetypes.guess_type(local)[0] or "application/octet-stream"
                self.send(200, body, ctype)
            else:
                self.send(404, b"not found", "text/plain")
            end = time.time()
            stats.record(path, start, end)
            if log:
                with stats.lock:
                    log.write(f"{start:.3f} {end:.3f} {self.client_address[1]} {path}\n")
                    log.flush()

    return Handler


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--root", required=True)
    ap.add_argument("--latency", type=float, default=0.5, help="seconds every response is held")
    ap.add_argument("--port", type=int, default=0, help="0 picks a free port")
    ap.add_argument("--log", help="file for a line a request: start, end, client port, path")
    a = ap.parse_args()
    log = open(a.log, "a") if a.log else None

    server = ThreadingHTTPServer(("127.0.0.1", a.port), make_handler(a.root, a.latency, Stats(), log))
    server.daemon_threads = True
    server.request_queue_size = 128
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    print(server.server_address[1], flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
