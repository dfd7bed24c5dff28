#pragma once

#include "platform/clock.h"

#include <cstdint>
#include <optional>
#include <windows.h>

namespace tolvane::platform {

// 100-nanosecond ticks since 1601, as FILETIME counts them.
std::int64_t fileTimeTicks(const FILETIME& time);
FILETIME fileTimeOfTicks(std::int64_t ticks);

// Whole seconds since 1970, rounded down.
std::int64_t epochSeconds(const FILETIME& time);
// The nanoseconds past epochSeconds().
std::int32_t nanosPastSecond(const FILETIME& time);
// A time `seconds` and `nanos` past 1970, to the 100 ns the system keeps.
FILETIME fileTimeOfEpoch(std::int64_t seconds, std::int32_t nanos);

// A local date-time as UTC FILETIME, through the offset in force on that
// date; nothing when the fields form no real date-time.
std::optional<FILETIME> fileTimeOfLocal(const LocalDateTime& when);

} // namespace tolvane::platform
