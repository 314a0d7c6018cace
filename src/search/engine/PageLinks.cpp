#include "search/engine/PageLinks.h"

#include "base/Error.h"
#include "search/engine/AddressForm.h"
#include "text/LineReader.h"
#include "text/TextEncoding.h"

#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace lt {

namespace {

// Both run in the isolated world, whose globals belong to one document: a
// new document starts without the mark, and the page cannot redefine what
// the scripts use.
const char* const kMarkScript = "window.__ltShown = String(location.href); 0";

// The answer is ['same-document'], 'no-links', or the location followed by
// the links; with texts, by each link's address and its text. Read deep, a
// frame's or a shadow root's links stand where its element does: the walk
// goes into it before it goes on.
const char* const kSnapshotScript = R"JS(
(function (withLinks, texts, deep, longest) {
    if (window.__ltShown !== undefined && window.__ltShown === String(location.href))
        return ['same-document'];
    if (location.protocol === 'chrome-error:')
        return ['same-document'];
    if (!withLinks)
        return [String(location.href)];
    var links = document.links;
    if (!links)
        return 'no-links';
    if (!texts && !deep) {
        var all = new Array(links.length + 1);
        all[0] = String(location.href);
        for (var i = 0; i < links.length; ++i)
            all[i + 1] = String(links[i].href);
        return all;
    }
    var out = [String(location.href)];
    // Blanks of any kind (line breaks, NBSP) made one space; a pair of
    // surrogates counts as one character and is never cut.
    function shown(a) {
        var t = a.innerText;
        if (typeof t !== 'string')
            t = a.textContent || '';
        t = t.replace(/\s+/g, ' ').trim();
        if (t.length <= longest)
            return t;
        var end = 0;
        for (var n = 0; n < longest && end < t.length; ++n) {
            var c = t.charCodeAt(end);
            end += c >= 0xD800 && c <= 0xDBFF && end + 1 < t.length ? 2 : 1;
        }
        return t.slice(0, end).trim();
    }
    function add(a) {
        out.push(String(a.href));
        if (texts)
            out.push(shown(a));
    }
    if (!deep) {
        for (var i = 0; i < links.length; ++i)
            add(links[i]);
        return out;
    }
    var html = 'http://www.w3.org/1999/xhtml';
    // What document.links holds, in tree order, with frames whose document
    // this one may reach (contentDocument is null across origins) and open
    // shadow roots read where they stand.
    function walk(root) {
        var w = (root.ownerDocument || root).createTreeWalker(root, 1);
        for (var e = w.nextNode(); e; e = w.nextNode()) {
            if (e.namespaceURI === html) {
                var name = e.localName;
                if ((name === 'a' || name === 'area') && e.hasAttribute('href')) {
                    add(e);
                } else if (name === 'iframe' || name === 'frame') {
                    var d = e.contentDocument;
                    if (d)
                        walk(d);
                }
            }
            if (e.shadowRoot)
                walk(e.shadowRoot);
        }
    }
    walk(document);
    return out;
})(%1, %2, %3, %4)
)JS";

QString snapshotScript(bool withLinks, const SnapshotOptions& options)
{
    auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    return QString::fromLatin1(kSnapshotScript)
        .arg(flag(withLinks), flag(options.anchorTexts), flag(options.deep), QString::number(kAnchorTextLength));
}

std::string toText(const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

// The address as text: every byte that is not UTF-8 (one the list's
// encoding could not read) as its escape, so the server gets it as the list
// has it.
QString addressText(const std::string& address)
{
    const std::string text = escapeNonUtf8Bytes(address);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Whether the address starts with a scheme of its own: one the engine
// knows, or any followed by "//". "localhost:8080/x" names a host.
bool namesItsScheme(const std::string& address)
{
    static const char* const known[] = {"http", "https", "file", "ftp", "about", "data", "blob", "javascript",
                                        "mailto", "tel", "sms", "news", "ws", "wss", "view-source", "filesystem"};
    const std::size_t n = schemeLength(address);
    if (n == 0)
        return false;
    if (address.compare(n + 1, 2, "//") == 0)
        return true;
    const std::string scheme = foldCase(address.substr(0, n));
    for (const char* k : known)
        if (scheme == k)
            return true;
    return false;
}

} // namespace

QUrl urlForAddress(const std::string& address)
{
    const QString text = addressText(address);
    QUrl url;
    if (namesItsScheme(address)) {
        url = QUrl(text);
    } else {
        // As an address bar reads what is typed without a scheme: a web
        // address ("http://" added; never the "ftp" it guesses for ftp.*
        // hosts) or a local file's path.
        url = QUrl::fromUserInput(text);
        if (url.scheme() == QLatin1String("ftp"))
            url.setScheme(QStringLiteral("http"));
    }
    // The engine drops a longer URL without a word, which would leave the
    // page before on screen: it is refused like any malformed address.
    if (!url.isValid() || url.isRelative() || static_cast<std::size_t>(url.toEncoded().size()) > kLongestAddress)
        url = QUrl(QStringLiteral("about:blank"));
    return url;
}

void markShownDocument(QWebEnginePage& page)
{
    page.runJavaScript(QString::fromLatin1(kMarkScript), QWebEngineScript::ApplicationWorld);
}

void requestLocation(QWebEnginePage& page, std::function<void(const QVariant&)> answer)
{
    static const QString script = snapshotScript(false, {});
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, std::move(answer));
}

void requestSnapshot(QWebEnginePage& page, std::function<void(const QVariant&)> answer)
{
    requestSnapshot(page, {}, std::move(answer));
}

void requestSnapshot(QWebEnginePage& page, const SnapshotOptions& options,
                     std::function<void(const QVariant&)> answer)
{
    // One script each, made once.
    static const QString scripts[4] = {snapshotScript(true, {false, false}), snapshotScript(true, {true, false}),
                                       snapshotScript(true, {false, true}), snapshotScript(true, {true, true})};
    const QString& script = scripts[(options.anchorTexts ? 1 : 0) + (options.deep ? 2 : 0)];
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, std::move(answer));
}

std::string noAnswerWithin(int waitMs)
{
    return "The page did not answer within " + std::to_string(waitMs / 1000) + " seconds; its links cannot be read";
}

PageSnapshot snapshotFromAnswer(const QVariant& value, const SnapshotOptions& options)
{
    if (value.typeId() == QMetaType::QString && value.toString() == QLatin1String("no-links"))
        throw Error("Method 'links' not supported by automation object");
    if (value.typeId() != QMetaType::QVariantList)
        throw Error("The page's links cannot be read: the document did not answer");
    const QVariantList list = value.toList();
    PageSnapshot snapshot;
    if (list.size() == 1 && list[0].toString() == QLatin1String("same-document"))
        return snapshot;
    if (list.isEmpty())
        throw Error("The page's links cannot be read: the document did not answer");
    snapshot.location = addressBarForm(toText(list[0].toString()));
    const qsizetype step = options.anchorTexts ? 2 : 1;
    snapshot.links.reserve(static_cast<std::size_t>((list.size() - 1) / step));
    if (options.anchorTexts)
        snapshot.anchorTexts.reserve(snapshot.links.capacity());
    for (qsizetype i = 1; i < list.size(); i += step) {
        snapshot.links.push_back(addressBarForm(toText(list[i].toString())));
        if (options.anchorTexts)
            snapshot.anchorTexts.push_back(i + 1 < list.size() ? toText(list[i + 1].toString()) : std::string());
    }
    return snapshot;
}

} // namespace lt
