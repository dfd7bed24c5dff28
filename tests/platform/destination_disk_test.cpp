#include "platform/destination_disk.h"
#include "platform/paths.h"
#include "support/files.h"
#include "support/temp_dir.h"
#ifndef _WIN32
#include "support/fat_times_disk.h"
#include "support/mounted_disk.h"
#endif

#include <gtest/gtest.h>

namespace tolvane::platform {
namespace {

using testing::TempDir;

TEST(KeptTime, EachWayOfKeepingTimesGivesTheSecondsTheDiskHolds) {
    struct Case {
        TimeKeeping times;
        std::int64_t seconds;
        std::int32_t nanos;
        std::int64_t kept;
    };
    const Case cases[] = {
        {TimeKeeping::WholeSeconds, 41, 370'000'000, 41},
        {TimeKeeping::WholeSeconds, 42, 0, 42},
        {TimeKeeping::WholeSecondsUp, 41, 0, 41},
        {TimeKeeping::WholeSecondsUp, 41, 1, 42},
        {TimeKeeping::TwoSecondsDown, 41, 999'999'999, 40},
        {TimeKeeping::TwoSecondsDown, 42, 500'000'000, 42},
        {TimeKeeping::TwoSecondsDown, -1, 0, -2},
        {TimeKeeping::TwoSecondsUp, 41, 0, 42},
        {TimeKeeping::TwoSecondsUp, 42, 0, 42},
        {TimeKeeping::TwoSecondsUp, 42, 1, 44},
        {TimeKeeping::TwoSecondsUp, 41, 999'999'999, 42},
        {TimeKeeping::TwoSecondsUp, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.times)) + " " + std::to_string(c.seconds) +
                     "." + std::to_string(c.nanos));
        EXPECT_EQ(keptSeconds(c.times, c.seconds, c.nanos), c.kept);
        FileStatus source;
        source.modified = c.seconds;
        source.modifiedNanos = c.nanos;
        FileStatus copy;
        copy.modified = c.kept;
        EXPECT_TRUE(sameKeptTime(c.times, copy, source));
        copy.modified = c.kept + 1;
        EXPECT_FALSE(sameKeptTime(c.times, copy, source));
    }
    // Where no time is kept, no copy is ever known to be up to date.
    FileStatus same;
    same.modified = 42;
    EXPECT_FALSE(sameKeptTime(TimeKeeping::NotKept, same, same));
}

TEST(CaseFoldedName, NamesThatDifferOnlyInCaseFoldAlike) {
    EXPECT_EQ(caseFoldedName("Report.txt"), caseFoldedName("report.TXT"));
    EXPECT_EQ(caseFoldedName("Élan"), caseFoldedName("élan"));
    EXPECT_EQ(caseFoldedName("ΣΟΦΙΑ"), caseFoldedName("σοφια"));
    // Fullwidth letters, as Japanese input gives them.
    EXPECT_EQ(caseFoldedName("ＡＢＣ"), caseFoldedName("ａｂｃ"));
    EXPECT_NE(caseFoldedName("report1"), caseFoldedName("report2"));
    EXPECT_NE(caseFoldedName("報告.txt"), caseFoldedName("報吿.txt"));
    EXPECT_EQ(caseFoldedName("報告.txt"), caseFoldedName("報告.TXT"));
#ifndef _WIN32
    // Bytes that form no character are compared as they are.
    EXPECT_EQ(caseFoldedName("a\xff"
                             "b"),
              caseFoldedName("A\xff"
                             "B"));
    EXPECT_NE(caseFoldedName("a\xff"), caseFoldedName("a\xfe"));
#endif
}

TEST(DestinationProbe, ALocalFolderKeepsTimesAndLeavesNoProbeBehind) {
    const TempDir dir;
    const DestinationDisk disk = probeDestination(dir.path().string());
    EXPECT_EQ(disk.times, TimeKeeping::WholeSeconds);
    EXPECT_FALSE(disk.largestFile.has_value());
#ifdef _WIN32
    // Windows compares names without case on its own disks.
    EXPECT_TRUE(disk.caseInsensitive);
#else
    EXPECT_FALSE(disk.caseInsensitive);
#endif
    EXPECT_TRUE(testing::namesIn(dir.path()).empty());
    // A folder that is not there takes no probe: the plain rules stand.
    const DestinationDisk missing = probeDestination((dir.path() / "gone").string());
    EXPECT_EQ(missing.times, TimeKeeping::WholeSeconds);
    EXPECT_FALSE(missing.caseInsensitive);
}

#ifndef _WIN32
TEST(DestinationProbe, EachFatDriversTimesAreLearntFromTheDiskItself) {
    const TempDir dir;
    const std::pair<const char*, TimeKeeping> cases[] = {
        {"up", TimeKeeping::TwoSecondsUp},
        {"down", TimeKeeping::TwoSecondsDown},
        {"whole", TimeKeeping::WholeSeconds},
        {"none", TimeKeeping::NotKept},
    };
    for (const auto& [times, expected] : cases) {
        SCOPED_TRACE(times);
        const testing::FatTimesDisk disk(dir.path(), times);
        if (!disk.available()) {
            GTEST_SKIP() << disk.reason();
        }
        EXPECT_EQ(probeDestination(disk.path().string()).times, expected);
        EXPECT_TRUE(testing::namesIn(disk.backing()).empty());
    }
}

TEST(DestinationProbe, AFatDiskHasItsFileSizeLimitAndExfatIgnoresCase) {
    const TempDir dir;
    {
        const testing::FatTimesDisk fat(dir.path(), "up", "--subtype vfat");
        if (!fat.available()) {
            GTEST_SKIP() << fat.reason();
        }
        EXPECT_EQ(probeDestination(fat.path().string()).largestFile, 0xFFFFFFFFLL);
        EXPECT_EQ(largestFileIn((fat.path() / ".").string()), 0xFFFFFFFFLL);
    }
    const testing::MountedDisk exfat(dir.path(), "exfat", 16);
    if (!exfat.available()) {
        GTEST_SKIP() << exfat.reason();
    }
    const DestinationDisk disk = probeDestination(exfat.path().string());
    EXPECT_TRUE(disk.caseInsensitive);
    EXPECT_EQ(disk.times, TimeKeeping::WholeSeconds);
    EXPECT_FALSE(disk.largestFile.has_value());
    EXPECT_TRUE(testing::namesIn(exfat.path()).empty());
}
#endif

} // namespace
} // namespace tolvane::platform
