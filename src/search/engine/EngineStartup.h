#pragma once
#include "net/ProxyChoice.h"

#include <string>
#include <vector>

namespace lt {

enum class EngineDisplay {
    // Use the display the session has (the window program).
    Session,
    // Never open a window or need a display (the headless command).
    Offscreen,
};

// Must run before the QApplication is made: the engine reads these settings
// when it starts. As root, Chromium refuses to run sandboxed, so the sandbox
// is turned off there and only there.
void prepareWebEngine(EngineDisplay display = EngineDisplay::Session);

// The command line the QApplication is made with, the engine's switches
// after --webEngineArgs (added when the line has none), and at the end of
// QTWEBENGINE_CHROMIUM_FLAGS when that is set. Outlives the application,
// which keeps its argc and argv.
class EngineCommandLine {
public:
    EngineCommandLine(std::vector<std::string> arguments, const std::vector<std::string>& engineSwitches);
    EngineCommandLine(const EngineCommandLine&) = delete;
    EngineCommandLine& operator=(const EngineCommandLine&) = delete;

    int& argc() { return argc_; }
    char** argv() { return argv_.data(); }
    const std::vector<std::string>& arguments() const { return arguments_; }

private:
    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
    int argc_ = 0;
};

// The window program's proxy: the variables as linktrawl reads them
// (proxyFromEnvironment). System, the engine's own way, when they name none,
// when one is broken (with a warning), or when the command line or
// QTWEBENGINE_CHROMIUM_FLAGS give the engine proxy switches of their own.
ProxyChoice sessionProxy(const std::vector<std::string>& arguments);

} // namespace lt
