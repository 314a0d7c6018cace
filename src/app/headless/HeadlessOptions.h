#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lt {

// What the command line of linktrawl asks for.
struct HeadlessOptions {
    bool help = false;
    std::string listFile;
    std::optional<std::int32_t> interval; // the window's default when absent
    bool ownSite = false;
    bool filter = false;
    // Replace the saved filter lists when given.
    std::optional<std::vector<std::string>> mustContain;
    std::optional<std::vector<std::string>> mustNotContain;
    // Resume the saved search after this line.
    std::optional<std::int32_t> continueAfter;
    std::string saveFile;
};

// Raises lt::Error with a message for the user on a bad command line.
HeadlessOptions parseHeadlessOptions(const std::vector<std::string>& args);

std::string headlessHelpText();

} // namespace lt
