#include "search/engine/EngineStartup.h"

#include "base/Error.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <algorithm>
#include <unistd.h>

namespace lt {

namespace {
constexpr const char* kEngineArgs = "--webEngineArgs";
constexpr const char* kEngineFlags = "QTWEBENGINE_CHROMIUM_FLAGS";

bool isProxySwitch(const std::string& arg)
{
    return arg.rfind("--proxy-", 0) == 0 || arg.rfind("--no-proxy-server", 0) == 0;
}
} // namespace

void prepareWebEngine(EngineDisplay display)
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (display == EngineDisplay::Offscreen)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The engine shares GL contexts with the widgets that show it.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

EngineCommandLine::EngineCommandLine(std::vector<std::string> arguments, const std::vector<std::string>& engineSwitches)
    : arguments_(std::move(arguments))
{
    if (!engineSwitches.empty()) {
        if (std::find(arguments_.begin(), arguments_.end(), kEngineArgs) == arguments_.end())
            arguments_.push_back(kEngineArgs);
        arguments_.insert(arguments_.end(), engineSwitches.begin(), engineSwitches.end());
    }
    // When the variable is set, the engine takes its switches from there
    // and passes over those of the command line: they join the variable's,
    // after them.
    if (qEnvironmentVariableIsSet(kEngineFlags) && !engineSwitches.empty()) {
        QByteArray flags = qgetenv(kEngineFlags);
        for (const std::string& s : engineSwitches) {
            const QByteArray arg = QByteArray::fromStdString(s);
            flags += ' ' + (arg.contains(' ') ? '"' + arg + '"' : arg);
        }
        qputenv(kEngineFlags, flags);
    }
    for (std::string& a : arguments_)
        argv_.push_back(a.data());
    argv_.push_back(nullptr);
    argc_ = static_cast<int>(arguments_.size());
}

ProxyChoice sessionProxy(const std::vector<std::string>& arguments)
{
    const auto engineArgs = std::find(arguments.begin(), arguments.end(), kEngineArgs);
    if (engineArgs != arguments.end() && std::any_of(engineArgs, arguments.end(), isProxySwitch))
        return {};
    const std::string flags = qEnvironmentVariable(kEngineFlags).toStdString();
    if (flags.find("--proxy-") != std::string::npos || flags.find("--no-proxy-server") != std::string::npos)
        return {};
    try {
        return proxyFromEnvironment(processEnvironment());
    } catch (const Error& e) {
        qWarning("%s; the proxy variables are not used", e.what());
        return {};
    }
}

} // namespace lt
