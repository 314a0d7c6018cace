#!/usr/bin/env python3
"""linktrawl on pages served on 127.0.0.1: the stepped search against
--jobs runs. Reports wall time, pages per second and the peak memory of
linktrawl and all its engine processes.

The docs corpus (the default) serves documentation pages with and without
latency and checks that every run writes the same links. The heavy corpus
serves forum thread-list pages (heavy_site.py, serve_heavy.py) from a site,
a CDN and a third party, all with latency, whose links come from the HTML,
from a script at DOMContentLoaded and from a fetch(), and which load images,
style sheets, a font, an ad frame, a pixel that never answers and a long
poll; each run is compared with what the settled pages hold.

    bench/linktrawl/run.sh [LINKTRAWL] [--corpus docs|heavy|both] [--repeat N] ...
"""
import argparse
import collections
import difflib
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

import heavy_site

NEWLINE = b"\n"
HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))

CONFIGS = {
    "stepped": ["--interval", "1"],
    "jobs1": ["--jobs", "1"],
    "jobs4": ["--jobs", "4"],
    "jobs8": ["--jobs", "8"],
    "jobs16": ["--jobs", "16"],
}
DEFAULT_CONFIGS = {"docs": "stepped,jobs1,jobs4,jobs8", "heavy": "stepped,jobs1,jobs8,jobs16"}
DEFAULT_PAGES = {"docs": 120, "heavy": 48}


# ---- memory of a process tree -------------------------------------------

def _stats():
    """pid -> (ppid, process group, state) of every process."""
    out = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/stat", "rb") as f:
                stat = f.read()
        except OSError:
            continue
        # The command name may hold blanks and parentheses: fields follow the last ')'.
        fields = stat[stat.rfind(b")") + 2:].split()
        out[int(name)] = (int(fields[1]), int(fields[2]), fields[0])
    return out


def living_in_group(pgid):
    return [pid for pid, (_, group, state) in _stats().items() if group == pgid and state != b"Z"]


def descendants(root):
    children = {}
    for pid, (ppid, _, _) in _stats().items():
        children.setdefault(ppid, []).append(pid)
    tree, todo = [], [(root, None)]
    while todo:
        pid, parent = todo.pop()
        tree.append((pid, parent))
        todo.extend((child, pid) for child in children.get(pid, []))
    return tree  # (pid, parent pid) pairs, the root first


def _kib(path, *keys):
    """The sum of the kB fields named keys, None when the file is gone."""
    try:
        with open(path, "rb") as f:
            return sum(int(line.split()[1]) for line in f if line.startswith(keys))
    except OSError:
        return None


