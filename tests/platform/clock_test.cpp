#include "platform/clock.h"
#include "support/time_zone.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tolvane::platform {
namespace {

TEST(Clock, DayFolderNameIsEightDigits) {
    EXPECT_EQ(dayFolderName({2026, 12, 8}), "20261208");
    EXPECT_EQ(dayFolderName({987, 1, 2}), "09870102");
}

#ifndef _WIN32
// The zone is set through TZ, which only the C library of a POSIX system
// lets decide local time.
using testing::kCentralEurope;
using testing::ZoneScope;

std::int64_t utc(int y, int mo, int d, int h, int mi, int s) {
    return testing::utcSeconds(y, mo, d, h, mi, s);
}

TEST(Clock, AddDaysCrossesMonthsYearsAndDaylightSavingChanges) {
    ZoneScope zone(kCentralEurope);
    const LocalDate newYear = addDays({2027, 1, 1}, -1);
    EXPECT_EQ(dayFolderName(newYear), "20261231");
    const LocalDate leap = addDays({2028, 2, 28}, 1);
    EXPECT_EQ(dayFolderName(leap), "20280229");
    // The night the clocks go forward is an hour short.
    EXPECT_EQ(dayFolderName(addDays({2026, 3, 29}, -1)), "20260328");
    EXPECT_EQ(dayFolderName(addDays({2026, 3, 28}, 1)), "20260329");
}

TEST(Clock, LocalTimeUsesTheOffsetInForceOnThatDate) {
    ZoneScope zone(kCentralEurope);
    EXPECT_EQ(epochOfLocal({2026, 12, 8, 9, 30, 0}), utc(2026, 12, 8, 8, 30, 0));
    EXPECT_EQ(epochOfLocal({2026, 7, 1, 12, 0, 0}), utc(2026, 7, 1, 10, 0, 0));
}

#endif

TEST(Clock, AddDaysCrossesMonthsAndYears) {
    EXPECT_EQ(dayFolderName(addDays({2027, 1, 1}, -1)), "20261231");
    EXPECT_EQ(dayFolderName(addDays({2028, 2, 28}, 1)), "20280229");
    EXPECT_EQ(dayFolderName(addDays({2026, 3, 1}, -1)), "20260228");
    EXPECT_EQ(dayFolderName(addDays({2026, 3, 28}, 1)), "20260329");
}

TEST(Clock, FieldsThatFormNoDateTimeAreRefused) {
    EXPECT_FALSE(epochOfLocal({2026, 13, 1, 0, 0, 0}));
    EXPECT_FALSE(epochOfLocal({2026, 2, 30, 0, 0, 0}));
    EXPECT_FALSE(epochOfLocal({2026, 2, 29, 0, 0, 0}));
    EXPECT_TRUE(epochOfLocal({2028, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(epochOfLocal({2026, 1, 1, 24, 0, 0}));
    EXPECT_FALSE(epochOfLocal({2026, 1, 1, 0, 60, 0}));
    EXPECT_FALSE(epochOfLocal({0, 1, 1, 0, 0, 0}));
}

#ifndef _WIN32
TEST(Clock, TheSecondBeforeTheEpochIsARealTime) {
    ZoneScope zone("UTC0");
    EXPECT_EQ(epochOfLocal({1969, 12, 31, 23, 59, 59}), -1);
}
#endif

} // namespace
} // namespace tolvane::platform
