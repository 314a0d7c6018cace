#pragma once
#include <cstdio>
#include <string>

namespace lt {

// One line of progress on standard error, redrawn in place, shown only when
// standard error is a terminal; cleared before any message is written there.
class ProgressLine {
public:
    ProgressLine(std::FILE* err, bool shown) : err_(err), shown_(shown) {}

    void show(const std::string& text);
    void clear();

private:
    std::FILE* err_;
    bool shown_;
    bool drawn_ = false;
};

// A message of the command on standard error: "linktrawl: " and the text.
void say(const std::string& message);

} // namespace lt