def _kind(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            args = f.read().split(b"\0")
    except OSError:
        return "?"
    for a in args:
        if a.startswith(b"--type="):
            kind = a[7:].decode()
            if kind == "utility":
                for b in args:
                    if b.startswith(b"--utility-sub-type="):
                        return "utility:" + b[19:].decode().split(".")[-1]
            return kind
    return "browser"


class Sampler(threading.Thread):
    """Sums VmRSS and PSS over the tree under a pid every period seconds."""

    def __init__(self, pid, period=0.1):
        super().__init__(daemon=True)
        self.pid, self.period = pid, period
        self.done = threading.Event()
        self.peak_rss = self.peak_pss = self.peak_uss = 0
        self.peak_procs = 0
        self.peak_renderers = 0
        self.at_peak = {}  # kind -> [count, rss, pss, uss] at the peak of the RSS sum
        self.samples = 0
        self.kinds = {}

    def run(self):
        while not self.done.is_set():
            self.sample()
            self.done.wait(self.period)

    def sample(self):
        rss_sum = pss_sum = uss_sum = 0
        by_kind = {}
        procs = renderers = 0
        for pid, parent in descendants(self.pid):
            rss = _kib(f"/proc/{pid}/status", b"VmRSS:")
            if rss is None:
                continue  # gone, or a zombie
            pss = _kib(f"/proc/{pid}/smaps_rollup", b"Pss:") or 0
            # Pages of this process alone: what its end gives back.
            uss = _kib(f"/proc/{pid}/smaps_rollup", b"Private_Clean:", b"Private_Dirty:") or 0
            if pid not in self.kinds:
                kind = _kind(pid)
                # What a zygote forks keeps the zygote's command line: a renderer.
                if kind == "zygote" and self.kinds.get(parent) in ("zygote", "renderer"):
                    kind = "renderer"
                # Between fork and exec a child still shows linktrawl's command line.
                if kind != "browser" or parent is None:
                    self.kinds[pid] = kind
            else:
                kind = self.kinds[pid]
            procs += 1
            renderers += kind == "renderer"
            rss_sum += rss
            pss_sum += pss
            uss_sum += uss
            k = by_kind.setdefault(kind, [0, 0, 0, 0])
            k[0] += 1
            k[1] += rss
            k[2] += pss
            k[3] += uss
        self.samples += 1
        if rss_sum > self.peak_rss:
            self.peak_rss = rss_sum
            self.at_peak = by_kind
        self.peak_pss = max(self.peak_pss, pss_sum)
        self.peak_uss = max(self.peak_uss, uss_sum)
        self.peak_procs = max(self.peak_procs, procs)
        self.peak_renderers = max(self.peak_renderers, renderers)


# ---- the server ------------------------------------------------------------

class Server:
    def __init__(self, root, latency):
        self.proc = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "serve_docs.py"), "--root", root, "--latency", str(latency)],
            stdout=subprocess.PIPE, text=True)
        self.port = int(self.proc.stdout.readline())
        self.latency = latency

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def page_url(self, path, index, sites):
        if sites > 1:
            return f"http://s{index % sites + 1}.lt-bench.example{path}"
        return self.url(path)

    def control(self, what):
        with urllib.request.urlopen(self.url("/__" + what), timeout=10) as r:
            return json.loads(r.read())

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class HeavyServers:
    """serve_heavy.py: the site, its CDN and a third party, each on its port."""

    def __init__(self, latency, hang, log=None):
        self.proc = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "serve_heavy.py"), "--latency", str(latency), "--hang", str(hang)]
            + (["--log", log] if log else []), stdout=subprocess.PIPE, text=True)
        self.port, self.cdn_port, self.third_port = (int(p) for p in self.proc.stdout.readline().split())
        self.latency = latency

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def page_urls(self, count):
        return [self.url(heavy_site.page_path(n)) for n in range(1, count + 1)]

    control = Server.control
    close = Server.close


