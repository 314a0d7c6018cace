#include "search/engine/PagePool.h"

#include "base/Error.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/HarvestPage.h"

#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <csignal>
#include <sys/types.h>
#include <utility>

namespace lt {

namespace {
// The engine opens at most six connections to one server: more pages of
// one server at once would wait in the engine while their time runs.
constexpr int kLoadsPerServer = 6;

QString serverOf(const QUrl& url)
{
    return url.scheme() + QLatin1String("://") + url.host() + QLatin1Char(':') + QString::number(url.port());
}
} // namespace

// One page of the pool and the timers of its load.
class PagePool::Slot : public QObject {
public:
    Slot(PagePool& pool, int index) : pool_(pool), index_(index)
    {
        for (QTimer* t : {&settle_, &deadline_, &linkWait_})
            t->setSingleShot(true);
        connect(&settle_, &QTimer::timeout, this, &Slot::read);
        connect(&deadline_, &QTimer::timeout, this, &Slot::timeUp);
        connect(&linkWait_, &QTimer::timeout, this, &Slot::linksTooLate);
        makePage();
    }
    ~Slot() override { delete page_; }

    QWebEnginePage* page() const { return page_; }
    const QString& server() const { return server_; }
    bool busy() const { return state_ != State::Idle; }

    // Takes the address; the load starts when the server has room.
    void take(const std::string& address)
    {
        address_ = address;
        url_ = urlForAddress(address);
        server_ = serverOf(url_);
        state_ = State::Waiting;
    }
    bool waiting() const { return state_ == State::Waiting; }

    void start()
    {
        restartOnRendererEnd_ = false;
        timedOut_ = false;
        ++generation_;
        state_ = State::Loading;
        stopTimers();
        markShownDocument(*page_);
        page_->load(url_);
        // A page without a view counts as hidden: its timers would be held
        // back to one a second. Taken only once the page has loaded once.
        page_->setVisible(true);
        deadline_.start(pool_.timing_.timeoutMs);
    }

    void restartWhenRendererEnds() { restartOnRendererEnd_ = true; }

private:
    enum class State { Idle, Waiting, Loading, Settling, Reading };

    void makePage()
    {
        page_ = new HarvestPage(pool_.profile_.profile());
        connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) {
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
        connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] {
            if (state_ == State::Idle || state_ == State::Waiting)
                return;
            // Ended with the hung page of another slot: this page is innocent,
            // so it loads again in a renderer of its own.
            if (std::exchange(restartOnRendererEnd_, false)) {
                start();
                return;
            }
            fail("The page's renderer has ended; its links cannot be read");
        });
    }

    void stopTimers()
    {
        settle_.stop();
        deadline_.stop();
        linkWait_.stop();
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
        requestSnapshot(*page_, [self, generation](const QVariant& answer) {
            if (!self || self->generation_ != generation || self->state_ != State::Reading)
                return;
            PageOutcome outcome;
            try {
                PageSnapshot snapshot = snapshotFromAnswer(answer);
                outcome.location = std::move(snapshot.location);
                outcome.links = std::move(snapshot.links);
                outcome.timedOut = self->timedOut_;
            } catch (const Error& e) {
                outcome.error = e.what();
            }
            self->deliver(std::move(outcome));
        });
    }

    void linksTooLate()
    {
        if (state_ != State::Reading)
            return;
        const std::string why = "The page did not answer within " + std::to_string(pool_.timing_.linkWaitMs / 1000)
            + " seconds; its links cannot be read";
        replaceHungPage();
        fail(why);
    }

    // A renderer that does not answer holds its page, and every later
    // address of the slot with it: the slot starts over on a new page, and
    // the renderer is ended, or it would go on spinning. Pages of other
    // slots in the same renderer load their address again.
    void replaceHungPage()
    {
        const qint64 pid = page_->renderProcessPid();
        QWebEnginePage* old = page_;
        old->disconnect(this);
        makePage();
        if (pid > 0) {
            pool_.restartPagesOf(pid, this);
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
        old->deleteLater();
        if (pool_.replaced_)
            pool_.replaced_(page_);
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
    QTimer settle_, deadline_, linkWait_;
    State state_ = State::Idle;
    quint64 generation_ = 0;
    std::string address_;
    QUrl url_;
    QString server_;
    bool restartOnRendererEnd_ = false;
    bool timedOut_ = false;
};

PagePool::PagePool(EngineProfile& profile, int pages, Timing timing, QObject* parent)
    : QObject(parent), profile_(profile), timing_(timing)
{
    for (int i = 0; i < pages; ++i)
        slots_.push_back(std::make_unique<Slot>(*this, i));
}

PagePool::~PagePool() = default;

std::vector<QWebEnginePage*> PagePool::pages() const
{
    std::vector<QWebEnginePage*> out;
    for (const auto& s : slots_)
        out.push_back(s->page());
    return out;
}

void PagePool::restartPagesOf(qint64 pid, const Slot* except)
{
    for (const auto& s : slots_)
        if (s.get() != except && s->busy() && !s->waiting() && s->page()->renderProcessPid() == pid)
            s->restartWhenRendererEnds();
}

void PagePool::load(int slot, const std::string& address)
{
    slots_.at(static_cast<std::size_t>(slot))->take(address);
    waiting_.push_back(slot);
    startWaiting();
}

int PagePool::loadsOf(const QString& server) const
{
    int n = 0;
    for (const auto& s : slots_)
        if (s->busy() && !s->waiting() && s->server() == server)
            ++n;
    return n;
}

void PagePool::startWaiting()
{
    // In the order the addresses were taken, so no server's pages wait behind
    // another's for longer than their turn.
    while (!waiting_.empty()) {
        bool started = false;
        for (auto it = waiting_.begin(); it != waiting_.end(); ++it) {
            Slot& s = *slots_[static_cast<std::size_t>(*it)];
            if (loadsOf(s.server()) < kLoadsPerServer) {
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

void PagePool::slotDone(int slot, PageOutcome outcome)
{
    startWaiting();
    if (done_)
        done_(slot, std::move(outcome));
}

} // namespace lt
