#include "search/engine/ReadinessProbe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace lt {

namespace {

// In the page's world, before its own scripts: fetch() and XMLHttpRequest
// mark each request as it goes out ("…>id address") and as it answers
// ("…<id") or fails ("…<id!": refused, blocked, cancelled). The originals are taken first, so the page redefining
// them later changes nothing.
const char* const kRequestMarks = R"JS(
(function () {
    var P = window.performance;
    if (!P || !P.mark || window.__ltMarks)
        return;
    Object.defineProperty(window, '__ltMarks', {value: true});
    var mark = P.mark.bind(P), next = 0;
    function address(u) {
        try {
            var x = new URL(String(u), location.href);
            return x.origin + x.pathname;
        } catch (e) {
            return String(u);
        }
    }
    function start(u) {
        var id = ++next;
        try { mark('__lt.req>' + id + ' ' + address(u)); } catch (e) {}
        return id;
    }
    function end(id, ok) {
        try { mark('__lt.req<' + id + (ok ? '' : '!')); } catch (e) {}
    }
    var f = window.fetch;
    if (f) {
        window.fetch = function (input, init) {
            var id = start(input && typeof input === 'object' && 'url' in input ? input.url : input);
            var p;
            try {
                p = f.apply(this === undefined || this === null ? window : this, arguments);
            } catch (e) {
                end(id, false);
                throw e;
            }
            p.then(function () { end(id, true); }, function () { end(id, false); });
            return p;
        };
    }
    var X = window.XMLHttpRequest && window.XMLHttpRequest.prototype;
    if (X) {
        var open = X.open, send = X.send, urls = new WeakMap();
        X.open = function (method, url) {
            urls.set(this, url);
            return open.apply(this, arguments);
        };
        X.send = function () {
            var id = start(urls.get(this)), done = false, x = this;
            function finish() {
                if (!done) {
                    done = true;
                    end(id, x.status !== 0);
                }
            }
            this.addEventListener('loadend', finish);
            try {
                return send.apply(this, arguments);
            } catch (e) {
                finish();
                throw e;
            }
        };
    }
})();
)JS";

// In the isolated world, before the page's scripts: the scripts the
// document loads (until their load or error), its DOMContentLoaded, and the
// last change of its links (a link added, removed or given another href) or
// script loaded.
const char* const kDocumentWatch = R"JS(
(function () {
    if (window.__ltWatch)
        return;
    var s = window.__ltWatch = {parsed: false, change: 0, scripts: new Map(), seen: 0};
    var runs = {'': 1, 'text/javascript': 1, 'application/javascript': 1, 'module': 1,
                'text/ecmascript': 1, 'application/ecmascript': 1};
    document.addEventListener('DOMContentLoaded', function () {
        // Run before the page's own handlers, which the same task runs next.
        s.parsed = true;
        s.change = performance.now();
    }, true);
    function watchScript(n) {
        if (!n.src || n.noModule || !runs[String(n.type).toLowerCase()] || s.scripts.has(n))
            return;
        s.scripts.set(n, [performance.now(), String(n.src)]);
        var done = function () {
            s.scripts.delete(n);
            s.change = Math.max(s.change, performance.now());
        };
        n.addEventListener('load', done);
        n.addEventListener('error', done);
    }
    function holdsLinks(n) {
        return n.nodeType === 1 && (n.matches('a[href],area[href]') || !!n.querySelector('a[href],area[href]'));
    }
    new MutationObserver(function (records) {
        var now = performance.now();
        for (var i = 0; i < records.length; ++i) {
            var r = records[i];
            if (r.type === 'attributes') {
                if (r.target.matches('a,area'))
                    s.change = now;
                continue;
            }
            for (var j = 0; j < r.addedNodes.length; ++j) {
                var n = r.addedNodes[j];
                if (n.nodeType !== 1)
                    continue;
                if (n.tagName === 'SCRIPT') {
                    watchScript(n);
                } else if (n.firstElementChild) {
                    var inner = n.getElementsByTagName('script');
                    for (var k = 0; k < inner.length; ++k)
                        watchScript(inner[k]);
                }
                if (holdsLinks(n))
                    s.change = now;
            }
            for (var j = 0; j < r.removedNodes.length; ++j)
                if (holdsLinks(r.removedNodes[j]))
                    s.change = now;
        }
    }).observe(document, {childList: true, subtree: true, attributes: true, attributeFilter: ['href']});
})();
)JS";

