#pragma once
#include "app/headless/HeadlessOptions.h"
#include "app/headless/LinkStream.h"
#include "app/headless/ProgressLine.h"
#include "app/headless/StateFolder.h"
#include "cache/DelIECache.h"
#include "cache/WebEngineDataStore.h"
#include "net/CookieFile.h"
#include "net/ProxyChoice.h"
#include "search/OptionsView.h"
#include "search/ProgressFile.h"
#include "search/SearchEnvironment.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/PageLinks.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>

class QApplication;
class QTimer;

namespace lt {

class OutputError;

// Exit statuses of the command (its --help lists them).
enum ExitCode {
    kDone = 0,
    kFailed = 1,
    kSomePagesUnreadable = 3,
    kStopped = 130,
    kReaderGone = 141,
};

// How the pages of a run reach their sites besides the options: the proxy
// (from --proxy or the environment) and the cookies of --cookies.
struct PageAccess {
    ProxyChoice proxy;
    std::vector<Cookie> cookies;
};

enum class Interruption {
    CtrlC,     // a second one ends the run at once
    Terminate, // SIGTERM: always stops and saves, however often it comes
};

// One run of the command, with everything the engine needs alive: the
// program's profile (in the state folder when one is given), the cleaner,
// and where the links go. The stepped and the parallel search derive from it.
class HeadlessRun {
public:
    virtual ~HeadlessRun();

    // Starts or continues the search once the cookies are in the browser.
    // The exit status is known once the event loop has ended (exitCode()).
    void begin();
    // The first interrupt stops the search as "终止" does; a second Ctrl-C
    // ends the command at once without saving.
    void interrupt(Interruption how);
    int exitCode() const { return exitCode_; }

protected:
    HeadlessRun(const HeadlessOptions& options, const PageAccess& access, QApplication& app,
                const StateFolder& state);

    virtual void startSearch() = 0;
    virtual void stopSearch() = 0;

    // Loads the saved filter lists and options (load), then applies those of
    // the command line. Saved files that cannot be read are reported and
    // passed over, unless the run continues the saved search.
    void restoreOptions(OptionsView& options, const std::function<void()>& load);
    // What the controller needs from the machine.
    SearchEnvironment environment();
    // What the search reads of each page: the texts of the links only for
    // the formats that carry them.
    SnapshotOptions snapshotOptions() const;
    // A message on standard error, below the progress line.
    void message(const std::string& text);
    // A message about one line of the list: "line N (address): text".
    void lineMessage(std::int64_t line, const std::string& address, const std::string& text);
    // Ends the run when a continued search finds no line after the position.
    void endListUsedUp(std::int32_t position);
    // Runs f so that no error crosses the event loop; an error ends the run.
    void guarded(const std::function<void()>& f);
    // A failed output: the progress is saved as of the last page written
    // whole; a closed pipe ends quietly.
    void endOnOutputError(const OutputError& error, OptionsView& options, std::int32_t total);
    // Saves the position while the run goes: the links written so far reach
    // the disk first, then the position (lines from the top whose links are
    // all written) and the options, so that after any kill the run can be
    // continued from it, and nothing before it was lost.
    // withLinks false: the position alone, as the search starts, so that a
    // kill before the first checkpoint leaves this search to continue, not
    // the one saved before it (whose --save file is left as it is).
    void checkpoint(OptionsView& options, std::int32_t position, std::int32_t total, bool withLinks = true);
    // Starts the timer that calls save() every --checkpoint seconds.
    void startCheckpoints(std::function<void()> save);
    // Ends the run with code; save: commit the --save file.
    void end(int code, bool save = true);
    // Stops the search as an interrupt does, for a reason that fails the
    // run: it ends with kFailed, its position saved.
    void stopFailed(const std::string& why);
    bool ended() const { return ended_; }

    const HeadlessOptions& options_;
    QApplication& app_;
    ProgressFile files_;
    EngineProfile profile_;
    WebEngineDataStore store_;
    Tdelform cleaner_;
    ProgressLine progress_;
    LinkStream links_;
    bool interrupted_ = false;

private:
    const PageAccess& access_;
    std::unique_ptr<QTimer> checkpointTimer_;
    bool searching_ = false; // startSearch() has run
    bool failed_ = false;
    bool ended_ = false;
    int exitCode_ = kDone;
};

} // namespace lt
