#include "search/engine/WebEngineBrowserHost.h"

#include "search/engine/EngineProfile.h"
#include "search/engine/HarvestPage.h"
#include "search/engine/PageLinks.h"
#include "base/Error.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEngineView>
#include <csignal>
#include <sys/types.h>

namespace lt {

WebEngineBrowserHost::WebEngineBrowserHost(QWebEngineView& view, EngineProfile& profile, QObject* parent)
    : QObject(parent), view_(&view), page_(new HarvestPage(profile, this))
{
    view.setPage(page_);
    connectPage();
}

WebEngineBrowserHost::WebEngineBrowserHost(EngineProfile& profile, QObject* parent)
    : QObject(parent), page_(new HarvestPage(profile, this))
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
    markShownDocument(*page_);
    page_->load(urlForAddress(address));
}

std::string WebEngineBrowserHost::locationUrl()
{
    // Nothing has been loaded yet.
    if (page_->url().isEmpty())
        return {};
    return page_->snapshotOf(awaitAnswer(&requestLocation)).location;
}

std::int32_t WebEngineBrowserHost::linkCount()
{
    haveSnapshot_ = false;
    links_.clear();
    anchorTexts_.clear();
    PageSnapshot snapshot = page_->snapshotOf(
        awaitAnswer([this](QWebEnginePage& page, std::function<void(const QVariant&)> answer) {
            requestSnapshot(page, options_, std::move(answer));
        }),
        options_);
    links_ = std::move(snapshot.links);
    anchorTexts_ = std::move(snapshot.anchorTexts);
    lastRead_ = 0;
    haveSnapshot_ = true;
    return static_cast<std::int32_t>(links_.size());
}

std::string WebEngineBrowserHost::anchorTextOf(const std::string& link) const
{
    if (anchorTexts_.size() != links_.size())
        return {};
    // The harvest appends the link it has just read: no search then.
    if (lastRead_ < links_.size() && links_[lastRead_] == link)
        return anchorTexts_[lastRead_];
    for (std::size_t i = 0; i < links_.size(); ++i)
        if (links_[i] == link)
            return anchorTexts_[i];
    return {};
}

std::string WebEngineBrowserHost::linkText(std::int32_t i)
{
    if (!haveSnapshot_)
        linkCount();
    if (i < 0 || static_cast<std::size_t>(i) >= links_.size())
        throw Error("List index out of bounds (" + std::to_string(i) + ")");
    lastRead_ = static_cast<std::size_t>(i);
    return links_[static_cast<std::size_t>(i)];
}

QVariant WebEngineBrowserHost::awaitAnswer(
    const std::function<void(QWebEnginePage&, std::function<void(const QVariant&)>)>& request)
{
    if (rendererGone_)
        throw Error(kRendererEnded);

    struct Answer {
        bool arrived = false;
        QVariant value;
        QPointer<QEventLoop> loop;
    };
    auto answer = std::make_shared<Answer>();
    request(*page_, [answer](const QVariant& value) {
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
            throw Error(kRendererEnded);
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
        throw Error(noAnswerWithin(scriptTimeoutMs_));
    }
    return answer->value;
}

} // namespace lt
