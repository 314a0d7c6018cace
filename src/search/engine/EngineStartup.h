#pragma once

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

} // namespace lt
