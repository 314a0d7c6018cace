#include "search/engine/PagePool.h"

#include "base/Error.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/HarvestPage.h"
#include "search/engine/ReadinessProbe.h"
#include "search/engine/RetryAfterProbe.h"

#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWebEngineLoadingInfo>
#include <algorithm>
#include <csignal>
#include <ctime>
#include <memory>
#include <sys/types.h>
#include <utility>

namespace lt {

namespace {
// The engine opens at most six connections to one server. A page holds one
// of them until its document has come; after that it waits on its scripts,
// its data and other servers, and needs its own server only now and then.
// So at most six pages of a server ask for their document at once: more
// would wait in the engine while their time runs.
constexpr int kLoadsPerServer = 6;
// How often a loading page is looked at.
constexpr int kProbeMs = 100;

// How long an HTTP error page's Retry-After is waited for.
constexpr int kRetryAfterWaitMs = 3000;

QString serverOf(const QUrl& url)
{
    return url.scheme() + QLatin1String("://") + url.host() + QLatin1Char(':') + QString::number(url.port());
}

// The failure a load reports, if it is one the user hears of: a stopped or
// replaced load (net::ERR_ABORTED) is none.
std::optional<LoadFailure> failureOf(const QWebEngineLoadingInfo& info)
{
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
        return std::nullopt;
    constexpr int kAborted = -3;
    switch (info.errorDomain()) {
    case QWebEngineLoadingInfo::NoErrorDomain:
        return std::nullopt;
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
        if (info.errorCode() < 400)
            return std::nullopt;
        return httpStatusFailure(info.errorCode());
    case QWebEngineLoadingInfo::CertificateErrorDomain:
        return certificateFailure(info.errorCode());
    case QWebEngineLoadingInfo::InternalErrorDomain:
        if (info.errorCode() == kAborted)
            return std::nullopt;
        [[fallthrough]];
    default:
        return networkFailure(info.errorCode(), info.errorString().toStdString());
    }
}
} // namespace

// One page of the pool and the timers of its load.
class PagePool::Slot : public QObject {
public:
    Slot(PagePool& pool, int index) : pool_(pool), index_(index)
    {
        for (QTimer* t : {&settle_, &deadline_, &linkWait_, &pause_})
            t->setSingleShot(true);
        // A pause is a least time, which a coarse timer may cut short.
        pause_.setTimerType(Qt::PreciseTimer);
        connect(&pause_, &QTimer::timeout, this, &Slot::paused);
        connect(&settle_, &QTimer::timeout, this, &Slot::settled);
        connect(&probe_, &QTimer::timeout, this, &Slot::probe);
        connect(&deadline_, &QTimer::timeout, this, &Slot::timeUp);
        connect(&linkWait_, &QTimer::timeout, this, &Slot::linksTooLate);
        makePage();
    }
    ~Slot() override { delete page_; }

    int index() const { return index_; }
    QWebEnginePage* page() const { return page_; }
    const QString& server() const { return server_; }
    // The host name: what one site means to --per-site and --delay.
    const QString& site() const { return site_; }
    bool busy() const { return state_ != State::Idle; }
    // Its page loads, or is read: not waiting for its turn, nor pausing
    // before it loads again.
    bool loading() const { return state_ == State::Loading || state_ == State::Settling || state_ == State::Reading; }

    // Takes the address; the load starts when the server has room.
    void take(const std::string& address)
    {
        strikes_ = 0;
        attempt_ = 0;
        url_ = urlForAddress(address);
        server_ = serverOf(url_);
        site_ = url_.host();
        state_ = State::Waiting;
    }
    bool waiting() const { return state_ == State::Waiting; }
    // Loading, and its document has not come yet: it holds a connection of
    // its server.
    bool requesting() const { return loading() && !documentCame_; }
    // The slot's page was stalled with a hung renderer: it loads again, and
    // alone among such pages, to tell whether the hang was its own.
    bool suspect() const { return strikes_ > 0; }
    // The renderer the page was last given: still known once it has ended,
    // so the pages that shared it can be found.
    qint64 rendererPid()
    {
        if (page_ && page_->renderProcessPid() > 0)
            rendererPid_ = page_->renderProcessPid();
        return rendererPid_;
    }
    // Between a hang and the end of its renderer the slot has no page.
    bool hasPage() const { return page_ != nullptr; }

