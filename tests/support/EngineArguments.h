#pragma once
#include <string>
#include <vector>

namespace lt::test {

// Arguments a test program adds to its command line for the engine, which
// reads Chromium switches there when it starts; filled before main() runs.
std::vector<std::string>& engineArguments();

} // namespace lt::test
