"""Forum thread-list pages of the heavy corpus, the scripts, data and assets
they load, and the oracle: the links linktrawl should write for them.

A page's links come from three places, at fixed places in the document:

    header nav        HTML
    #pinned           drawn by the threads script (inline) at DOMContentLoaded from the
                      page's JSON block
    table#threads     HTML
    #live             drawn by the live script (inline) from the answer of /api/live
    footer            HTML

Every link is ASCII and written in the form the engine gives it back
(lower-case scheme and host, no default port), relative ones resolved
against the page's address as the engine does.
"""
import json
import struct
import urllib.parse
import zlib
from functools import lru_cache

TABLE_ROWS = 34
PINNED = 38
LIVE = 10
IMAGES = 15  # logo, two icons, and an avatar on each of the first 12 rows
AVATARS = IMAGES - 3

PARTNER = "http://www.lt-heavy-partner.example"
ADS = "http://ads.lt-heavy-3p.example"


def page_path(n):
    return f"/forum/list/{n}.html"


def _table_tid(n, k):
    return 200000 + n * 100 + k


def _pinned_tid(n, k):
    return 900000 + n * 100 + k


# ---- the links of a page, as written ---------------------------------------

def nav_links(n):
    return ["/", "/forum/", "/members/", "mailto:mods@forum.lt-heavy.example",
            "https://help.lt-heavy.example/rules"]


def table_rows(n):
    """(thread link, its extra "last page" link or None) for each row; one
    row's last page is its thread again, a repeat in the HTML itself."""
    again = (n * 5) % TABLE_ROWS
    return [(f"/thread/{_table_tid(n, k)}", f"/thread/{_table_tid(n, k)}" if k == again else None)
            for k in range(TABLE_ROWS)]


def pinned_links(n):
    """What threads.js draws: 38 pinned threads, a thread of the table below
    (so the table's copy is the repeat), another with its path in other
    letter case (a repeat too: repeats are found ignoring case), a partner's
    link and an https: one."""
    links = [f"/thread/{_pinned_tid(n, k)}" for k in range(PINNED)]
    links.insert(5, f"/thread/{_table_tid(n, (n * 7) % TABLE_ROWS)}")
    links.insert(20, f"/Thread/{_table_tid(n, (n * 7 + 3) % TABLE_ROWS)}")
    links.insert(30, f"{PARTNER}/promo/{n}")
    links.append(f"https://static.lt-heavy.example/pinned/{n}")
    return links


def live_links(n):
    """What live.js draws from /api/live: new replies, and a pinned thread
    once more."""
    links = [f"/thread/{_table_tid(n, (n + 3 * k) % TABLE_ROWS)}/post/{n * 1000 + k}" for k in range(LIVE)]
    links.insert(4, f"/thread/{_pinned_tid(n, (n * 3) % PINNED)}")
    return links


def footer_links(n):
    return ["#top", f"/forum/list/{n + 1}.html", "javascript:void(0)"]


def links_in_document_order(n, page_url):
    """Every link of the settled page, as document.links lists it."""
    hrefs = nav_links(n) + pinned_links(n)
    for link, last in table_rows(n):
        hrefs.append(link)
        if last:
            hrefs.append(last)
    hrefs += live_links(n) + footer_links(n)
    return [urllib.parse.urljoin(page_url, h) for h in hrefs]


# ---- the oracle ----------------------------------------------------------

def _pos(needle, text):
    """1-based place of needle in text, 0 when absent or needle is empty."""
    if not needle:
        return 0
    return text.find(needle) + 1


def site_key(location):
    """The page's own site as the filter takes it (LinkFilter::siteKey)."""
    k = location
    p = _pos("//", k)
    k = "" if p + 2 > len(k) else k[p + 1:p + 1 + 255]
    q = _pos("/", k)
    k = "" if q == 0 else k[:q - 1]
    for _ in range(6):
        d = _pos(".", k)
        if d <= 1:
            continue
        t = k[d:]
        if _pos(".", t) > 1:
            k = t
    return k


