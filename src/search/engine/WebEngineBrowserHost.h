#pragma once
#include "search/BrowserHost.h"
#include "search/engine/PageLinks.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QVariant;
class QWebEnginePage;
class QWebEngineView;

namespace lt {

class EngineProfile;
class HarvestPage;

// The browser host on QtWebEngine. The location and the links of a document
// are read by scripts in an isolated world (PageLinks.h); linkCount() takes
// a snapshot of the links and linkText() reads from it. A navigation that
// showed no document of its own (a download, an HTTP 204) leaves the
// location empty, so the page before is not harvested again. Completion is
// every loadFinished of the page.
//
// The script's answer is awaited in a nested event loop that excludes user
// input, bounded by scriptTimeoutMs(). Completion notifications that arrive
// meanwhile are delivered as usual (a late one for the page being read sets
// the page-complete mark, which the step clears again before its next
// navigation). The step timer is disarmed during a harvest, so the nested
// loop cannot start another one.
class WebEngineBrowserHost : public QObject, public BrowserHost {
    Q_OBJECT
public:
    // On the view the main window shows: the host puts a page of its own,
    // on the program's profile, into the view.
    WebEngineBrowserHost(QWebEngineView& view, EngineProfile& profile, QObject* parent = nullptr);
    // On a page shown nowhere, for use without a window.
    explicit WebEngineBrowserHost(EngineProfile& profile, QObject* parent = nullptr);
    ~WebEngineBrowserHost() override;

    // Loads urlForAddress(address).
    void navigate(const std::string& address) override;
    std::string locationUrl() override;
    std::int32_t linkCount() override;
    std::string linkText(std::int32_t i) override;

    // What linkCount() reads of the page besides its own link addresses;
    // nothing more unless set (the window reads only those).
    void setSnapshotOptions(const SnapshotOptions& options) { options_ = options; }
    // The visible text of the link linkText() gave, or of the first link of
    // the snapshot equal to link; empty unless the options read texts.
    std::string anchorTextOf(const std::string& link) const;

    HarvestPage* page() const { return page_; }
    // The address last handed to navigate().
    const std::string& lastAddress() const { return lastAddress_; }

    static constexpr int kDefaultScriptTimeoutMs = kLinkWaitMs;
    int scriptTimeoutMs() const { return scriptTimeoutMs_; }
    void setScriptTimeoutMs(int ms) { scriptTimeoutMs_ = ms; }

private:
    void connectPage();
    // Runs a page script and waits for its answer, at most scriptTimeoutMs().
    QVariant awaitAnswer(const std::function<void(QWebEnginePage&, std::function<void(const QVariant&)>)>& request);

    QPointer<QWebEngineView> view_;
    HarvestPage* page_ = nullptr;
    std::string lastAddress_;
    SnapshotOptions options_;
    std::vector<std::string> links_;
    std::vector<std::string> anchorTexts_;
    // The entry linkText() gave last.
    std::size_t lastRead_ = 0;
    bool haveSnapshot_ = false;
    bool rendererGone_ = false;
    int scriptTimeoutMs_ = kDefaultScriptTimeoutMs;
};

} // namespace lt
