#pragma once
#include <functional>
#include <string>

namespace lt {

// What the search controller needs from the machine besides the view and
// the browser host.
struct SearchEnvironment {
    // Blocks the calling thread.
    std::function<void(int ms)> pause;
    // Empties the browser's history and cache; never reports a failure.
    std::function<void()> cleanCache;
    // The network presence check: "127.0.0.1" means not connected.
    std::function<std::string()> networkCheck;
};

} // namespace lt
