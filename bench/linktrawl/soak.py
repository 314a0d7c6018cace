#!/usr/bin/env python3
"""A long linktrawl run on documentation pages served on 127.0.0.1, to see
that its memory stays flat: one row for every --every pages with the pages
per second and the peak RSS and PSS of linktrawl and all its engine
processes in that stretch, then the last stretch's peak RSS against the
second's (the first holds the start-up).

    bench/linktrawl/soak.py [LINKTRAWL] --pages 20000 --every 2000 --jobs 8
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from bench import REPO, Sampler, Server, living_in_group, mib, pick_pages

GROWTH_LIMIT = 10.0  # per cent, last stretch against the second


class WindowSampler(Sampler):
    """Sampler that keeps the peaks of the current stretch beside the run's."""

    def __init__(self, pid, period):
        super().__init__(pid, period)
        self.lock = threading.RLock()
        self.run_peak = [0, 0, 0, 0]  # rss, pss KiB, engine processes, renderers
        self.run_kinds = {}
        self.window_peak = [0, 0, 0, 0]
        self.window_samples = 0

    def sample(self):
        with self.lock:
            # Zeroed, the base class's peaks come out as this one sample's sums.
            self.peak_rss = self.peak_pss = self.peak_procs = self.peak_renderers = 0
            super().sample()
            # linktrawl itself is not an engine process.
            now = [self.peak_rss, self.peak_pss, max(self.peak_procs - 1, 0), self.peak_renderers]
            if now[0] > self.run_peak[0]:
                self.run_kinds = self.at_peak
            self.run_peak = [max(a, b) for a, b in zip(self.run_peak, now)]
            self.window_peak = [max(a, b) for a, b in zip(self.window_peak, now)]
            self.window_samples += 1

    def take_window(self):
        with self.lock:
            if not self.window_samples:
                self.sample()  # a stretch shorter than the period
            peak = self.window_peak
            self.window_peak, self.window_samples = [0, 0, 0, 0], 0
            return peak


def row(cells, widths):
    return "| " + " | ".join(str(c).rjust(w) for c, w in zip(cells, widths)) + " |"


HEAD = ["pages", "time s", "pages/s", "peak RSS MiB", "peak PSS MiB", "engine procs", "renderers"]
WIDTHS = [len(h) for h in HEAD]


