#pragma once

#include <cstdint>

#include "kestrova_platform_export.h"

// A millisecond tick count from the monotonic clock, wrapping at 2^32 like the classic tick
// counters; differences taken with TicksSince stay right across the wrap.
KESTROVA_PLATFORM_EXPORT std::uint32_t TickCount();

inline std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now)
{
    return now - start;
}
