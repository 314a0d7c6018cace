#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace lt {

// Pages per second over the last minute of a run, and the time left at that
// rate, for the progress line of a run left going for hours: a recent window
// follows a run that slows down or speeds up, where the whole run's average
// would not.
class ProgressRate {
public:
    static constexpr double kWindowSeconds = 60;
    // A rate from less than this is too noisy to show.
    static constexpr double kShortestSeconds = 3;

    // The position (lines done) at a moment of the run, in seconds from any
    // fixed start; moments come in order.
    void record(double seconds, std::int64_t position);
    // Pages per second over the window, when it is long enough.
    std::optional<double> pagesPerSecond() const;
    // "  3.2 pages/s  1:02:03 left", the part after "/s" only with a total;
    // empty while there is no rate yet.
    std::string describe(std::optional<std::int64_t> total) const;

    // "42s", "3:07", "1:02:03".
    static std::string duration(double seconds);

private:
    struct Sample {
        double seconds;
        std::int64_t position;
    };
    std::deque<Sample> samples_;
};

} // namespace lt