def pick_pages(root, count):
    """count page paths spread evenly over the folder's .html files, in a
    fixed order; ?v=k variants when the folder has fewer."""
    files = []
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames.sort()
        for name in sorted(filenames):
            if name.endswith(".html"):
                files.append(os.path.relpath(os.path.join(dirpath, name), root))
    if not files:
        return []
    if len(files) >= count:
        return ["/" + files[i * len(files) // count] for i in range(count)]
    return ["/" + files[i % len(files)] + ("" if i < len(files) else f"?v={i // len(files)}")
            for i in range(count)]


# ---- one run ---------------------------------------------------------------

def run_once(linktrawl, args, work, server, limit, sites):
    state = os.path.join(work, "state")
    env = dict(os.environ)
    if sites > 1:
        # The sites' names lead nowhere (.example): the server is their proxy.
        flags = env.get("QTWEBENGINE_CHROMIUM_FLAGS", "")
        env["QTWEBENGINE_CHROMIUM_FLAGS"] = (flags + f" --proxy-server=http://127.0.0.1:{server.port}").strip()
    # Nothing of the engine's lands outside the run's folder.
    for var, sub in (("XDG_DATA_HOME", "data"), ("XDG_CACHE_HOME", "cache"), ("XDG_CONFIG_HOME", "config")):
        env[var] = os.path.join(work, sub)
    out_path, err_path = os.path.join(work, "out.txt"), os.path.join(work, "err.txt")
    server.control("reset")
    load = os.getloadavg()[0]
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        t0 = time.time()
        proc = subprocess.Popen([linktrawl, "--state-dir", state] + args, stdout=out, stderr=err,
                                stdin=subprocess.DEVNULL, env=env, start_new_session=True)
        sampler = Sampler(proc.pid)
        sampler.start()
        try:
            code = proc.wait(limit)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            code = proc.wait()
            code = f"killed after {limit}s"
        except BaseException:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            raise
        wall = time.time() - t0
        sampler.done.set()
        sampler.join()
    # Engine processes left behind in the run's group would falsify the next run.
    # The zygotes end a moment after linktrawl; zombies (the init here may
    # not reap them) do not count.
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
    with open(out_path, "rb") as f:
        output = f.read()
    with open(err_path, "rb") as f:
        errors = f.read().decode(errors="replace").strip()
    return {
        "code": code, "wall": wall, "load": load, "output": output, "stderr": errors,
        "start": (stats["first"] - t0) if stats["first"] else None,
        "requests": stats["requests"], "other_requests": stats["other_requests"], "stats": stats,
        "rss": sampler.peak_rss, "pss": sampler.peak_pss, "uss": sampler.peak_uss, "procs": sampler.peak_procs,
        "renderers": sampler.peak_renderers, "at_peak": sampler.at_peak, "samples": sampler.samples,
        "leftovers": leftovers,
    }


def mib(kib):
    return kib / 1024.0


def print_run(label, c, rep, r, npages, verdict):
    kinds = ", ".join(f"{k} {v[0]}x {mib(v[1]):.0f}/{mib(v[2]):.0f}/{mib(v[3]):.0f}"
                      for k, v in sorted(r["at_peak"].items()))
    print(f"{label:4} {c:7} #{rep + 1}: {r['wall']:6.1f} s  {npages / r['wall']:5.2f} pages/s"
          f"  start {r['start'] or 0:4.1f} s  RSS {mib(r['rss']):6.0f} MiB"
          f"  PSS {mib(r['pss']):5.0f}  USS {mib(r['uss']):5.0f} MiB  exit {r['code']}  load {r['load']:.2f}"
          f"  {verdict}", flush=True)
    print(f"     at peak (MiB RSS/PSS/USS): {kinds}", flush=True)


def print_run_notes(r):
    if r["stderr"]:
        print("     stderr: " + r["stderr"].replace("\n", "\n             ")[:2000])
    if r["leftovers"]:
        print(f"     {len(r['leftovers'])} processes of the run outlived it by 5 s (killed)")


def run_docs(a, linktrawl, top, extra, configs, pages, servers, limit):
    results = {}  # (server, config) -> [run, ...]
    reference = {}  # server -> output of its first stepped run (or first run)
    for sname, latency in servers:
        server = Server(a.docs, latency)
        try:
            listing = os.path.join(top, f"list-{sname}.txt")
            with open(listing, "w") as f:
                f.writelines(server.page_url(p, i, a.sites) + "\n" for i, p in enumerate(pages))
            for rep in range(a.repeat):
                for c in configs:
                    work = os.path.join(top, f"{sname}-{c}-{rep + 1}")
                    os.makedirs(work)
                    args = CONFIGS[c] + (extra if c != "stepped" else []) + ["--format", "text", listing]
                    r = run_once(linktrawl, args, work, server, limit, a.sites)
                    reference.setdefault(sname, r["output"])
                    r["identical"] = r["output"] == reference[sname]
                    results.setdefault((sname, c), []).append(r)
                    same = "same" if r["identical"] else "DIFFERENT"
                    print_run(sname, c, rep, r, len(pages), f"{same} output ({r['output'].count(NEWLINE)} links)")
                    print_run_notes(r)
        finally:
            server.close()
    return results


# ---- the heavy corpus ------------------------------------------------------

def exactness(output, expected, urls):
    """The output against the oracle's [(page index, link)]: links missing,
    links extra, whether the links both hold are in the same order, and the
    pages where they part."""
    got = output.split(NEWLINE)
    if got and got[-1] == b"":
        got.pop()
    want = [link.encode() for _, link in expected]
    if got == want:
        return {"exact": True, "missing": 0, "extra": 0, "order": True, "pages": [], "notes": []}
    have, need = collections.Counter(got), collections.Counter(want)
    missing = sum((need - have).values())
    extra = sum((have - need).values())
    # The common links are in order when their longest common subsequence
    # holds all of them (SequenceMatcher's blocks stand for it here: the
    # links are nearly all unique).
    sm = difflib.SequenceMatcher(None, want, got, autojunk=False)
    common = len(want) - missing
    order = sum(b.size for b in sm.get_matching_blocks()) == common if common else None
    parts = {}  # page index -> (links missing there, links extra there), as the diff aligns them
    for tag, i1, i2, j1, j2 in sm.get_opcodes():
        if tag == "equal" or not expected:
            continue
        page = expected[min(i1, len(expected) - 1)][0]
        parts.setdefault(page, ([], []))[1].extend(g.decode(errors="replace") for g in got[j1:j2])
        for i in range(i1, i2):
            parts.setdefault(expected[i][0], ([], []))[0].append(want[i].decode())
    pages = sorted(parts)
    notes = []
    for page in pages[:3]:
        lost, more = parts[page]
        said = ([f"{len(lost)} missing, e.g. {' '.join(lost[:2])}"] if lost else []) \
            + ([f"{len(more)} extra, e.g. {' '.join(more[:2])}"] if more else [])
        notes.append(f"page {page + 1} ({urls[page]}): " + "; ".join(said))
    return {"exact": False, "missing": missing, "extra": extra, "order": order, "pages": pages, "notes": notes}


def verdict(x):
    if x["exact"]:
        return "exact"
    order = {True: "right", False: "WRONG", None: "n/a"}[x["order"]]
    return (f"missing {x['missing']}, extra {x['extra']}, order {order},"
            f" {len(x['pages'])} pages off")


def run_heavy(a, linktrawl, top, extra, configs, npages, limit):
    results = {}  # ("heavy", config) -> [run, ...]
    servers = HeavyServers(a.latency, a.hang, a.server_log and os.path.abspath(a.server_log))
    try:
        urls = servers.page_urls(npages)
        listing = os.path.join(top, "list-heavy.txt")
        with open(listing, "w") as f:
            f.writelines(u + "\n" for u in urls)
        print(f"heavy: {npages} pages; site :{servers.port}, CDN :{servers.cdn_port},"
              f" third party :{servers.third_port}; latency {a.latency} s, pixel and long poll held {a.hang:.0f} s")
        oracle_path = os.path.join(top, "oracle-heavy.txt")
        with open(oracle_path, "w") as f:
            f.writelines(link + "\n" for _, link in heavy_site.oracle(urls, heavy_site.Rules()))
        if a.keep:
            print(f"the links of the settled pages (default rules): {oracle_path}")
        for rep in range(a.repeat):
            for c in configs:
                work = os.path.join(top, f"heavy-{c}-{rep + 1}")
                os.makedirs(work)
                options = CONFIGS[c] + (extra if c != "stepped" else [])
                expected = heavy_site.oracle(urls, heavy_site.Rules(options))
                r = run_once(linktrawl, options + ["--format", "text", listing], work, servers, limit, 1)
                x = exactness(r["output"], expected, urls)
                r["exactness"] = x
                r["identical"] = x["exact"]
                results.setdefault(("heavy", c), []).append(r)
                print_run("heavy", c, rep, r, npages,
                          f"{verdict(x)} ({r['output'].count(NEWLINE)} links of {len(expected)})")
                st = r["stats"]
                print("     requests: " + ", ".join(f"{k} {v}" for k, v in st["kinds"].items())
                      + f"; held at the end {st['held']}, given up by the engine {st['dropped']}", flush=True)
                for note in x["notes"]:
                    print("     " + note)
                print_run_notes(r)
    finally:
        servers.close()
    return results


def report_heavy(results, configs, npages):
    def med(c, key):
        rs = results.get(("heavy", c))
        return statistics.median(r[key] for r in rs) if rs else None

    print()
    print("Heavy corpus: medians over the repeats (memory as above). img: images fetched (most of a run's),")
    print("of 15 a page; output against the links the settled pages hold.")
    print(f"{'corpus':6} {'run':8} {'wall s':>7} {'pages/s':>8} {'RSS MiB':>8} {'PSS MiB':>8} {'USS MiB':>8}"
          f" {'load':>5} {'procs':>5} {'rend.':>5} {'img':>5}  output")
    for c in configs:
        rs = results.get(("heavy", c))
        if not rs:
            continue
        wall = med(c, "wall")
        codes = sorted({str(r["code"]) for r in rs})
        xs = [r["exactness"] for r in rs]
        out = "exact" if all(x["exact"] for x in xs) else "; ".join(verdict(x) for x in xs)
        print(f"{'heavy':6} {c:8} {wall:7.1f} {npages / wall:8.2f} {mib(med(c, 'rss')):8.0f}"
              f" {mib(med(c, 'pss')):8.0f} {mib(med(c, 'uss')):8.0f} {med(c, 'load'):5.1f}"
              f" {max(r['procs'] for r in rs):5} {max(r['renderers'] for r in rs):5}"
              f" {max(r['stats']['kinds']['image'] for r in rs):5}  {out}"
              f"{'' if codes == ['0'] else ', exit ' + '/'.join(codes)}")
    print()
    all_exact = all(r["identical"] for rs in results.values() for r in rs)
    print("Every heavy run wrote exactly the settled pages' links." if all_exact
          else "Some heavy runs differ from the settled pages' links!")
    stepped = med("stepped", "wall")
    if stepped:
        print("pages/s against stepped: " + ", ".join(f"{c} {stepped / med(c, 'wall'):.2f}"
                                                      for c in configs if c != "stepped" and med(c, "wall")))


def main():
    ap = argparse.ArgumentParser(description="linktrawl benchmark on local pages")
    ap.add_argument("linktrawl", nargs="?", default=os.path.join(REPO, "build", "bin", "linktrawl"))
    ap.add_argument("--corpus", choices=("docs", "heavy", "both"), default="docs",
                    help="docs: documentation pages (--docs); heavy: forum thread-list pages from three servers")
    ap.add_argument("--docs", default="/usr/share/doc/git-doc", help="folder of .html pages to serve")
    ap.add_argument("--pages", type=int, help="pages of each corpus (docs 120, heavy 48)")
    ap.add_argument("--latency", type=float, default=0.5,
                    help="seconds of the slow docs server and of every response of the heavy servers")
    ap.add_argument("--hang", type=float, default=120.0,
                    help="heavy: seconds the tracker pixel and the long poll are held")
    ap.add_argument("--server-log", help="heavy: file for a line a request (start, end, client port, server, kind, path)")
    ap.add_argument("--servers", default="slow,fast", help="docs: slow (with latency), fast (none), or both")
    ap.add_argument("--configs", help="of " + ", ".join(CONFIGS)
                    + f" (docs {DEFAULT_CONFIGS['docs']}; heavy {DEFAULT_CONFIGS['heavy']})")
    ap.add_argument("--repeat", type=int, default=1)
    ap.add_argument("--extra", default="", help="more options for the --jobs runs, e.g. '--settle 100'")
    ap.add_argument("--limit", type=int,
                    help="seconds before a run is killed (docs 1200; heavy 40 a page, at least 1200)")
    ap.add_argument("--keep", action="store_true", help="keep the run folders")
    ap.add_argument("--sites", type=int, default=1,
                    help="docs: spread the pages over this many site names, served through the server as their proxy")
    a = ap.parse_args()

    linktrawl = os.path.abspath(a.linktrawl)
    if not os.access(linktrawl, os.X_OK):
        sys.exit(f"no linktrawl at {linktrawl}: build it (BUILD_DIR=build ./scripts/build.sh) or give its path")
    corpora = ["docs", "heavy"] if a.corpus == "both" else [a.corpus]
    configs = {}
    for corpus in corpora:
        configs[corpus] = [c for c in (a.configs or DEFAULT_CONFIGS[corpus]).split(",") if c]
        for c in configs[corpus]:
            if c not in CONFIGS:
                sys.exit(f"unknown configuration {c}")
    npages = {corpus: a.pages or DEFAULT_PAGES[corpus] for corpus in corpora}
    limits = {"docs": a.limit or 1200, "heavy": a.limit or max(1200, 40 * npages.get("heavy", 0))}
    pages = []
    if "docs" in corpora:
        pages = pick_pages(a.docs, npages["docs"]) if os.path.isdir(a.docs) else []
        if not pages:
            sys.exit(f"no .html pages in {a.docs}: apt-get install git-doc, or give --docs DIR")
    servers = [("slow", a.latency) if s == "slow" else ("fast", 0.0) for s in a.servers.split(",") if s]

    top = tempfile.mkdtemp(prefix="lt-bench-")
    extra = a.extra.split()
    print(f"linktrawl: {linktrawl}")
    if "docs" in corpora:
        print(f"pages: {len(pages)} of {a.docs}; runs in {top}")
    else:
        print(f"runs in {top}")
    if os.environ.get("QTWEBENGINE_CHROMIUM_FLAGS"):
        print(f"QTWEBENGINE_CHROMIUM_FLAGS={os.environ['QTWEBENGINE_CHROMIUM_FLAGS']}")
    if extra:
        print(f"--jobs runs also get: {a.extra}")
    if a.sites > 1 and "docs" in corpora:
        print(f"pages spread over {a.sites} sites (s1.lt-bench.example ...), the server their proxy")
    print(f"cores: {os.cpu_count()}, load at start: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    print()

    docs_results = heavy_results = None
    try:
        if "docs" in corpora:
            docs_results = run_docs(a, linktrawl, top, extra, configs["docs"], pages, servers, limits["docs"])
        if "heavy" in corpora:
            heavy_results = run_heavy(a, linktrawl, top, extra, configs["heavy"], npages["heavy"], limits["heavy"])
    finally:
        if not a.keep:
            shutil.rmtree(top, ignore_errors=True)

    if docs_results is not None:
        report(docs_results, servers, configs["docs"], len(pages))
    if heavy_results is not None:
        report_heavy(heavy_results, configs["heavy"], npages["heavy"])
    return 0


def report(results, servers, configs, npages):
    def med(sname, c, key):
        rs = results.get((sname, c))
        return statistics.median(r[key] for r in rs) if rs else None

    print()
    print("Medians over the repeats. Memory: the peak of the sum over linktrawl and its engine processes;")
    print("PSS splits a shared page among all processes of the machine that map it (other engines running")
    print("lower it), USS counts the pages of each process alone. load: 1-minute load average at the start.")
    print(f"{'server':6} {'run':8} {'wall s':>7} {'pages/s':>8} {'start s':>8} {'RSS MiB':>8} {'PSS MiB':>8}"
          f" {'USS MiB':>8} {'load':>5}"
          f" {'procs':>5} {'rend.':>5} {'requests':>8}  output")
    for sname, _ in servers:
        for c in configs:
            rs = results.get((sname, c))
            if not rs:
                continue
            wall = med(sname, c, "wall")
            start = statistics.median((r["start"] or 0) for r in rs)
            same = all(r["identical"] for r in rs)
            codes = sorted({str(r["code"]) for r in rs})
            print(f"{sname:6} {c:8} {wall:7.1f} {npages / wall:8.2f} {start:8.1f} {mib(med(sname, c, 'rss')):8.0f}"
                  f" {mib(med(sname, c, 'pss')):8.0f} {mib(med(sname, c, 'uss')):8.0f} {med(sname, c, 'load'):5.1f} {max(r['procs'] for r in rs):5}"
                  f" {max(r['renderers'] for r in rs):5} {max(r['requests'] for r in rs):8}"
                  f"  {'identical' if same else 'DIFFERENT'}"
                  f"{'' if codes == ['0'] else ', exit ' + '/'.join(codes)}")
    all_same = all(r["identical"] for rs in results.values() for r in rs)
    print()
    first = "the stepped run's" if "stepped" in configs else "the first run's"
    print(f"Every output is byte for byte {first}." if all_same else f"Some outputs differ from {first}!")

    def ratio(label, num, den, target, higher):
        if num is None or den is None:
            return
        value = num / den
        ok = value >= target if higher else value <= target
        print(f"  {label}: {value:.2f} (target {'>=' if higher else '<='} {target}) {'met' if ok else 'MISSED'}")

    print("Targets:")
    pps = lambda s, c: (npages / med(s, c, "wall")) if results.get((s, c)) else None
    ratio("with latency, pages/s --jobs 8 / stepped", pps("slow", "jobs8"), pps("slow", "stepped"), 4, True)
    ratio("without latency, pages/s --jobs 1 / stepped", pps("fast", "jobs1"), pps("fast", "stepped"), 3, True)
    for sname, _ in servers:
        for key in ("rss", "pss", "uss"):
            ratio(f"{sname} server, peak {key.upper()} --jobs 8 / stepped", med(sname, "jobs8", key),
                  med(sname, "stepped", key), 2, False)


if __name__ == "__main__":
    sys.exit(main())