    void start()
    {
        timedOut_ = false;
        documentCame_ = false;
        watched_ = false;
        probing_ = false;
        failure_.reset();
        ++attempt_;
        ++generation_;
        state_ = State::Loading;
        stopTimers();
        pool_.noteStart(site_);
        markShownDocument(*page_);
        page_->load(url_);
        rendererPid();
        // A page without a view counts as hidden: its timers would be held
        // back to one a second. Taken only once the page has loaded once.
        page_->setVisible(true);
        deadline_.start(pool_.timing_.timeoutMs);
        probe_.start(kProbeMs);
    }

    // The renderer of this page hung or ended: the slot lets go of its page;
    // a new one comes once that renderer has ended (a page made before might
    // be put in the same renderer and end with it). An address that waits
    // for its server, or pauses before it loads again, keeps doing so.
    QWebEnginePage* dropPage()
    {
        ++generation_;
        if (state_ == State::Pausing && askingRetryAfter_) {
            askingRetryAfter_ = false;
            pause_.start(static_cast<int>(pool_.retry_.pauseMs(attempt_, std::nullopt)));
        }
        if (state_ != State::Waiting && state_ != State::Pausing)
            state_ = State::Idle;
        stopTimers();
        QWebEnginePage* old = std::exchange(page_, nullptr);
        old->disconnect(this);
        return old;
    }

    void renewPage()
    {
        if (page_)
            return;
        makePage();
        if (pool_.replaced_)
            pool_.replaced_(page_);
    }

    // Lost its renderer again after it was let go for that: the fault is its own.
    void failAs(const std::string& why) { fail(why); }

    // Stalled by another page's hang, or with it: it waits to load again.
    void suspectOfHang()
    {
        ++strikes_;
        state_ = State::Waiting;
    }

private:
    enum class State { Idle, Waiting, Loading, Settling, Reading, Pausing };

