#pragma once
#include "app/headless/HeadlessRun.h"
#include "app/headless/ProgressRate.h"
#include "search/LinkFilter.h"
#include "search/MemoryOptions.h"
#include "search/ParallelSearch.h"
#include "search/engine/PagePool.h"
#include "text/LineReader.h"

#include <QTimer>
#include <memory>

namespace lt {

// The search with --jobs: several pages in flight on one profile, each read
// when it has loaded and settled, delivered in list order.
class ParallelRun : public HeadlessRun, private ParallelSearchSink {
public:
    ParallelRun(const HeadlessOptions& options, const PageAccess& access, QApplication& app, const StateFolder& state);
    ~ParallelRun() override;

private:
    void startSearch() override;
    void stopSearch() override;
    // Loads the saved search and skips its lines; false when it was refused
    // or the list is used up (the run has then ended).
    bool prepareContinue();
    bool prepareStart();
    bool refuse(const std::string& why);
    std::optional<std::string> nextAddress();
    void showProgress();
    void saveCheckpoint();

    void pageHarvested(std::int64_t line, const std::string& location, const std::vector<std::string>& accepted,
                       const std::vector<std::string>& anchorTexts) override;
    void pageUnreadable(std::int64_t line, const std::string& address, const std::string& error) override;
    void pageNotLoaded(std::int64_t line, const std::string& address) override;
    void pageFailed(std::int64_t line, const std::string& address, const std::string& why) override;
    void searchEnded() override;

    MemoryOptions searchOptions_;
    LinkFilter filter_;
    PagePool pool_;
    LineReader reader_;
    std::int32_t position_ = 0;
    std::int32_t total_ = 0;
    std::unique_ptr<ParallelSearch> search_;
    QTimer progressTimer_;
    ProgressRate rate_;
};

} // namespace lt