class Rules:
    """linktrawl's filter as its options set it; the defaults without any."""

    def __init__(self, args=()):
        args = list(args)
        self.https = "--https" in args
        self.own_site = "--own-site" in args
        self.filter = "--filter" in args
        contain, not_contain = [], []
        for i, a in enumerate(args[:-1]):
            if a == "--contain":
                contain.append(args[i + 1])
            elif a == "--not-contain":
                not_contain.append(args[i + 1])
        # A fresh state folder has the window program's default lists.
        self.contain = contain or ["http://"]
        self.not_contain = not_contain or ["#"]

    def accepts(self, link, key):
        ok = _pos("http://", link) == 1 or (self.https and _pos("https://", link) == 1)
        if self.own_site and _pos(key, link) == 0:
            ok = False
        if self.filter:
            if any(_pos(c, link) == 0 for c in self.contain):
                ok = False
            if any(_pos(c, link) != 0 for c in self.not_contain):
                ok = False
        return ok


def _fold(link):
    # Repeats are found with letter case ignored (FoundSet); the links here
    # are ASCII, where that is lower().
    return link.lower()


def page_oracle(n, page_url, rules):
    """The links linktrawl writes for page n, in order."""
    key = site_key(page_url)
    seen, out = set(), []
    for link in links_in_document_order(n, page_url):
        if rules.accepts(link, key) and _fold(link) not in seen:
            seen.add(_fold(link))
            out.append(link)
    return out


def oracle(page_urls, rules):
    """[(page index, link)] for a list of page addresses, in list order."""
    out = []
    for i, url in enumerate(page_urls):
        n = page_number(url)
        out.extend((i, link) for link in page_oracle(n, url, rules))
    return out


def page_number(url):
    path = urllib.parse.urlsplit(url).path
    return int(path.rsplit("/", 1)[1].split(".")[0])


# ---- what the servers answer -----------------------------------------------

EXCERPT = ("Has anyone else seen the board drop replies after the last update? I posted twice, "
           "refreshed, and the thread showed neither post until the next morning. ")


def page_html(n, cdn, third):
    """Page n; cdn and third are the other hosts' bases (http://127.0.0.1:PORT)."""
    pinned = [{"href": h, "title": f"Pinned: read before posting ({i + 1})"} for i, h in enumerate(pinned_links(n))]
    nav = nav_links(n)
    out = [f"""<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8">
<title>General discussion - page {n}</title>
<link rel="stylesheet" href="{cdn}/css/forum.css">
<link rel="stylesheet" href="{cdn}/css/theme.css">
<script async src="{third}/tag.js"></script>
<script>{THREADS_JS.decode()}</script>
</head><body>
<header id="top"><a href="{nav[0]}"><img src="{cdn}/img/logo.png" width="240" height="60" alt="Forum"></a>
<nav><a href="{nav[1]}">Forums</a> <a href="{nav[2]}">Members</a> <a href="{nav[3]}">Contact</a> <a href="{nav[4]}">Rules</a></nav>
</header>
<section id="pinned"></section>
<script type="application/json" id="pinned-data">{json.dumps(pinned)}</script>
<table id="threads"><thead><tr><th></th><th>Thread</th><th>Replies</th><th>Views</th></tr></thead><tbody>
"""]
    for k, (link, last) in enumerate(table_rows(n)):
        icon = ""
        if k == 0:
            icon = f'<img src="{cdn}/img/icon-hot.png" width="16" height="16" alt="hot">'
        elif k == 1:
            icon = f'<img src="{cdn}/img/icon-new.png" width="16" height="16" alt="new">'
        avatar = (f'<img class="avatar" src="{cdn}/img/avatar/{n * AVATARS + k}.png" width="48" height="48" alt="">'
                  if k < AVATARS else "")
        pages = f' <a class="last" href="{last}">last page</a>' if last else ""
        out.append(f'<tr><td>{avatar}</td><td>{icon}<a href="{link}">Thread {_table_tid(n, k)}: '
                   f'replies lost after the update</a>{pages}<p class="excerpt">{EXCERPT * 3}</p></td>'
                   f'<td>{(n * 31 + k * 7) % 400}</td><td>{(n * 977 + k * 131) % 90000}</td></tr>\n')
    foot = footer_links(n)
    out.append(f"""</tbody></table>
<section id="live" data-page="{n}"></section>
<aside><iframe src="{third}/ad/frame.html?slot={n}" width="300" height="250" title="ad"></iframe></aside>
<footer><a href="{foot[0]}">Top</a> <a href="{foot[1]}">Next page</a> <a href="{foot[2]}">Mark all read</a></footer>
<img src="{third}/px.gif?page={n}" width="1" height="1" alt="">
<script>{LIVE_JS.decode()}</script>
</body></html>
""")
    return "".join(out).encode()