    void makePage()
    {
        page_ = new HarvestPage(pool_.profile_);
        page_->setUrlRequestInterceptor(&pool_.filter_);
        connect(page_, &QWebEnginePage::loadingChanged, this, &Slot::loadChanged);
        installReadinessWatch(*page_, pool_.snapshot_.deep);
        connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) {
            rendererPid();
            if (state_ != State::Loading)
                return;
            state_ = State::Settling;
            settle_.start(pool_.timing_.settleMs);
        });
        // The page moves on by itself (a script or a refresh sends it on)
        // while it is read: the answer of the document it leaves would never
        // come, so the new one is waited for, within the timeout.
        auto movedOn = [this] {
            if (state_ != State::Reading && state_ != State::Settling)
                return;
            if (deadline_.isActive()) {
                state_ = State::Loading;
                settle_.stop();
                linkWait_.stop();
                ++generation_;
            } else {
                page_->triggerAction(QWebEnginePage::Stop);
                state_ = State::Settling;
                read();
            }
        };
        // Only a new load: a page that changes its address in place
        // (history.replaceState, a fragment) keeps its document and answers.
        connect(page_, &QWebEnginePage::loadStarted, this, movedOn);
        // A crash, the out-of-memory killer or chrome://kill: every page of
        // that renderer has lost its document, the one at fault among them.
        connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] {
            told_ = true;
            pool_.rendererLost(*this, Loss::Ended);
        });
    }

    void stopTimers()
    {
        settle_.stop();
        deadline_.stop();
        linkWait_.stop();
        probe_.stop();
    }

    void probe()
    {
        if (probing_ || (state_ != State::Loading && state_ != State::Settling))
            return;
        probing_ = true;
        const quint64 generation = generation_;
        QPointer<Slot> self(this);
        requestProbe(*page_, pool_.snapshot_.deep, [self, generation](const ProbeAnswer& answer) {
            if (!self || self->generation_ != generation)
                return;
            self->probing_ = false;
            if (self->state_ == State::Loading || self->state_ == State::Settling)
                self->probed(answer);
        });
    }

    void probed(const ProbeAnswer& answer)
    {
        if (answer.document != ProbeDocument::Earlier && !std::exchange(documentCame_, true))
            pool_.startWaiting(); // a connection of its server is free
        watched_ = answer.document == ProbeDocument::Watched;
        if (watched_) {
            if (pool_.isReady(answer.probe))
                read();
        } else if (state_ == State::Settling && !settle_.isActive()) {
            // Loaded and settled, and nothing to watch: no document of its
            // own (a download, a 204), or one the watch does not reach.
            read();
        }
    }

    // Loaded and settled: read, unless the watch of its document says when.
    void settled()
    {
        if (!watched_)
            probe();
    }

    // The load has taken the timeout: the page is read as it stands, its
    // load stopped so that nothing changes under the reading.
    void timeUp()
    {
        if (state_ != State::Loading && state_ != State::Settling)
            return;
        timedOut_ = state_ == State::Loading;
        page_->triggerAction(QWebEnginePage::Stop);
        read();
    }

    void read()
    {
        if (state_ != State::Loading && state_ != State::Settling)
            return;
        state_ = State::Reading;
        settle_.stop();
        linkWait_.start(pool_.timing_.linkWaitMs);
        const quint64 generation = ++generation_;
        QPointer<Slot> self(this);
        requestSnapshot(*page_, pool_.snapshot_, [self, generation](const QVariant& answer) {
            if (!self || self->generation_ != generation || self->state_ != State::Reading)
                return;
            PageOutcome outcome;
            try {
                PageSnapshot snapshot = self->page_->snapshotOf(answer, self->pool_.snapshot_);
                outcome.location = std::move(snapshot.location);
                outcome.links = std::move(snapshot.links);
                outcome.anchorTexts = std::move(snapshot.anchorTexts);
                outcome.timedOut = self->timedOut_;
                if (self->failure_)
                    outcome.failure = self->reported(*self->failure_);
            } catch (const Error& e) {
                outcome.error = e.what();
            }
            self->deliver(std::move(outcome));
        });
    }

    // The engine tells how the page's own load ended.
    void loadChanged(const QWebEngineLoadingInfo& info)
    {
        if (!loading())
            return;
        std::optional<LoadFailure> failure = failureOf(info);
        if (!failure)
            return;
        failure_ = std::move(failure);
        if (pool_.retry_.triesAgain(*failure_, attempt_))
            retryLater();
        else if (!failure_->hasDocument())
            fail(reported(*failure_));
        // An HTTP error page is read as any page is, its status noted.
    }

    // What the user is told of the failure.
    std::string reported(const LoadFailure& failure) const
    {
        const int retries = attempt_ - 1;
        if (retries <= 0)
            return failure.words;
        return failure.words + " (after " + std::to_string(retries) + (retries == 1 ? " retry)" : " retries)");
    }

    // Pauses before the next load; an error page that may say how long
    // (429, 503) is asked first.
    void retryLater()
    {
        ++generation_;
        stopTimers();
        state_ = State::Pausing;
        if (failure_->hasDocument() && (failure_->code == 429 || failure_->code == 503)) {
            askingRetryAfter_ = true;
            askRetryAfter(*page_);
            pause_.start(kRetryAfterWaitMs);
            pollRetryAfter();
        } else {
            pauseFor(std::nullopt);
        }
    }

    void pollRetryAfter()
    {
        const quint64 generation = generation_;
        QPointer<Slot> self(this);
        readRetryAfter(*page_, [self, generation](std::optional<std::string> value) {
            if (!self || self->generation_ != generation || !self->askingRetryAfter_)
                return;
            if (!value) {
                QTimer::singleShot(kProbeMs, self, [self, generation] {
                    if (self && self->generation_ == generation && self->askingRetryAfter_)
                        self->pollRetryAfter();
                });
                return;
            }
            self->askingRetryAfter_ = false;
            self->pauseFor(value->empty() ? std::nullopt : retryAfterSeconds(*value, std::time(nullptr)));
        });
    }

    void pauseFor(std::optional<std::int64_t> retryAfter)
    {
        ++generation_;
        if (RetryPolicy::tooLong(retryAfter)) {
            // The site asks for longer than a run waits: its page is read now.
            failure_->words += " (Retry-After " + std::to_string(*retryAfter) + " seconds, longer than "
                + std::to_string(RetryPolicy::kMaxRetryAfterSeconds) + " seconds)";
            failure_->transient = false;
            state_ = State::Settling;
            read();
            return;
        }
        pause_.start(static_cast<int>(pool_.retry_.pauseMs(attempt_, retryAfter)));
    }

    void paused()
    {
        if (state_ != State::Pausing)
            return;
        if (askingRetryAfter_) { // no answer in time
            askingRetryAfter_ = false;
            pauseFor(std::nullopt);
            return;
        }
        state_ = State::Waiting;
        pool_.waiting_.push_front(index_);
        pool_.startWaiting();
    }

    void linksTooLate()
    {
        if (state_ == State::Reading)
            pool_.rendererLost(*this, Loss::Hung);
    }

    void fail(const std::string& why)
    {
        PageOutcome outcome;
        outcome.error = why;
        deliver(std::move(outcome));
    }

    void deliver(PageOutcome outcome)
    {
        state_ = State::Idle;
        stopTimers();
        ++generation_;
        pool_.slotDone(index_, std::move(outcome));
    }

    PagePool& pool_;
    const int index_;
    HarvestPage* page_ = nullptr;
    QTimer settle_, deadline_, linkWait_, probe_;
    State state_ = State::Idle;
    quint64 generation_ = 0;
    QUrl url_;
    QString server_;
    QString site_;
    QTimer pause_; // before a failed page loads again
    std::optional<LoadFailure> failure_;
    int attempt_ = 0; // loads of the address so far
    bool askingRetryAfter_ = false;
    qint64 rendererPid_ = 0;
    int strikes_ = 0;
    bool timedOut_ = false;
    bool documentCame_ = false;
    bool watched_ = false;
    bool probing_ = false;

