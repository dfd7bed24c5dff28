#include "platform/clock.h"

#include <cstdio>

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

bool isRealDateTime(const LocalDateTime& when) {
    return when.year >= 1601 && when.year <= 30827 && when.month >= 1 && when.month <= 12 &&
           when.day >= 1 && when.day <= daysInMonth(when.year, when.month) && when.hour >= 0 &&
           when.hour <= 23 && when.minute >= 0 && when.minute <= 59 && when.second >= 0 &&
           when.second <= 59;
}

std::string dayFolderName(LocalDate date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
    return text;
}

} // namespace tolvane::platform
