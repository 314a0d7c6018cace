#include "app/headless/SteppedRun.h"

#include "base/Files.h"
#include "search/SearchMessages.h"
#include "search/engine/HarvestPage.h"

namespace lt {

SteppedRun::SteppedRun(const HeadlessOptions& options, const PageAccess& access, QApplication& app,
                         const StateFolder& state)
    : HeadlessRun(options, access, app, state), host_(profile_), view_(links_, progress_), stepTimer_(timer_),
      controller_(view_, view_, stepTimer_, files_, found_, environment())
{
    store_.addPage(host_.page());
    view_.setPageSource(
        [this] { return ConsoleSearchView::Page{controller_.position(), host_.locationUrl()}; },
        [this] { return host_.lastAddress(); });
    view_.setTotalUnknown(options.readsStandardInput());
    host_.setSnapshotOptions(snapshotOptions());
    if (snapshotOptions().anchorTexts)
        view_.setAnchorTextSource([this](const std::string& link) { return host_.anchorTextOf(link); });
    controller_.setLinkSchemes(options.https ? LinkSchemes::HttpAndHttps : LinkSchemes::Http);
    controller_.bindBrowserHost(&host_);
    host_.setCompletionHandler([this] { controller_.pageComplete(); });
    controller_.setFinishedHandler([this] {
        // The last page's links reach the output before the run ends.
        if (flushPage())
            end(interrupted_ ? kStopped : kDone);
    });
    QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
}

SteppedRun::~SteppedRun()
{
    controller_.bindBrowserHost(nullptr);
}

void SteppedRun::startSearch()
{
    guarded([this] {
        restoreOptions(view_, [this] {
            // A list on standard input is not counted: the total of the
            // search saved before must not pass for its own.
            if (options_.readsStandardInput())
                files_.loadFilterLists(view_);
            else
                controller_.restoreAtStartup();
        });
        if (options_.continueAfter) {
            // Without a line number the controller's own default holds: the
            // saved position.
            if (*options_.continueAfter != HeadlessOptions::kSavedPosition)
                view_.answerBreakpoint(std::to_string(*options_.continueAfter));
            controller_.continueSearch();
        } else if (options_.readsStandardInput()) {
            // Counting the lines would consume them: the total stays unknown.
            view_.setAddressListPath(kStandardInputPath);
            controller_.start();
        } else {
            view_.answerOpenFile(absolutePath(options_.listFile));
            controller_.chooseList();
            controller_.start();
        }
    });
    if (ended())
        return;
    if (view_.refusal()) {
        message(*view_.refusal());
        end(kFailed);
        return;
    }
    if (!timer_.isActive()) {
        if (view_.panelText(kPanelMessage) == msg::kListUsedUp) {
            endListUsedUp(controller_.position());
        } else {
            message("the search could not start: the progress file or the filter lists could not be written in "
                    + files_.folder());
            end(kFailed);
        }
        return;
    }
    // The first line is loading: the lines before it are done.
    harvested_ = controller_.position() - 1;
    checkpoint(view_, harvested_, controller_.total(), false);
    if (ended())
        return;
    startCheckpoints([this] { checkpoint(view_, harvested_, controller_.total()); });
}

void SteppedRun::step()
{
    // What the step harvests: the page of the line read last.
    if (ended())
        return;
    const std::int32_t line = controller_.position();
    const std::string address = host_.lastAddress();
    try {
        controller_.step();
    } catch (const std::exception& e) {
        // The run ended while the step waited for the page (a checkpoint
        // that failed): the wait was cut short, the page is not at fault.
        if (ended())
            return;
        if (controller_.finishing()) {
            // The list is done and its links are there: only the position
            // could not be saved.
            if (flushPage()) {
                message(std::string(e.what()) + "; the search stopped, its position cannot be saved");
                end(kFailed);
            }
            return;
        }
        lineMessage(line, address, e.what());
        end(kFailed);
        return;
    }
    // A step that moved on to the next line has harvested this one.
    if (flushPage() && controller_.position() != line)
        harvested_ = line;
}

bool SteppedRun::flushPage()
{
    try {
        links_.pageDone();
        return true;
    } catch (const OutputError& e) {
        timer_.stop();
        endOnOutputError(e, view_, controller_.total());
        return false;
    }
}

void SteppedRun::stopSearch()
{
    controller_.stop();
}

} // namespace lt
