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
static int search(const lt::HeadlessOptions& options, lt::StateFolder& state, char* argv0)
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
    std::vector<std::string> qtArguments{argv0, "--webEngineArgs"};
    // The engine's own log lines (certificate checks, chrome://kill) would
    // stand among the command's messages: only its fatal ones, unless asked.
    if (!options.verbose)
        qtArguments.push_back("--log-level=3");
    if (options.jobs)
        qtArguments.push_back("--renderer-process-limit=" + std::to_string((*options.jobs + 7) / 8));
    // With QTWEBENGINE_CHROMIUM_FLAGS set the engine reads its switches
    // there and no longer after --webEngineArgs: ours join the variable's.
    if (qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        for (std::size_t i = 2; i < qtArguments.size(); ++i)
            flags += ' ' + QByteArray::fromStdString(qtArguments[i]);
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
        qtArguments.resize(1);
    }
    std::vector<char*> qtArgv;
    for (std::string& a : qtArguments)
        qtArgv.push_back(a.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArguments.size());
    QApplication app(qtArgc, qtArgv.data());
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
            run = std::make_unique<lt::ParallelRun>(options, app, state);
        else
            run = std::make_unique<lt::SteppedRun>(options, app, state);
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
    std::unique_ptr<lt::StateFolder> state;
    try {
        state = std::make_unique<lt::StateFolder>(options.stateDir);
    } catch (const lt::Error& e) {
        lt::say(e.what());
        return lt::kFailed;
    }

    lt::adoptEngineProcesses();
    const int code = search(options, *state, argv[0]);
    lt::endEngineProcesses(2000);
    return code;
}
