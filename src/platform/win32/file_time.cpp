#include "platform/win32/file_time.h"

namespace tolvane::platform {

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kEpochTicks = 116444736000000000; // 1970-01-01 in 1601 ticks

} // namespace

std::int64_t fileTimeTicks(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

FILETIME fileTimeOfTicks(std::int64_t ticks) {
    const auto value = static_cast<std::uint64_t>(ticks);
    return {static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}

std::int64_t epochSeconds(const FILETIME& time) {
    const std::int64_t ticks = fileTimeTicks(time) - kEpochTicks;
    // Round towards the past, so a time before 1970 is not moved forward.
    return ticks >= 0 ? ticks / kTicksPerSecond
                      : -((-ticks + kTicksPerSecond - 1) / kTicksPerSecond);
}

std::int32_t nanosPastSecond(const FILETIME& time) {
    const std::int64_t ticks = fileTimeTicks(time) - kEpochTicks;
    const std::int64_t past = ticks - epochSeconds(time) * kTicksPerSecond;
    return static_cast<std::int32_t>(past * 100);
}

FILETIME fileTimeOfEpoch(std::int64_t seconds, std::int32_t nanos) {
    return fileTimeOfTicks(kEpochTicks + seconds * kTicksPerSecond + nanos / 100);
}

std::optional<FILETIME> fileTimeOfLocal(const LocalDateTime& when) {
    if (!isRealDateTime(when)) {
        return std::nullopt;
    }
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(when.year);
    local.wMonth = static_cast<WORD>(when.month);
    local.wDay = static_cast<WORD>(when.day);
    local.wHour = static_cast<WORD>(when.hour);
    local.wMinute = static_cast<WORD>(when.minute);
    local.wSecond = static_cast<WORD>(when.second);
    SYSTEMTIME utc{};
    FILETIME time{};
    // The time-zone rules of that date's year decide the offset.
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !::SystemTimeToFileTime(&utc, &time)) {
        return std::nullopt;
    }
    return time;
}

} // namespace tolvane::platform
