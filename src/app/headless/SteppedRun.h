#pragma once
#include "app/headless/ConsoleSearchView.h"
#include "app/headless/HeadlessRun.h"
#include "search/FoundSet.h"
#include "search/SearchController.h"
#include "search/engine/QtStepTimer.h"
#include "search/engine/WebEngineBrowserHost.h"

#include <QTimer>

namespace lt {

// The search of the window, step by step on one page: the same controller,
// harvester and files, with the console as its view.
class SteppedRun : public HeadlessRun {
public:
    SteppedRun(const HeadlessOptions& options, const PageAccess& access, QApplication& app, const StateFolder& state);
    ~SteppedRun() override;

private:
    void startSearch() override;
    void stopSearch() override;
    void step();
    // The harvested page's links to the output; false when that failed and
    // ended the run.
    bool flushPage();

    WebEngineBrowserHost host_;
    ConsoleSearchView view_;
    QTimer timer_;
    QtStepTimer stepTimer_;
    FoundSet found_;
    SearchController controller_;
    // Lines from the top whose links are all written.
    std::int32_t harvested_ = 0;
};

} // namespace lt
