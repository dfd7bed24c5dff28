#include "platform/clock.h"

#include "platform/win32/file_time.h"

#include <windows.h>

namespace tolvane::platform {

LocalDate today() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

LocalDateTime now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

LocalDate addDays(LocalDate date, int days) {
    // Calendar days only, so counting in UTC meets no daylight-saving change.
    SYSTEMTIME day{};
    day.wYear = static_cast<WORD>(date.year);
    day.wMonth = static_cast<WORD>(date.month);
    day.wDay = static_cast<WORD>(date.day);
    FILETIME time{};
    if (!::SystemTimeToFileTime(&day, &time)) {
        return date;
    }
    const std::int64_t ticks = fileTimeTicks(time) + std::int64_t{days} * 864000000000LL;
    time = fileTimeOfTicks(ticks);
    if (!::FileTimeToSystemTime(&time, &day)) {
        return date;
    }
    return {day.wYear, day.wMonth, day.wDay};
}

std::optional<std::int64_t> epochOfLocal(const LocalDateTime& when) {
    const auto time = fileTimeOfLocal(when);
    if (!time) {
        return std::nullopt;
    }
    return epochSeconds(*time);
}

} // namespace tolvane::platform
