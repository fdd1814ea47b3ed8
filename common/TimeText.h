#pragma once

#include <QString>

#include <cstdint>

// Media times are signed 64-bit counts of 100 ns.
using REFERENCE_TIME = std::int64_t;

inline constexpr double kMediaTimeToSeconds = 1e-7;

constexpr double MediaTimeToSeconds(REFERENCE_TIME t)
{
    return static_cast<double>(t) * kMediaTimeToSeconds;
}

// hours:minutes:seconds for positions and durations; each part has at least two digits and the
// hours are not limited ("00:00:59", "100:00:00").
QString FormatTime(std::int32_t seconds);
