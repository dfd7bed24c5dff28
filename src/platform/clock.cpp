#include "platform/clock.h"

#include <cstdio>
#include <ctime>

namespace tolvane::platform {

namespace {

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

} // namespace

LocalDate today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
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

std::string dayFolderName(LocalDate date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
    return text;
}

std::optional<std::int64_t> epochOfLocal(const LocalDateTime& when) {
    if (when.year < 1601 || when.year > 30827 || when.month < 1 || when.month > 12 ||
        when.day < 1 || when.day > daysInMonth(when.year, when.month) || when.hour < 0 ||
        when.hour > 23 || when.minute < 0 || when.minute > 59 || when.second < 0 ||
        when.second > 59) {
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
