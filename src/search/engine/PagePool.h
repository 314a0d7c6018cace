#pragma once
#include "search/LoadFailure.h"
#include "search/PageReadiness.h"
#include "search/ParallelSearch.h"
#include "search/engine/PageLinks.h"
#include "search/engine/SubresourceFilter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QWebEnginePage;

namespace lt {

class EngineProfile;

// How a page pool treats the sites it loads from.
struct PageLoadRules {
    // Pages of one site (host name) loading at once; 0: as many as keep
    // the engine's six connections to a server busy.
    int perSite = 0;
    // Least time between the starts of two loads from one site.
    int delayMs = 0;
    int retries = RetryPolicy::kDefaultRetries;
};

// Pages that load side by side on the program's profile, one address at a
// time each, at most six asking one server for their document at once (the
// engine's own limit of connections; more would only wait inside it while
// their time runs). Images, fonts and media are not fetched unless asked
// for. A page is read when its links are there (PageReadiness: its document
// parsed, its scripts and their data requests answered, its links settled),
// or, for a navigation that shows no document of its own, once it has
// loaded and settled; at the latest when the load has taken the timeout:
// its load is then stopped and it is read as it stands. A page whose links
// cannot be read is reported with the reason, and its renderer is replaced
// when it hangs. Pages may share a renderer (the command caps their number,
// for memory): a page stalled by another's hang, or whose renderer another
// page crashed, loads again instead of being given up. A page whose own
// load fails (no connection, an untrusted certificate, an HTTP error
// status) is reported with the reason; one that may succeed later loads
// again after a pause, as often as the rules allow.
class PagePool : public QObject, public PageSlots {
    Q_OBJECT
public:
    struct Timing {
        int settleMs = 250;
        int timeoutMs = 30000;
        // How long the links may take once asked for.
        int linkWaitMs = kLinkWaitMs;
        // Whether pages fetch images, fonts and media.
        bool images = false;
    };

    // snapshot: what is read of each page besides its links; read deep, a
    // page waits for its frames of its own origin as for its document.
    PagePool(EngineProfile& profile, int pages, Timing timing, PageLoadRules rules = {},
             SnapshotOptions snapshot = {}, QObject* parent = nullptr);
    ~PagePool() override;

    // The pages now in the slots.
    std::vector<QWebEnginePage*> pages() const;
    // Told of every page that takes the place of one whose renderer hung.
    void setPageReplaced(std::function<void(QWebEnginePage*)> handler) { replaced_ = std::move(handler); }

    int slotCount() const override { return static_cast<int>(slots_.size()); }
    void load(int slot, const std::string& address) override;
    void setDoneHandler(DoneHandler handler) override { done_ = std::move(handler); }

private:
    class Slot;
    friend class Slot;

    enum class Loss {
        Hung,  // a page's links did not come in time
        Ended, // the engine reported the renderer ended
    };
    // The renderer of first's page is lost, with every page it ran.
    void rendererLost(Slot& first, Loss loss);
    // New pages for the slots that dropped theirs, once the renderer of the
    // dropped pages has ended (untold: those not yet told so).
    void renewAfterEnd(const std::vector<Slot*>& owners, const std::vector<QWebEnginePage*>& dropped,
                       const std::vector<QWebEnginePage*>& untold);
    void renew(const std::vector<Slot*>& owners, const std::vector<QWebEnginePage*>& dropped);
    // Whether a page let go for a hang is loading again now.
    bool suspectLoading() const;
    // Pages waiting for their document from a server (scheme, host and
    // port); with none, all pages loading.
    int loadsOf(const QString& server) const;
    // Whether the slot's load may start now, by the rules of its site; when
    // only --delay holds it, startWaiting runs again once it has passed.
    bool hasRoom(const Slot& slot);
    void noteStart(const QString& site);
    // Starts the loads that wait, as far as their servers have room.
    void startWaiting();
    void slotDone(int slot, PageOutcome outcome);
    // The readiness rule, whose addresses that stay open the filter blocks.
    bool isReady(const PageProbe& probe);

    EngineProfile& profile_;
    Timing timing_;
    PageLoadRules rules_;
    RetryPolicy retry_;
    QElapsedTimer clock_;
    std::map<QString, qint64> lastStart_; // by site, on clock_
    QTimer paceTimer_;                    // the next start a delay holds back
    SnapshotOptions snapshot_;
    SubresourceFilter filter_;
    PageReadiness readiness_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::deque<int> waiting_; // slots whose address waits for its server
    std::vector<QWebEnginePage*> dropped_; // pages of a hung renderer, until it has ended
    int endingRenderers_ = 0;              // killed for a hang, not yet reported ended
    DoneHandler done_;
    std::function<void(QWebEnginePage*)> replaced_;
};

} // namespace lt
