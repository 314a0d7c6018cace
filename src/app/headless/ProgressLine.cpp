#include "app/headless/ProgressLine.h"

namespace lt {

void ProgressLine::show(const std::string& text)
{
    if (!shown_)
        return;
    std::fputs(("\r\033[K" + text).c_str(), err_);
    std::fflush(err_);
    drawn_ = true;
}

void ProgressLine::clear()
{
    if (drawn_) {
        std::fputs("\r\033[K", err_);
        std::fflush(err_);
        drawn_ = false;
    }
}

void say(const std::string& message)
{
    std::fprintf(stderr, "linktrawl: %s\n", message.c_str());
}

} // namespace lt
