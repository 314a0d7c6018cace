#pragma once
#include "search/BrowserHost.h"
#include "search/FoundSet.h"
#include "search/LinkHarvester.h"
#include "search/ProgressFile.h"
#include "search/SearchView.h"
#include "text/LineReader.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lt {

// The periodic timer that drives the steps.
class StepTimer {
public:
    virtual ~StepTimer() = default;
    virtual void setPeriodMs(int ms) = 0;
    virtual void arm() = 0;
    virtual void disarm() = 0;
    virtual bool isArmed() const = 0;
};

// What the controller needs from the machine besides the view and the host.
struct SearchEnvironment {
    // Blocks the calling thread.
    std::function<void(int ms)> pause;
    // Empties the browser's history and cache; never reports a failure.
    std::function<void()> cleanCache;
    // The network presence check: "127.0.0.1" means not connected.
    std::function<std::string()> networkCheck;
};

// Status panel numbers.
enum StatusPanel : int {
    kPanelTotalLabel = 0,
    kPanelTotal = 1,
    kPanelPositionLabel = 2,
    kPanelPosition = 3,
    kPanelFoundLabel = 4,
    kPanelFound = 5,
    kPanelMessage = 6,
};

// Walks the address list one line per step: hands each address to the
// browser host, waits until the page completes or the waiting limit passes,
// has the harvester collect its links, and goes on; stops, saves and
// continues searches. Everything runs on one thread, driven by the commands,
// the step timer's ticks and the host's completion notifications.
class SearchController {
public:
    SearchController(SearchView& view, StepTimer& timer, ProgressFile files, FoundSet& found,
                     SearchEnvironment env);

    // The step does nothing while no host is bound.
    void bindBrowserHost(BrowserHost* host);

    // Start-up: the filter lists, then the progress file when it exists.
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
    StepTimer& timer_;
    ProgressFile files_;
    FoundSet& found_;
    SearchEnvironment env_;
    BrowserHost* host_ = nullptr;
    std::unique_ptr<LinkHarvester> harvester_;
    std::function<void()> onFinished_;

    std::int32_t position_ = 0;
    std::int32_t total_ = 0;
    std::int32_t foundCount_ = 0;
    std::int32_t waitCount_ = 0;
    bool stopFlag_ = false;
    LineReader reader_;
};

// Texts the controller shows.
namespace msg {
inline constexpr const char* kNoListChosen = "您还没有选择网址列表文件！";
inline constexpr const char* kNotConnected = "您还没有连接到网上！";
inline constexpr const char* kNoSavedSearch = "您还没有搜索或上次搜索没有保存！";
inline constexpr const char* kListMissing = "网址列表文件不存在！";
inline constexpr const char* kProgressSaved = "已经保存当前搜索进程！";
inline constexpr const char* kCleaning = "清空IE数据...";
inline constexpr const char* kSearching = "正在搜索...";
inline constexpr const char* kStartingContinue = "开始搜索...";
inline constexpr const char* kContinuing = "继续搜索...";
inline constexpr const char* kContinueCancelled = "取消继续搜索...";
inline constexpr const char* kListUsedUp = "网址列表搜索完毕...";
inline constexpr const char* kStopping = "终止搜索...";
inline constexpr const char* kFinished = "搜索已经结束!";
inline constexpr const char* kBreakpointCaption = "继续搜索提示";
inline constexpr const char* kBreakpointPrompt = "请输入您上次搜索断点位置        ";
} // namespace msg

} // namespace lt
