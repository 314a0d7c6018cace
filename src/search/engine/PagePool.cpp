#include "search/engine/PagePool.h"

#include "base/Error.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/HarvestPage.h"

#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <csignal>
#include <utility>
#include <sys/types.h>

namespace lt {

// One page of the pool and the timers of its load.
class PagePool::Slot : public QObject {
public:
    Slot(PagePool& pool, int index) : pool_(pool), index_(index)
    {
        for (QTimer* t : {&settle_, &deadline_, &linkWait_})
            t->setSingleShot(true);
        connect(&settle_, &QTimer::timeout, this, &Slot::read);
        connect(&deadline_, &QTimer::timeout, this, &Slot::read);
        connect(&linkWait_, &QTimer::timeout, this, &Slot::linksTooLate);
        makePage();
    }
    ~Slot() override { delete page_; }

    QWebEnginePage* page() const { return page_; }

    void load(const std::string& address)
    {
        address_ = address;
        restartOnRendererEnd_ = false;
        ++generation_;
        state_ = State::Loading;
        stopTimers();
        markShownDocument(*page_);
        page_->load(urlForAddress(address));
        deadline_.start(pool_.timing_.timeoutMs);
    }

private:
    enum class State { Idle, Loading, Settling, Reading };

    void makePage()
    {
        page_ = new HarvestPage(pool_.profile_.profile());
        connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) {
            if (state_ != State::Loading)
                return;
            state_ = State::Settling;
            settle_.start(pool_.timing_.settleMs);
        });
        connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] {
            if (state_ == State::Idle)
                return;
            // Ended with the hung page of another slot: this page is innocent,
            // so it loads again in a renderer of its own.
            if (std::exchange(restartOnRendererEnd_, false)) {
                const std::string address = address_;
                load(address);
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

    void read()
    {
        if (state_ != State::Loading && state_ != State::Settling)
            return;
        state_ = State::Reading;
        stopTimers();
        linkWait_.start(pool_.timing_.linkWaitMs);
        const quint64 generation = generation_;
        QPointer<Slot> self(this);
        requestSnapshot(*page_, [self, generation](const QVariant& answer) {
            if (!self || self->generation_ != generation || self->state_ != State::Reading)
                return;
            PageOutcome outcome;
            try {
                PageSnapshot snapshot = snapshotFromAnswer(answer);
                outcome.location = std::move(snapshot.location);
                outcome.links = std::move(snapshot.links);
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
        state_ = State::Idle;
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

public:
    void restartWhenRendererEnds() { restartOnRendererEnd_ = true; }

private:

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
        if (pool_.done_)
            pool_.done_(index_, std::move(outcome));
    }

    PagePool& pool_;
    const int index_;
    HarvestPage* page_ = nullptr;
    QTimer settle_, deadline_, linkWait_;
    State state_ = State::Idle;
    quint64 generation_ = 0;
    std::string address_;
    bool restartOnRendererEnd_ = false;
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
        if (s.get() != except && s->page()->renderProcessPid() == pid)
            s->restartWhenRendererEnds();
}

void PagePool::load(int slot, const std::string& address)
{
    slots_.at(static_cast<std::size_t>(slot))->load(address);
}

} // namespace lt
