#include "app/headless/ProgressRate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lt {

void ProgressRate::record(double seconds, std::int64_t position)
{
    samples_.push_back({seconds, position});
    // Keep one sample at or before the window's start, so the window is whole.
    while (samples_.size() > 2 && samples_[1].seconds <= seconds - kWindowSeconds)
        samples_.pop_front();
}

std::optional<double> ProgressRate::pagesPerSecond() const
{
    if (samples_.size() < 2)
        return std::nullopt;
    const Sample& first = samples_.front();
    const Sample& last = samples_.back();
    const double span = last.seconds - first.seconds;
    if (span < kShortestSeconds)
        return std::nullopt;
    return static_cast<double>(last.position - first.position) / span;
}

std::string ProgressRate::duration(double seconds)
{
    const auto s = static_cast<long long>(std::llround(std::max(seconds, 0.0)));
    char text[48];
    if (s < 60)
        std::snprintf(text, sizeof text, "%llds", s);
    else if (s < 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string ProgressRate::describe(std::optional<std::int64_t> total) const
{
    const std::optional<double> rate = pagesPerSecond();
    if (!rate)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "  %.1f pages/s", *rate);
    std::string out = text;
    if (total && !samples_.empty()) {
        const std::int64_t left = std::max<std::int64_t>(*total - samples_.back().position, 0);
        if (left == 0)
            out += "  0s left";
        else if (*rate > 0)
            out += "  " + duration(static_cast<double>(left) / *rate) + " left";
    }
    return out;
}

} // namespace lt
