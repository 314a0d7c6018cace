#pragma once
#include <cstdint>

namespace lt {

// The search interval in whole seconds: the time of one step.
inline constexpr std::int32_t kIntervalMin = 1;
inline constexpr std::int32_t kIntervalMax = 60;
inline constexpr std::int32_t kIntervalDefault = 5;

inline std::int32_t clampInterval(std::int32_t seconds)
{
    return seconds < kIntervalMin ? kIntervalMin : seconds > kIntervalMax ? kIntervalMax : seconds;
}

} // namespace lt
