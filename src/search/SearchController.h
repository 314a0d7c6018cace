#pragma once
#include "search/BrowserHost.h"
#include "search/FoundSet.h"
#include "search/LinkHarvester.h"
#include "search/OptionsView.h"
#include "search/ProgressFile.h"
#include "search/SearchEnvironment.h"
#include "search/SearchView.h"
#include "search/StepTimer.h"
#include "text/LineReader.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace lt {

// Walks the address list one line per step: hands each address to the
// browser host, waits until the page completes or the waiting limit passes,
// has the harvester collect its links, and goes on; stops, saves and
// continues searches. Everything runs on one thread, driven by the commands,
// the step timer's ticks and the host's completion notifications.
class SearchController {
public:
    SearchController(SearchView& view, OptionsView& options, StepTimer& timer, ProgressFile files,
                     FoundSet& found, SearchEnvironment env);

    // The step does nothing while no host is bound.
    void bindBrowserHost(BrowserHost* host);
    // The window accepts "http://" links only; the command can widen that.
    void setLinkSchemes(LinkSchemes schemes);

    // Start-up: leftovers of an interrupted save removed, the filter lists
    // loaded, then the progress file when it exists.
    void restoreAtStartup();

    void chooseList();     // "网址"
    void start();          // "搜索"
    void stop();           // "终止"
    void continueSearch(); // "继续"
    void saveProgress();   // "进程"
    void firstStep();
    void step();           // every tick of the step timer
    void finish();
    void pageComplete();   // every completion notification of the host

    // Called at the end of every Finish that got past its file writes.
    void setFinishedHandler(std::function<void()> handler) { onFinished_ = std::move(handler); }

    std::int32_t position() const { return position_; }
    std::int32_t total() const { return total_; }
    std::int32_t foundCount() const { return foundCount_; }
    std::int32_t waitCount() const { return waitCount_; }
    bool stopFlag() const { return stopFlag_; }
    // The search has reached its end (the list's, or a stop's) and is
    // saving its position, or has saved it; an error then is the saving's.
    bool finishing() const { return finishing_; }
    bool readerOpen() const { return reader_.isOpen(); }
    const ProgressFile& files() const { return files_; }

    static constexpr int kWaitLimit = 5;
    static constexpr int kPageCompleteMark = 9;

private:
    enum class CommandState { Searching, Idle };
    void setCommands(CommandState state);
    void setPeriod();
    void readAddress(std::string& address);
    void navigate(const std::string& address);
    void endEarlierSearch();
    bool connected();

    SearchView& view_;
    OptionsView& options_;
    StepTimer& timer_;
    ProgressFile files_;
    FoundSet& found_;
    SearchEnvironment env_;
    BrowserHost* host_ = nullptr;
    LinkSchemes schemes_ = LinkSchemes::Http;
    std::unique_ptr<LinkHarvester> harvester_;
    std::function<void()> onFinished_;

    std::int32_t position_ = 0;
    std::int32_t total_ = 0;
    std::int32_t foundCount_ = 0;
    std::int32_t waitCount_ = 0;
    bool stopFlag_ = false;
    bool finishing_ = false;
    LineReader reader_;
};

} // namespace lt
