// linktrawl: the search of the window program without a window. The same
// controller, harvester, progress file and cleaner run on the real engine
// off screen; accepted links go to standard output.
#include "app/headless/EngineProcesses.h"
#include "app/headless/HeadlessOptions.h"
#include "app/headless/ParallelRun.h"
#include "app/headless/ProgressLine.h"
#include "app/headless/StateFolder.h"
#include "app/headless/SteppedRun.h"
#include "base/Error.h"
#include "base/Files.h"
#include "search/engine/EngineStartup.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int signal)
{
    const char byte = signal == SIGINT ? 'I' : 'T';
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

bool verboseMessages = false;

// The engine reports its start-up (graphics, sandbox, paths) through Qt's
// messages; on a console that is noise around the links. Only real failures
// of Qt are let through, unless --verbose.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (verboseMessages || type == QtCriticalMsg || type == QtFatalMsg)
        lt::say(message.toStdString());
}

} // namespace

// The search on the engine; the application, and with it the engine, ends
// when this returns.
static int search(const lt::HeadlessOptions& options, const lt::PageAccess& access, lt::StateFolder& state,
                  char* argv0)
{
    lt::prepareWebEngine(lt::EngineDisplay::Offscreen);
    verboseMessages = options.verbose;
    qInstallMessageHandler(quietQtMessages);
    // The command's own options are not for Qt to read; the engine takes its
    // switches after --webEngineArgs. Pages in flight share renderers, eight
    // to one: a renderer of its own for each page would cost over 100 MB a
    // page; pages that fetch no images and are read as soon as their links
    // are there keep one renderer's thread far from busy (measured: eight
    // pages to one as fast as four), and a page stalled by another's hang,
    // or whose renderer another crashed, is loaded again anyway.
    std::vector<std::string> engineSwitches = lt::proxySwitches(access.proxy);
    // The engine's own log lines (certificate checks, chrome://kill) would
    // stand among the command's messages: only its fatal ones, unless asked.
    if (!options.verbose)
        engineSwitches.push_back("--log-level=3");
    if (options.jobs)
        engineSwitches.push_back("--renderer-process-limit=" + std::to_string((*options.jobs + 7) / 8));
    lt::EngineCommandLine commandLine({argv0}, engineSwitches);
    QApplication app(commandLine.argc(), commandLine.argv());
    QApplication::setApplicationName(QStringLiteral("linktrawler"));

    if (::pipe(signalPipe) != 0) {
        lt::say("cannot set up the interrupt handler");
        return lt::kFailed;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A reader that goes away is seen as a failed write, which ends the run
    // quietly with the position saved.
    ::signal(SIGPIPE, SIG_IGN);

    {
        std::unique_ptr<lt::HeadlessRun> run;
        if (options.jobs)
            run = std::make_unique<lt::ParallelRun>(options, access, app, state);
        else
            run = std::make_unique<lt::SteppedRun>(options, access, app, state);
        QSocketNotifier interrupts(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(&interrupts, &QSocketNotifier::activated, [&] {
            char buf[16];
            const ssize_t n = ::read(signalPipe[0], buf, sizeof buf);
            for (ssize_t i = 0; i < n; ++i)
                run->interrupt(buf[i] == 'I' ? lt::Interruption::CtrlC : lt::Interruption::Terminate);
        });
        run->begin();
        app.exec();
        return run->exitCode();
    }
}

int main(int argc, char** argv)
{
    lt::HeadlessOptions options;
    try {
        options = lt::parseHeadlessOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const lt::Error& e) {
        lt::say(e.what());
        return lt::kFailed;
    }
    if (options.help) {
        std::fputs(lt::headlessHelpText().c_str(), stdout);
        return lt::kDone;
    }
    if (options.version) {
        std::fputs(lt::headlessVersionText().c_str(), stdout);
        return lt::kDone;
    }
    if (!options.continueAfter && !options.readsStandardInput() && !lt::fileExists(options.listFile)) {
        lt::say("no address list file at " + options.listFile);
        return lt::kFailed;
    }
    // Refused here, before the engine starts, like the options themselves.
    lt::PageAccess access;
    try {
        access.proxy = options.proxy ? *options.proxy : lt::proxyFromEnvironment(lt::processEnvironment());
        // As curl: the desktop's own proxy settings do not count.
        if (access.proxy.kind == lt::ProxyChoice::Kind::System)
            access.proxy.kind = lt::ProxyChoice::Kind::Direct;
        if (!options.cookieFile.empty())
            access.cookies = lt::readCookieFile(options.cookieFile, std::time(nullptr));
    } catch (const lt::Error& e) {
        lt::say(e.what());
        return lt::kFailed;
    }
    std::unique_ptr<lt::StateFolder> state;
    try {
        state = std::make_unique<lt::StateFolder>(options.stateDir);
    } catch (const lt::Error& e) {
        lt::say(e.what());
        return lt::kFailed;
    }

    lt::adoptEngineProcesses();
    const int code = search(options, access, *state, argv[0]);
    lt::endEngineProcesses(2000);
    return code;
}
