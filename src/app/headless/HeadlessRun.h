#pragma once
#include "app/headless/ConsoleSearchView.h"
#include "app/headless/HeadlessOptions.h"
#include "cache/DelIECache.h"
#include "cache/WebEngineDataStore.h"
#include "search/FoundSet.h"
#include "search/SearchController.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/QtStepTimer.h"
#include "search/engine/WebEngineBrowserHost.h"

#include <QTimer>
#include <functional>
#include <string>

class QApplication;

namespace lt {

enum ExitCode { kDone = 0, kFailed = 1, kStopped = 130 };

// Messages of the command on standard error.
void say(const std::string& message);

// One run of the command, with everything the engine needs alive.
class HeadlessRun {
public:
    HeadlessRun(const HeadlessOptions& options, QApplication& app);
    ~HeadlessRun();

    // Starts or continues the search; false when it ended at once. The
    // result is known once the event loop has ended (exitCode()).
    bool begin();
    // The first interrupt stops the search as "终止" does; a second ends
    // the command at once without saving.
    void stop();
    int exitCode() const { return exitCode_; }

private:
    SearchEnvironment environment();
    void applyOptions();
    void guarded(const std::function<void()>& f);
    void end(int code, bool save = true);

    const HeadlessOptions& options_;
    QApplication& app_;
    EngineProfile profile_;
    WebEngineDataStore store_;
    Tdelform cleaner_;
    WebEngineBrowserHost host_;
    ConsoleSearchView view_;
    QTimer timer_;
    QtStepTimer stepTimer_;
    FoundSet found_;
    SearchController controller_;
    bool stopRequested_ = false;
    bool ended_ = false;
    int exitCode_ = kDone;
};

} // namespace lt
