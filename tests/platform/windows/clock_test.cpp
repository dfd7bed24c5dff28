#include "platform/clock.h"
#include "support/time_zone.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace tolvane::platform {
namespace {

// The suite runs Wine with TZ set to Central European time (see the test
// properties), which Wine turns into the system's time zone.
class WindowsClock : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        ASSERT_TRUE(zone != nullptr && std::string(zone).starts_with("CET"))
            << "run through ctest, which sets the zone";
    }
};

TEST_F(WindowsClock, LocalTimeUsesTheOffsetInForceOnThatDate) {
    EXPECT_EQ(epochOfLocal({2026, 12, 8, 9, 30, 0}), testing::utcSeconds(2026, 12, 8, 8, 30, 0));
    EXPECT_EQ(epochOfLocal({2026, 7, 1, 12, 0, 0}), testing::utcSeconds(2026, 7, 1, 10, 0, 0));
    // Another year's summer has its own rules' dates.
    EXPECT_EQ(epochOfLocal({2030, 3, 31, 12, 0, 0}), testing::utcSeconds(2030, 3, 31, 10, 0, 0));
    EXPECT_EQ(epochOfLocal({2030, 3, 30, 12, 0, 0}), testing::utcSeconds(2030, 3, 30, 11, 0, 0));
}

TEST_F(WindowsClock, AddDaysCrossesTheNightTheClocksGoForward) {
    EXPECT_EQ(dayFolderName(addDays({2026, 3, 29}, -1)), "20260328");
    EXPECT_EQ(dayFolderName(addDays({2026, 3, 28}, 1)), "20260329");
    EXPECT_EQ(dayFolderName(addDays({2026, 10, 25}, 1)), "20261026");
}

TEST(WindowsClockRange, TheEarliestYearWindowsCountsIsAccepted) {
    EXPECT_TRUE(epochOfLocal({1601, 1, 2, 0, 0, 0}));
    EXPECT_FALSE(epochOfLocal({1600, 12, 31, 0, 0, 0}));
}

} // namespace
} // namespace tolvane::platform