// The answer: 'earlier', 'unwatched', or the state as JSON text. With
// frames, the frames the document may reach, at any depth, count as the
// document does: their scripts, data requests and link changes hold it, and
// so does one still waiting for its document of this origin.
const char* const kProbe = R"JS(
(function (frames) {
    if (window.__ltShown !== undefined)
        return 'earlier';
    if (!window.__ltWatch)
        return 'unwatched';
    var now = performance.now(), open = [], answered = [], parsed = true, quietSince = 0;
    // One document's state; shift puts its times on this document's clock.
    function look(w, s, shift) {
        var starts = new Map(), last = s.seen;
        var marks = w.performance.getEntriesByType('mark');
        for (var i = 0; i < marks.length; ++i) {
            var m = marks[i], n = m.name;
            if (n.lastIndexOf('__lt.req>', 0) === 0) {
                var blank = n.indexOf(' ');
                starts.set(n.slice(9, blank), [m.startTime, n.slice(blank + 1)]);
            } else if (n.lastIndexOf('__lt.req<', 0) === 0) {
                var failed = n.charAt(n.length - 1) === '!';
                var id = n.slice(9, failed ? -1 : undefined), st = starts.get(id);
                if (st) {
                    starts.delete(id);
                    if (m.startTime > s.seen) {
                        if (!failed)
                            answered.push([st[1], m.startTime - st[0]]);
                        last = Math.max(last, m.startTime);
                    }
                }
            }
        }
        s.seen = last;
        parsed = parsed && s.parsed;
        // What a data answer brings is added to the document just after it.
        quietSince = Math.max(quietSince, s.change + shift, last + shift);
        starts.forEach(function (v) { open.push([v[1], now - v[0] - shift, 0]); });
        s.scripts.forEach(function (v) { open.push([v[1], now - v[0] - shift, 1]); });
    }
    function inner(w) {
        for (var i = 0; i < w.length; ++i) {
            try {
                var f = w[i], at = String(f.location.href), e = f.frameElement;
                if (at === 'about:blank') {
                    // Its document has not come yet.
                    if (e && e.getAttribute('src') && new URL(e.src).origin === w.location.origin)
                        parsed = false;
                } else if (f.__ltWatch) {
                    look(f, f.__ltWatch, f.performance.timeOrigin - performance.timeOrigin);
                } else if (f.document.readyState === 'loading') {
                    // Come, but not its first element yet, with which the
                    // watch starts.
                    parsed = false;
                }
                inner(f);
            } catch (x) {
                // A frame of another origin, or one without an address.
            }
        }
    }
    look(window, window.__ltWatch, 0);
    if (frames)
        inner(window);
    return JSON.stringify({parsed: parsed, quiet: parsed ? now - quietSince : 0, open: open,
                           answered: answered});
})(%1)
)JS";

QWebEngineScript script(const char* name, const char* source, quint32 world, bool frames)
{
    QWebEngineScript s;
    s.setName(QString::fromLatin1(name));
    s.setSourceCode(QString::fromLatin1(source));
    s.setInjectionPoint(QWebEngineScript::DocumentCreation);
    s.setWorldId(world);
    s.setRunsOnSubFrames(frames);
    return s;
}

std::string toText(const QJsonValue& v)
{
    return v.toString().toStdString();
}

} // namespace

void installReadinessWatch(QWebEnginePage& page, bool frames)
{
    page.scripts().insert(
        script("linktrawler-request-marks", kRequestMarks, QWebEngineScript::MainWorld, frames));
    page.scripts().insert(
        script("linktrawler-document-watch", kDocumentWatch, QWebEngineScript::ApplicationWorld, frames));
}

void requestProbe(QWebEnginePage& page, bool frames, std::function<void(const ProbeAnswer&)> answer)
{
    static const QString sources[2] = {QString::fromLatin1(kProbe).arg(QLatin1String("false")),
                                       QString::fromLatin1(kProbe).arg(QLatin1String("true"))};
    page.runJavaScript(sources[frames ? 1 : 0], QWebEngineScript::ApplicationWorld,
                       [answer = std::move(answer)](const QVariant& v) { answer(probeFromAnswer(v)); });
}

ProbeAnswer probeFromAnswer(const QVariant& value)
{
    ProbeAnswer a;
    const QString text = value.toString();
    if (text == QLatin1String("unwatched")) {
        a.document = ProbeDocument::Unwatched;
        return a;
    }
    const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
    if (o.isEmpty())
        return a;
    a.document = ProbeDocument::Watched;
    a.probe.parsed = o.value(QLatin1String("parsed")).toBool();
    a.probe.quietMs = o.value(QLatin1String("quiet")).toDouble();
    for (const QJsonValue& e : o.value(QLatin1String("open")).toArray()) {
        const QJsonArray f = e.toArray();
        a.probe.open.push_back({toText(f.at(0)), f.at(1).toDouble(), f.at(2).toInt() != 0});
    }
    for (const QJsonValue& e : o.value(QLatin1String("answered")).toArray()) {
        const QJsonArray f = e.toArray();
        a.probe.answered.push_back({toText(f.at(0)), f.at(1).toDouble()});
    }
    return a;
}

} // namespace lt
