#include "search/engine/WebEngineBrowserHost.h"

#include "search/engine/EngineProfile.h"
#include "search/engine/HarvestPage.h"
#include "base/Error.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <csignal>
#include <sys/types.h>

namespace lt {

namespace {

// Runs in the isolated world: the page cannot redefine what it uses here.
const char* const kLinksScript = R"JS(
(function () {
    var links = document.links;
    if (!links)
        return 'no-links';
    var out = new Array(links.length);
    for (var i = 0; i < out.length; ++i)
        out[i] = String(links[i].href);
    return out;
})()
)JS";

std::string toText(const QString& s)
{
    QByteArray utf8 = s.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace

WebEngineBrowserHost::WebEngineBrowserHost(QWebEngineView& view, EngineProfile& profile, QObject* parent)
    : QObject(parent), view_(&view), page_(new HarvestPage(profile.profile(), this))
{
    view.setPage(page_);
    connectPage();
}

WebEngineBrowserHost::WebEngineBrowserHost(EngineProfile& profile, QObject* parent)
    : QObject(parent), page_(new HarvestPage(profile.profile(), this))
{
    connectPage();
}

WebEngineBrowserHost::~WebEngineBrowserHost()
{
    delete page_;
}

void WebEngineBrowserHost::connectPage()
{
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) { notifyComplete(); });
    connect(page_, &QWebEnginePage::loadStarted, this, [this] {
        rendererGone_ = false;
        haveSnapshot_ = false;
    });
    connect(page_, &QWebEnginePage::urlChanged, this, [this] { haveSnapshot_ = false; });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] { rendererGone_ = true; });
}

void WebEngineBrowserHost::navigate(const std::string& address)
{
    lastAddress_ = address;
    haveSnapshot_ = false;
    QUrl url(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())));
    // Loading nothing would leave the previous page to be harvested again.
    if (!url.isValid() || url.isRelative())
        url = QUrl(QStringLiteral("about:blank"));
    page_->load(url);
}

std::string WebEngineBrowserHost::locationUrl()
{
    return toText(page_->url().toString(QUrl::FullyEncoded));
}

std::int32_t WebEngineBrowserHost::linkCount()
{
    takeSnapshot();
    return static_cast<std::int32_t>(links_.size());
}

std::string WebEngineBrowserHost::linkText(std::int32_t i)
{
    if (!haveSnapshot_)
        takeSnapshot();
    if (i < 0 || static_cast<std::size_t>(i) >= links_.size())
        throw Error("List index out of bounds (" + std::to_string(i) + ")");
    return links_[static_cast<std::size_t>(i)];
}

void WebEngineBrowserHost::takeSnapshot()
{
    haveSnapshot_ = false;
    links_.clear();
    if (rendererGone_)
        throw Error("The page's renderer has ended; its links cannot be read");

    struct Answer {
        bool arrived = false;
        QVariant value;
        QPointer<QEventLoop> loop;
    };
    auto answer = std::make_shared<Answer>();
    page_->runJavaScript(QString::fromLatin1(kLinksScript), QWebEngineScript::ApplicationWorld,
                         [answer](const QVariant& value) {
                             answer->arrived = true;
                             answer->value = value;
                             if (answer->loop)
                                 answer->loop->quit();
                         });
    if (!answer->arrived) {
        QEventLoop loop;
        answer->loop = &loop;
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        auto gone = connect(page_, &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
        timer.start(scriptTimeoutMs_);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        disconnect(gone);
    }
    if (!answer->arrived) {
        if (rendererGone_)
            throw Error("The page's renderer has ended; its links cannot be read");
        // A renderer that does not answer would hold every later page too;
        // ending it lets the next navigation start a fresh one.
        const qint64 pid = page_->renderProcessPid();
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0) {
            // Let the engine take note of the end before the next navigation.
            QEventLoop loop;
            QTimer::singleShot(2000, &loop, &QEventLoop::quit);
            connect(page_, &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
            if (!rendererGone_)
                loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        throw Error("The page did not answer within " + std::to_string(scriptTimeoutMs_ / 1000)
                    + " seconds; its links cannot be read");
    }
    const QVariant& value = answer->value;
    if (value.typeId() == QMetaType::QString && value.toString() == QLatin1String("no-links"))
        throw Error("Method 'links' not supported by automation object");
    if (value.typeId() != QMetaType::QVariantList)
        throw Error("The page's links cannot be read: the document did not answer");
    const QVariantList list = value.toList();
    links_.reserve(static_cast<std::size_t>(list.size()));
    for (const QVariant& v : list)
        links_.push_back(toText(v.toString()));
    haveSnapshot_ = true;
}

} // namespace lt
