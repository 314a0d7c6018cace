// linktrawl: the search of the window program without a window. The same
// controller, harvester, progress file and cleaner run on the real engine
// off screen; accepted links go to standard output.
#include "app/QtStepTimer.h"
#include "app/headless/ConsoleSearchView.h"
#include "app/headless/HeadlessOptions.h"
#include "cache/DelIECache.h"
#include "cache/WebEngineDataStore.h"
#include "search/FoundSet.h"
#include "search/NetworkCheck.h"
#include "search/ProgramFolder.h"
#include "search/SearchController.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/EngineStartup.h"
#include "search/engine/HarvestPage.h"
#include "search/engine/WebEngineBrowserHost.h"
#include "text/Error.h"
#include "text/Files.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// The engine reports its start-up (graphics, sandbox, paths) through Qt's
// messages; on a console that is noise around the links. Only real failures
// of Qt are let through.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "linktrawl: %s\n", message.toLocal8Bit().constData());
}

void say(const std::string& message)
{
    std::fprintf(stderr, "linktrawl: %s\n", message.c_str());
}

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

enum ExitCode { kDone = 0, kFailed = 1, kStopped = 130 };

// One run of the command, with everything the engine needs alive.
class HeadlessRun {
public:
    HeadlessRun(const lt::HeadlessOptions& options, QApplication& app)
        : options_(options), app_(app), store_(profile_.profile()), cleaner_(store_), host_(profile_),
          view_(stdout, stderr, ::isatty(STDERR_FILENO) == 1), stepTimer_(timer_),
          controller_(view_, stepTimer_, lt::ProgressFile(lt::programFolder()), found_, environment())
    {
        store_.addPage(host_.page());
        view_.setCurrentAddress([this] { return host_.lastAddress(); });
        controller_.bindBrowserHost(&host_);
        host_.setCompletionHandler([this] { controller_.pageComplete(); });
        controller_.setFinishedHandler([this] { end(stopRequested_ ? kStopped : kDone); });
        QObject::connect(&timer_, &QTimer::timeout, [this] { guarded([this] { controller_.step(); }); });
    }

    ~HeadlessRun() { controller_.bindBrowserHost(nullptr); }

    // Starts or continues the search; the result is known once the event
    // loop has ended (exitCode()).
    bool begin()
    {
        guarded([this] {
            try {
                controller_.restoreAtStartup();
            } catch (const lt::Error& e) {
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
            if (view_.panelText(lt::kPanelMessage) == lt::msg::kListUsedUp) {
                say(std::string(lt::msg::kListUsedUp) + " (the list has no line after " +
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

    void stop()
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

    int exitCode() const { return exitCode_; }

private:
    lt::SearchEnvironment environment()
    {
        lt::SearchEnvironment env;
        env.pause = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
        env.cleanCache = [this] { cleaner_.clean(); };
        env.networkCheck = [] { return lt::networkPresenceCheck(); };
        return env;
    }

    void applyOptions()
    {
        if (!options_.continueAfter) {
            view_.setInterval(options_.interval.value_or(5));
            view_.setOwnSiteOption(options_.ownSite);
            view_.setFilterOption(options_.filter);
        }
        if (options_.mustContain)
            view_.setFilterText(lt::FilterList::MustContain, joinLines(*options_.mustContain));
        if (options_.mustNotContain)
            view_.setFilterText(lt::FilterList::MustNotContain, joinLines(*options_.mustNotContain));
    }

    void guarded(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const std::exception& e) {
            view_.clearProgressLine();
            say(e.what());
            end(kFailed);
        }
    }

    void end(int code, bool save = true)
    {
        if (ended_)
            return;
        ended_ = true;
        timer_.stop();
        view_.clearProgressLine();
        exitCode_ = code;
        if (save && !options_.saveFile.empty()) {
            std::string text;
            for (const auto& link : view_.results())
                text += link + "\r\n";
            try {
                lt::writeFileAtomic(options_.saveFile, text, lt::WriteErrors::CannotCreate);
            } catch (const std::exception& e) {
                say(e.what());
                exitCode_ = kFailed;
            }
        }
        QTimer::singleShot(0, &app_, [this] { app_.exit(exitCode_); });
    }

    const lt::HeadlessOptions& options_;
    QApplication& app_;
    lt::EngineProfile profile_;
    lt::WebEngineDataStore store_;
    Tdelform cleaner_;
    lt::WebEngineBrowserHost host_;
    lt::ConsoleSearchView view_;
    QTimer timer_;
    lt::QtStepTimer stepTimer_;
    lt::FoundSet found_;
    lt::SearchController controller_;
    bool stopRequested_ = false;
    bool ended_ = false;
    int exitCode_ = kDone;
};

} // namespace

int main(int argc, char** argv)
{
    lt::HeadlessOptions options;
    try {
        options = lt::parseHeadlessOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const lt::Error& e) {
        say(e.what());
        return kFailed;
    }
    if (options.help) {
        std::fputs(lt::headlessHelpText().c_str(), stdout);
        return kDone;
    }
    if (!options.continueAfter && !lt::fileExists(options.listFile)) {
        say("no address list file at " + options.listFile);
        return kFailed;
    }

    lt::prepareWebEngine(lt::EngineDisplay::Offscreen);
    qInstallMessageHandler(quietQtMessages);
    // The command's own options are not for Qt to read.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("linktrawler"));

    if (::pipe(signalPipe) != 0) {
        say("cannot set up the interrupt handler");
        return kFailed;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);

    int code = kFailed;
    {
        HeadlessRun run(options, app);
        QSocketNotifier interrupts(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(&interrupts, &QSocketNotifier::activated, [&] {
            char buf[16];
            [[maybe_unused]] ssize_t n = ::read(signalPipe[0], buf, sizeof buf);
            run.stop();
        });
        run.begin();
        app.exec();
        code = run.exitCode();
    }
    return code;
}