def main():
    ap = argparse.ArgumentParser(description="linktrawl soak: memory over a long run on local pages")
    ap.add_argument("linktrawl", nargs="?", default=os.path.join(REPO, "build", "bin", "linktrawl"))
    ap.add_argument("--docs", default="/usr/share/doc/git-doc", help="folder of .html pages to serve")
    ap.add_argument("--pages", type=int, default=20000, help="addresses in the list (pages cycled with ?v=k)")
    ap.add_argument("--every", type=int, default=2000, help="pages in a row of the table")
    ap.add_argument("--jobs", type=int, default=8)
    ap.add_argument("--latency", type=float, default=0.0, help="seconds every response is held")
    ap.add_argument("--period", type=float, default=0.5, help="seconds between memory samples")
    ap.add_argument("--extra", default="", help="more options for linktrawl, e.g. '--settle 100'")
    ap.add_argument("--limit", type=float, default=4 * 3600, help="seconds before the run is stopped (SIGTERM; killed 30 s later)")
    ap.add_argument("--keep", action="store_true", help="keep the run folder (list, state, stderr)")
    a = ap.parse_args()

    linktrawl = os.path.abspath(a.linktrawl)
    if not os.access(linktrawl, os.X_OK):
        sys.exit(f"no linktrawl at {linktrawl}: build it (BUILD_DIR=build ./scripts/build.sh) or give its path")
    if a.pages < 1 or a.every < 1:
        sys.exit("--pages and --every must be at least 1")
    pages = pick_pages(a.docs, a.pages) if os.path.isdir(a.docs) else []
    if not pages:
        sys.exit(f"no .html pages in {a.docs}: apt-get install git-doc, or give --docs DIR")

    top = tempfile.mkdtemp(prefix="lt-soak-")
    server = Server(a.docs, a.latency)
    try:
        listing = os.path.join(top, "list.txt")
        with open(listing, "w") as f:
            f.writelines(server.url(p) + "\n" for p in pages)
        nfiles = len({p.split("?")[0] for p in pages})
        args = ["--jobs", str(a.jobs), "--format", "jsonl", "--state-dir", os.path.join(top, "state")]
        args += a.extra.split() + [listing]
        print(f"linktrawl: {linktrawl} {' '.join(args[:-1])} list.txt")
        print(f"pages: {len(pages)} addresses of {nfiles} files of {a.docs}, latency {a.latency:g} s; run in {top}")
        if os.environ.get("QTWEBENGINE_CHROMIUM_FLAGS"):
            print(f"QTWEBENGINE_CHROMIUM_FLAGS={os.environ['QTWEBENGINE_CHROMIUM_FLAGS']}")
        print(f"cores: {os.cpu_count()}, load at start: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
        print(f"memory: peaks of the sum over linktrawl and its engine processes, sampled every {a.period:g} s")
        print()
        r = soak(linktrawl, args, top, server, a, len(pages))
        report(r, a, len(pages))
        finished = r["code"] in (0, 3)
        return 0 if r["pass"] or (r["pass"] is None and finished) else 1
    finally:
        server.close()
        if not a.keep:
            shutil.rmtree(top, ignore_errors=True)


def soak(linktrawl, args, work, server, a, total):
    env = dict(os.environ)
    # Nothing of the engine's lands outside the run's folder.
    for var, sub in (("XDG_DATA_HOME", "data"), ("XDG_CACHE_HOME", "cache"), ("XDG_CONFIG_HOME", "config")):
        env[var] = os.path.join(work, sub)
    err_path = os.path.join(work, "err.txt")
    server.control("reset")
    windows, links, last_line = [], 0, 0
    killed = []  # the timers that stopped the run

    def kill_group():
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass

    def stop():
        # SIGTERM lets linktrawl read the pages in hand and save; the group goes if it hangs.
        hard = threading.Timer(30, kill_group)
        hard.daemon = True
        killed.append(hard)
        proc.terminate()
        hard.start()

    print(row(HEAD, WIDTHS))
    print("|" + "|".join("-" * (w + 2) for w in WIDTHS) + "|", flush=True)
    with open(err_path, "wb") as err:
        t0 = time.time()
        proc = subprocess.Popen([linktrawl] + args, stdout=subprocess.PIPE, stderr=err,
                                stdin=subprocess.DEVNULL, env=env, start_new_session=True)
        sampler = WindowSampler(proc.pid, a.period)
        sampler.start()
        timer = threading.Timer(a.limit, stop)
        timer.daemon = True
        timer.start()
        mark = (0, t0)  # pages done and time at the start of the stretch

        def close_window(done):
            nonlocal mark
            now = time.time()
            rss, pss, procs, renderers = sampler.take_window()
            rate = (done - mark[0]) / max(now - mark[1], 1e-9)
            windows.append({"pages": done, "time": now - t0, "rate": rate, "rss": rss, "pss": pss,
                            "procs": procs, "renderers": renderers})
            print(row([done, f"{now - t0:.0f}", f"{rate:.2f}", f"{mib(rss):.0f}", f"{mib(pss):.0f}",
                       procs, renderers], WIDTHS), flush=True)
            mark = (done, now)

        try:
            boundary = a.every
            for raw in proc.stdout:
                try:
                    line = json.loads(raw)["line"]
                except (ValueError, KeyError, TypeError):
                    continue
                links += 1
                # A page without links writes nothing: the largest line is how far the run is.
                if line > last_line:
                    last_line = line
                    if last_line >= boundary and last_line < total:
                        close_window(last_line)
                        boundary = (last_line // a.every + 1) * a.every
            code = proc.wait()
        except BaseException:
            kill_group()
            proc.wait()
            raise
        finally:
            timer.cancel()
            for hard in killed:
                hard.cancel()
        wall = time.time() - t0
        # The exit says the list is done, also when its last pages had no links.
        done = total if code in (0, 3) and not killed else last_line
        if done > mark[0] or not windows:
            close_window(done)
        sampler.done.set()
        sampler.join()
    # Engine processes that outlive linktrawl would weigh on whatever runs next.
    deadline = time.time() + 5
    while living_in_group(proc.pid) and time.time() < deadline:
        time.sleep(0.1)
    leftovers = living_in_group(proc.pid)
    for pid in leftovers:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    stats = server.control("stats")
    with open(err_path, "rb") as f:
        errors = f.read().decode(errors="replace").strip()

    # A short tail after the last full row has few samples and would flatter the check.
    full = [i for i, w in enumerate(windows)
            if i and w["pages"] - windows[i - 1]["pages"] >= a.every / 2]
    growth, verdict, last = None, None, None
    if len(windows) >= 3 and full and full[-1] > 1:
        last = full[-1]
        second = windows[1]["rss"]
        growth = (windows[last]["rss"] - second) * 100.0 / second if second else None
        verdict = growth is not None and growth <= GROWTH_LIMIT and done == total and not killed
    return {
        "code": f"{code}, stopped after {a.limit:g} s" if killed else code, "wall": wall, "done": done,
        "links": links, "windows": windows, "peak": sampler.run_peak, "kinds": sampler.run_kinds,
        "samples": sampler.samples, "requests": stats["requests"], "other_requests": stats["other_requests"],
        "stderr": errors, "leftovers": leftovers, "growth": growth, "pass": verdict, "last": last,
    }


def report(r, a, npages):
    rss, pss, procs, renderers = r["peak"]
    w = r["windows"]
    print()
    print(f"overall: {r['done']} of {npages} pages in {r['wall']:.0f} s, {r['done'] / r['wall']:.2f} pages/s;"
          f" {r['links']} links; exit {r['code']}")
    print(f"  peak RSS {mib(rss):.0f} MiB, peak PSS {mib(pss):.0f} MiB, up to {procs} engine processes"
          f" ({renderers} renderers); {r['samples']} samples")
    kinds = ", ".join(f"{k} {v[0]}x {mib(v[1]):.0f}/{mib(v[2]):.0f}" for k, v in sorted(r["kinds"].items()))
    if kinds:
        print(f"  at the RSS peak (MiB RSS/PSS): {kinds}")
    print(f"  server: {r['requests']} requests, {r['other_requests']} of them not for a page")
    if r["leftovers"]:
        print(f"  {len(r['leftovers'])} processes of the run outlived it by 5 s (killed)")
    if r["stderr"]:
        lines = r["stderr"].splitlines()
        print(f"  stderr ({len(lines)} lines): " + "\n          ".join(lines[:10])
              + ("\n          ..." if len(lines) > 10 else ""))
    if r["growth"] is None:
        print(f"check: needs at least 3 full rows to set the last against the second ({len(w)} rows here)")
        return
    last = w[r["last"]]
    verdict = "PASS" if r["pass"] else "FAIL" if r["growth"] > GROWTH_LIMIT else "FAIL (the run did not finish)"
    print(f"check: peak RSS of the last row ({last['pages']} pages) {mib(last['rss']):.0f} MiB against"
          f" the second ({w[1]['pages']} pages) {mib(w[1]['rss']):.0f} MiB: {r['growth']:+.1f} %"
          f" (at most +{GROWTH_LIMIT:g} %) {verdict}")


if __name__ == "__main__":
    sys.exit(main())
