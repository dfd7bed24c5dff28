#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tolvane::platform {

struct LocalDate {
    int year;
    int month;
    int day;
};

// A local date-time in whole seconds, as the user enters it.
struct LocalDateTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

LocalDate today();
// The local date-time now, in whole seconds.
LocalDateTime now();
LocalDate addDays(LocalDate date, int days);

// "YYYYMMDD"
std::string dayFolderName(LocalDate date);

// Whether the fields form a real calendar date-time (no month 13, no 30
// February, no hour 24) with the year within 1601..30827.
bool isRealDateTime(const LocalDateTime& when);

// Seconds since the epoch of a local date-time, converted with the time-zone
// offset in force on that date. Nothing when the fields do not form a real
// calendar date-time (month 13, 30 February, hour 24) or the year lies
// outside 1601..30827.
std::optional<std::int64_t> epochOfLocal(const LocalDateTime& when);

} // namespace tolvane::platform
