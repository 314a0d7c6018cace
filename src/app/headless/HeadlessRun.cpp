#include "app/headless/HeadlessRun.h"

#include "base/Error.h"
#include "search/Interval.h"
#include "search/NetworkCheck.h"
#include "search/ProgramFolder.h"
#include "search/ResultListFile.h"
#include "search/SearchMessages.h"
#include "search/StatusPanels.h"
#include "search/engine/HarvestPage.h"

#include <QApplication>
#include <QThread>
#include <climits>
#include <cstdio>
#include <unistd.h>

namespace lt {

void say(const std::string& message)
{
    std::fprintf(stderr, "linktrawl: %s\n", message.c_str());
}

namespace {

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            text += '\n';
        text += lines[i];
    }
    return text;
}

std::string absolutePath(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

} // namespace

HeadlessRun::HeadlessRun(const HeadlessOptions& options, QApplication& app)
    : options_(options), app_(app), store_(profile_.profile()), cleaner_(store_), host_(profile_),
      view_(stdout, stderr, ::isatty(STDERR_FILENO) == 1), stepTimer_(timer_),
      controller_(view_, view_, stepTimer_, ProgressFile(programFolder()), found_, environment())
{
    store_.addPage(host_.page());
    view_.setCurrentAddress([this] { return host_.lastAddress(); });
    controller_.bindBrowserHost(&host_);
    host_.setCompletionHandler([this] { controller_.pageComplete(); });
    controller_.setFinishedHandler([this] { end(stopRequested_ ? kStopped : kDone); });
    QObject::connect(&timer_, &QTimer::timeout, [this] { guarded([this] { controller_.step(); }); });
}

HeadlessRun::~HeadlessRun()
{
    controller_.bindBrowserHost(nullptr);
}

bool HeadlessRun::begin()
{
    guarded([this] {
        try {
            controller_.restoreAtStartup();
        } catch (const Error& e) {
            if (options_.continueAfter)
                throw;
            say(std::string("saved settings not used: ") + e.what());
        }
        applyOptions();
        if (options_.continueAfter) {
            view_.answerBreakpoint(std::to_string(*options_.continueAfter));
            controller_.continueSearch();
        } else {
            view_.answerOpenFile(absolutePath(options_.listFile));
            controller_.chooseList();
            controller_.start();
        }
    });
    if (ended_)
        return false;
    if (view_.refusal()) {
        view_.clearProgressLine();
        say(*view_.refusal());
        end(kFailed);
        return false;
    }
    if (!timer_.isActive()) {
        view_.clearProgressLine();
        if (view_.panelText(kPanelMessage) == msg::kListUsedUp) {
            say(std::string(msg::kListUsedUp) + " (the list has no line after " +
                std::to_string(*options_.continueAfter) + ")");
            end(kDone);
        } else {
            say("the search could not start: the progress file or the filter lists could not be written "
                "in " + controller_.files().folder());
            end(kFailed);
        }
        return false;
    }
    return true;
}

void HeadlessRun::stop()
{
    if (stopRequested_) {
        // A second interrupt: end now, nothing more is saved.
        view_.clearProgressLine();
        say("interrupted");
        end(kStopped, false);
        return;
    }
    stopRequested_ = true;
    controller_.stop();
}

SearchEnvironment HeadlessRun::environment()
{
    SearchEnvironment env;
    env.pause = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    env.cleanCache = [this] { cleaner_.clean(); };
    env.networkCheck = [] { return networkPresenceCheck(); };
    return env;
}

void HeadlessRun::applyOptions()
{
    if (!options_.continueAfter) {
        view_.setInterval(options_.interval.value_or(kIntervalDefault));
        view_.setOwnSiteOption(options_.ownSite);
        view_.setFilterOption(options_.filter);
    }
    if (options_.mustContain)
        view_.setFilterText(FilterList::MustContain, joinLines(*options_.mustContain));
    if (options_.mustNotContain)
        view_.setFilterText(FilterList::MustNotContain, joinLines(*options_.mustNotContain));
}

void HeadlessRun::guarded(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        view_.clearProgressLine();
        say(e.what());
        end(kFailed);
    }
}

void HeadlessRun::end(int code, bool save)
{
    if (ended_)
        return;
    ended_ = true;
    timer_.stop();
    view_.clearProgressLine();
    exitCode_ = code;
    if (save && !options_.saveFile.empty()) {
        try {
            ResultListFile file(options_.saveFile, WriteErrors::CannotCreate);
            for (const auto& link : view_.results())
                file.add(link);
            file.commit();
        } catch (const std::exception& e) {
            say(e.what());
            exitCode_ = kFailed;
        }
    }
    QTimer::singleShot(0, &app_, [this] { app_.exit(exitCode_); });
}

} // namespace lt
