#include "app/headless/ParallelRun.h"

#include "base/Files.h"
#include "search/NetworkCheck.h"
#include "search/SearchMessages.h"
#include "text/IntegerText.h"

#include <chrono>

namespace lt {

ParallelRun::ParallelRun(const HeadlessOptions& options, const PageAccess& access, QApplication& app,
                         const StateFolder& state)
    : HeadlessRun(options, access, app, state),
      filter_(searchOptions_, options.https ? LinkSchemes::HttpAndHttps : LinkSchemes::Http),
      pool_(profile_, *options.jobs,
            PagePool::Timing{options.settleMs, options.timeoutSeconds * 1000, 2 * options.timeoutSeconds * 1000,
                             options.images},
            PageLoadRules{options.perSite.value_or(0), options.delayMs, options.retries},
            snapshotOptions())
{
    for (QWebEnginePage* page : pool_.pages())
        store_.addPage(page);
    pool_.setPageReplaced([this](QWebEnginePage* fresh) { store_.addPage(fresh); });
    pool_.setDoneHandler([this](int slot, PageOutcome outcome) {
        if (!search_ || ended())
            return;
        try {
            search_->pageDone(slot, std::move(outcome));
        } catch (const OutputError& e) {
            endOnOutputError(e, searchOptions_, total_);
        } catch (const std::exception& e) {
            message(e.what());
            end(kFailed);
        }
    });
    QObject::connect(&progressTimer_, &QTimer::timeout, [this] { showProgress(); });
}

ParallelRun::~ParallelRun() = default;

bool ParallelRun::refuse(const std::string& why)
{
    message(why);
    end(kFailed);
    return false;
}

bool ParallelRun::prepareStart()
{
    if (options_.readsStandardInput()) {
        searchOptions_.setAddressListPath(kStandardInputPath);
    } else {
        searchOptions_.setAddressListPath(absolutePath(options_.listFile));
    }
    if (!fileExists(searchOptions_.addressListPath()))
        return refuse(msg::kNoListChosen);
    if (networkPresenceCheck() == kLoopbackAddress)
        return refuse(msg::kNotConnected);
    position_ = 0;
    total_ = options_.readsStandardInput()
        ? 0
        : static_cast<std::int32_t>(countLines(searchOptions_.addressListPath()));
    reader_.open(searchOptions_.addressListPath());
    return true;
}

bool ParallelRun::prepareContinue()
{
    if (!files_.progressFileExists())
        return refuse(msg::kNoSavedSearch);
    files_.loadProgress(searchOptions_, position_, total_);
    if (!fileExists(searchOptions_.addressListPath()))
        return refuse(msg::kListMissing);
    if (networkPresenceCheck() == kLoopbackAddress)
        return refuse(msg::kNotConnected);
    if (*options_.continueAfter != HeadlessOptions::kSavedPosition)
        position_ = *options_.continueAfter;
    position_ = std::max(position_, 0);
    reader_.open(searchOptions_.addressListPath());
    for (std::int32_t i = 0; i < position_ && !reader_.atEof(); ++i)
        reader_.skipLine();
    if (reader_.atEof()) {
        endListUsedUp(position_);
        return false;
    }
    return true;
}

void ParallelRun::startSearch()
{
    guarded([this] {
        restoreOptions(searchOptions_, [this] {
            files_.removeLeftovers();
            files_.loadFilterLists(searchOptions_);
            if (files_.progressFileExists())
                files_.loadProgress(searchOptions_, position_, total_);
        });
        if (!(options_.continueAfter ? prepareContinue() : prepareStart()))
            return;
        progress_.show(msg::kCleaning);
        cleaner_.clean();
        if (ended()) // interrupted while cleaning
            return;
        ParallelSearchSink& sink = *this;
        search_ = std::make_unique<ParallelSearch>([this] { return nextAddress(); }, pool_, filter_, sink);
        progressTimer_.start(500);
        checkpoint(searchOptions_, position_, total_, false);
        if (ended())
            return;
        startCheckpoints([this] { saveCheckpoint(); });
        search_->start(position_);
    });
}

std::optional<std::string> ParallelRun::nextAddress()
{
    if (reader_.atEof())
        return std::nullopt;
    return reader_.readAddress();
}

void ParallelRun::showProgress()
{
    if (!search_)
        return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    rate_.record(std::chrono::duration<double>(now).count(), search_->position());
    const bool unknown = options_.readsStandardInput();
    progress_.show(std::to_string(search_->position()) + "/" + (unknown ? "?" : intToStr(total_)) + "  found "
                   + std::to_string(links_.count()) + "  loading " + std::to_string(search_->busySlots())
                   + (search_->unreadablePages() ? "  failed " + std::to_string(search_->unreadablePages()) : "")
                   + rate_.describe(unknown ? std::nullopt : std::optional<std::int64_t>(total_)));
}

void ParallelRun::pageHarvested(std::int64_t line, const std::string& location, const std::vector<std::string>& accepted,
                                const std::vector<std::string>& anchorTexts)
{
    links_.writePage(line, location, accepted, anchorTexts);
}

void ParallelRun::pageUnreadable(std::int64_t line, const std::string& address, const std::string& error)
{
    lineMessage(line, address, error);
}

void ParallelRun::pageNotLoaded(std::int64_t line, const std::string& address)
{
    lineMessage(line, address, "nothing loaded within " + std::to_string(options_.timeoutSeconds) + " seconds");
}

void ParallelRun::pageFailed(std::int64_t line, const std::string& address, const std::string& why)
{
    lineMessage(line, address, why + "; the page it served is harvested");
}

void ParallelRun::saveCheckpoint()
{
    checkpoint(searchOptions_, static_cast<std::int32_t>(search_->position()), total_);
}

void ParallelRun::searchEnded()
{
    progressTimer_.stop();
    try {
        reader_.close();
    } catch (...) {
    }
    saveCheckpoint();
    if (ended())
        return;
    if (interrupted_)
        end(kStopped);
    else if (search_->unreadablePages() > 0)
        end(kSomePagesUnreadable);
    else
        end(kDone);
}

void ParallelRun::stopSearch()
{
    if (search_)
        search_->stop();
    else
        end(kStopped, false);
}

} // namespace lt
