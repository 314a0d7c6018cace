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
// the links.
const char* const kSnapshotScript = R"JS(
(function (withLinks) {
    if (window.__ltShown !== undefined && window.__ltShown === String(location.href))
        return ['same-document'];
    if (location.protocol === 'chrome-error:')
        return ['same-document'];
    if (!withLinks)
        return [String(location.href)];
    var links = document.links;
    if (!links)
        return 'no-links';
    var out = new Array(links.length + 1);
    out[0] = String(location.href);
    for (var i = 0; i < links.length; ++i)
        out[i + 1] = String(links[i].href);
    return out;
})(%1)
)JS";

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
    static const QString script = QString::fromLatin1(kSnapshotScript).arg(QLatin1String("false"));
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, std::move(answer));
}

void requestSnapshot(QWebEnginePage& page, std::function<void(const QVariant&)> answer)
{
    static const QString script = QString::fromLatin1(kSnapshotScript).arg(QLatin1String("true"));
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, std::move(answer));
}

std::string noAnswerWithin(int waitMs)
{
    return "The page did not answer within " + std::to_string(waitMs / 1000) + " seconds; its links cannot be read";
}

PageSnapshot snapshotFromAnswer(const QVariant& value)
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
    snapshot.links.reserve(static_cast<std::size_t>(list.size() - 1));
    for (qsizetype i = 1; i < list.size(); ++i)
        snapshot.links.push_back(addressBarForm(toText(list[i].toString())));
    return snapshot;
}

} // namespace lt