THREADS_JS = b"""// Pinned threads come in the page as data and are drawn once it is parsed.
document.addEventListener('DOMContentLoaded', function () {
  var box = document.getElementById('pinned');
  var list = document.createElement('ul');
  JSON.parse(document.getElementById('pinned-data').textContent).forEach(function (t) {
    var li = document.createElement('li');
    var a = document.createElement('a');
    a.href = t.href;
    a.textContent = t.title;
    li.appendChild(a);
    list.appendChild(li);
  });
  box.appendChild(list);
  // The sticky header's height, as forum themes measure it: a layout.
  document.documentElement.style.setProperty('--header', document.querySelector('header').offsetHeight + 'px');
});
"""

LIVE_JS = b"""// New replies since the page was made, from the site's data service.
(function () {
  var box = document.getElementById('live');
  fetch('/api/live?page=' + box.dataset.page, {cache: 'no-store'})
    .then(function (r) { return r.json(); })
    .then(function (items) {
      var list = document.createElement('ul');
      items.forEach(function (t) {
        var li = document.createElement('li');
        var a = document.createElement('a');
        a.href = t.href;
        a.textContent = t.title;
        li.appendChild(a);
        list.appendChild(li);
      });
      box.appendChild(list);
    });
})();
"""

TAG_JS = b"""// A third party's realtime channel: one long poll, again after each answer.
(function () {
  var at = new URL('/poll', document.currentScript.src);
  at.searchParams.set('page', location.pathname);
  function poll() {
    fetch(at, {cache: 'no-store', credentials: 'omit'})
      .then(function (r) { return r.text(); })
      .then(poll, function () {});
  }
  poll();
})();
"""


def live_json(n):
    return json.dumps([{"href": h, "title": f"New reply {i + 1}"} for i, h in enumerate(live_links(n))]).encode()


def ad_frame(slot):
    return (f'<!DOCTYPE html><html><body style="margin:0;font:12px sans-serif">'
            f'<a href="{ADS}/click?slot={slot}">Fast hosting for your board</a></body></html>').encode()


def forum_css(cdn):
    rules = [f"""@font-face {{ font-family: "ForumSans"; src: url("{cdn}/fonts/forum-sans.woff2") format("woff2"); }}
body {{ font-family: "ForumSans", sans-serif; margin: 0; color: #222; }}
header {{ position: sticky; top: 0; background: #f4f4f4; }}
table#threads {{ width: 100%; border-collapse: collapse; }}
"""]
    # A theme's worth of rules that match little, as real forum sheets have.
    rules += [f".board-{i} .row:nth-child(odd) > td.col-{i % 7} {{ padding: {i % 5}px; color: #{i * 2654435761 % 0xffffff:06x}; }}\n"
              for i in range(600)]
    return "".join(rules).encode()


def theme_css():
    return "".join(f".theme-{i} a:hover, .theme-{i} a:focus {{ text-decoration: underline; border-bottom: {i % 3}px solid; }}\n"
                   for i in range(300)).encode()


# Not a font the engine can use: what counts is that it was asked for.
FONT = b"wOF2" + bytes(20000)


def _png(width, height, seed):
    """An RGB image with a gradient, so it decodes to width x height pixels."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows += bytes(((x * 3 + seed * 40) & 255, (y * 5 + seed * 17) & 255, ((x ^ y) + seed) & 255))

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xffffffff)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))


@lru_cache(maxsize=None)
def image(name):
    if name == "logo.png":
        return _png(240, 60, 1)
    if name.startswith("icon-"):
        return _png(16, 16, len(name))
    return _png(48, 48, sum(name.encode()) % 251)


PIXEL_GIF = (b"GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00"
             b",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;")