public:
    // The engine has told this page that its renderer ended.
    bool told_ = false;
};

PagePool::PagePool(EngineProfile& profile, int pages, Timing timing, PageLoadRules rules, SnapshotOptions snapshot,
                   QObject* parent)
    : QObject(parent), profile_(profile), timing_(timing), rules_(rules), retry_(rules.retries), snapshot_(snapshot),
      filter_(timing.images), readiness_(timing.settleMs)
{
    clock_.start();
    paceTimer_.setSingleShot(true);
    paceTimer_.setTimerType(Qt::PreciseTimer);
    connect(&paceTimer_, &QTimer::timeout, this, &PagePool::startWaiting);
    for (int i = 0; i < pages; ++i)
        slots_.push_back(std::make_unique<Slot>(*this, i));
}

PagePool::~PagePool()
{
    // Every page goes before the profile does.
    for (QWebEnginePage* page : dropped_)
        delete page;
}

std::vector<QWebEnginePage*> PagePool::pages() const
{
    std::vector<QWebEnginePage*> out;
    for (const auto& s : slots_)
        if (s->page())
            out.push_back(s->page());
    return out;
}

void PagePool::rendererLost(Slot& first, Loss loss)
{
    // One renderer runs the scripts of all its pages on one thread, and ends
    // with all of them: a page that never returns stalls every other page in
    // it, a page that crashes it takes the others along, and none of them
    // can be told from the one at fault. Pages let go for this before that
    // lose their renderer again are the ones; the others load again, one
    // suspect at a time, so a page at fault is known by doing it again. Only
    // a lone page that hangs is given up at once: a second hang would cost
    // it twice the link wait.
    const qint64 pid = first.rendererPid();
    std::vector<Slot*> stalled;
    std::vector<Slot*> renewed;
    for (const auto& s : slots_) {
        if (!s->hasPage() || (s.get() != &first && (pid <= 0 || s->rendererPid() != pid)))
            continue;
        renewed.push_back(s.get());
        if (s->loading())
            stalled.push_back(s.get());
    }
    const bool anySuspect = std::any_of(stalled.begin(), stalled.end(), [](Slot* s) { return s->suspect(); });
    std::vector<QWebEnginePage*> dropped;
    std::vector<QWebEnginePage*> untold;
    for (Slot* s : renewed) {
        const bool told = std::exchange(s->told_, false);
        dropped.push_back(s->dropPage());
        if (!told)
            untold.push_back(dropped.back());
    }
    renewAfterEnd(renewed, dropped, untold);
    if (loss == Loss::Hung && pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    const std::string why = loss == Loss::Hung ? noAnswerWithin(timing_.linkWaitMs) : kRendererEnded;
    for (Slot* s : stalled) {
        if (s->suspect() || (loss == Loss::Hung && !anySuspect && stalled.size() == 1)) {
            s->failAs(why);
        } else {
            s->suspectOfHang();
            waiting_.push_front(s->index());
        }
    }
    startWaiting();
}

void PagePool::renewAfterEnd(const std::vector<Slot*>& owners, const std::vector<QWebEnginePage*>& dropped,
                             const std::vector<QWebEnginePage*>& untold)
{
    // The engine tells each page of the renderer in turn, and a load begun
    // before it has told them all may still be given the ending renderer. So
    // no load starts until every dropped page has been told and the telling
    // is over; then the slots that dropped theirs get new pages.
    ++endingRenderers_;
    auto done = std::make_shared<bool>(false);
    auto left = std::make_shared<std::size_t>(untold.size());
    dropped_.insert(dropped_.end(), dropped.begin(), dropped.end());
    auto once = [this, done, owners, dropped] {
        if (!std::exchange(*done, true))
            renew(owners, dropped);
    };
    if (untold.empty())
        QTimer::singleShot(0, this, once);
    for (QWebEnginePage* page : untold)
        connect(page, &QWebEnginePage::renderProcessTerminated, this, [this, left, once] {
            if (--*left == 0)
                QTimer::singleShot(0, this, once);
        });
    // Should an end not be reported, the slots go on after a while.
    QTimer::singleShot(3000, this, once);
}

void PagePool::renew(const std::vector<Slot*>& owners, const std::vector<QWebEnginePage*>& dropped)
{
    for (QWebEnginePage* page : dropped) {
        dropped_.erase(std::find(dropped_.begin(), dropped_.end(), page));
        page->deleteLater();
    }
    for (Slot* s : owners)
        s->renewPage();
    --endingRenderers_;
    startWaiting();
}

void PagePool::load(int slot, const std::string& address)
{
    slots_.at(static_cast<std::size_t>(slot))->take(address);
    waiting_.push_back(slot);
    startWaiting();
}

bool PagePool::suspectLoading() const
{
    return std::any_of(slots_.begin(), slots_.end(),
                       [](const auto& s) { return s->suspect() && s->loading(); });
}

int PagePool::loadsOf(const QString& server) const
{
    int n = 0;
    for (const auto& s : slots_)
        if (server.isEmpty() ? s->loading() : s->requesting() && s->server() == server)
            ++n;
    return n;
}

void PagePool::startWaiting()
{
    if (endingRenderers_ > 0 || suspectLoading())
        return;
    // A page let go with a lost renderer loads again alone, once the loads
    // before it are done: should its renderer be lost again, the fault is
    // its own and no other page's. Until then no new load starts.
    for (auto it = waiting_.begin(); it != waiting_.end(); ++it) {
        Slot& s = *slots_[static_cast<std::size_t>(*it)];
        if (!s.suspect())
            continue;
        if (s.hasPage() && loadsOf({}) == 0) {
            waiting_.erase(it);
            s.start();
        }
        return;
    }
    // In the order the addresses were taken, so no server's pages wait behind
    // another's for longer than their turn.
    while (!waiting_.empty()) {
        bool started = false;
        for (auto it = waiting_.begin(); it != waiting_.end(); ++it) {
            Slot& s = *slots_[static_cast<std::size_t>(*it)];
            if (s.hasPage() && hasRoom(s)) {
                waiting_.erase(it);
                s.start();
                started = true;
                break;
            }
        }
        if (!started)
            return;
    }
}

bool PagePool::hasRoom(const Slot& slot)
{
    if (slot.site().isEmpty()) // about:blank, a file: no site to spare
        return loadsOf(slot.server()) < kLoadsPerServer;
    if (rules_.delayMs > 0) {
        const auto last = lastStart_.find(slot.site());
        if (last != lastStart_.end()) {
            const qint64 left = last->second + rules_.delayMs - clock_.elapsed();
            if (left > 0) {
                if (!paceTimer_.isActive() || paceTimer_.remainingTime() > left)
                    paceTimer_.start(static_cast<int>(left));
                return false;
            }
        }
    }
    if (rules_.perSite > 0) {
        const auto loads = std::count_if(slots_.begin(), slots_.end(), [&](const auto& s) {
            return s->loading() && s->site() == slot.site();
        });
        return loads < rules_.perSite;
    }
    return loadsOf(slot.server()) < kLoadsPerServer;
}

void PagePool::noteStart(const QString& site)
{
    if (!site.isEmpty())
        lastStart_[site] = clock_.elapsed();
}

bool PagePool::isReady(const PageProbe& probe)
{
    const auto before = readiness_.changes();
    const bool ready = readiness_.ready(probe);
    if (readiness_.changes() != before)
        filter_.setLongOpen(readiness_.longOpen());
    return ready;
}

void PagePool::slotDone(int slot, PageOutcome outcome)
{
    startWaiting();
    if (done_)
        done_(slot, std::move(outcome));
}

} // namespace lt
