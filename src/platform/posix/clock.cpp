#include "platform/clock.h"

#include <ctime>

namespace tolvane::platform {

LocalDate today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

LocalDateTime now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

LocalDate addDays(LocalDate date, int days) {
    std::tm t{};
    t.tm_year = date.year - 1900;
    t.tm_mon = date.month - 1;
    t.tm_mday = date.day + days;
    // Noon keeps a daylight-saving change from moving the result a day.
    t.tm_hour = 12;
    t.tm_isdst = -1;
    std::mktime(&t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday};
}

std::optional<std::int64_t> epochOfLocal(const LocalDateTime& when) {
    if (!isRealDateTime(when)) {
        return std::nullopt;
    }
    std::tm t{};
    t.tm_year = when.year - 1900;
    t.tm_mon = when.month - 1;
    t.tm_mday = when.day;
    t.tm_hour = when.hour;
    t.tm_min = when.minute;
    t.tm_sec = when.second;
    // Let the C library find the offset in force on that date, not today's.
    t.tm_isdst = -1;
    // mktime leaves tm_wday alone only when it fails (-1 is also a real time).
    t.tm_wday = -1;
    const std::time_t epoch = std::mktime(&t);
    if (t.tm_wday == -1) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(epoch);
}

} // namespace tolvane::platform
