// Backups onto the disks users back up to, mounted for real: FAT (the
// stand-in that keeps times as FAT does), exFAT and NTFS.
#ifndef _WIN32

#include "engine/messages.h"
#include "engine_fixture.h"
#include "support/fat_times_disk.h"
#include "support/mounted_disk.h"

#include <algorithm>
#include <sys/xattr.h>

namespace tolvane::engine {
namespace {

namespace fs = std::filesystem;
using platform::FailureCause;

class DestinationDisks : public EngineTest {
  protected:
    // Sets a file's time to the nanosecond.
    void setTime(const std::string& relative, std::int64_t seconds, long nanos) {
        platform::setModificationTime(path(relative), seconds, static_cast<std::int32_t>(nanos));
    }

    std::size_t countOf(const std::string& text, const std::string& part) const {
        std::size_t count = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
            ++count;
        }
        return count;
    }

    std::vector<FailureCause> causes() const {
        std::vector<FailureCause> found;
        for (const auto& failure : engine.report().failures) {
            found.push_back(failure.cause);
        }
        return found;
    }
};

// Files with odd and even seconds, with and without a fraction: half of them
// were copied again on every run when whole seconds were compared.
TEST_F(DestinationDisks, FatTimesRoundedEitherWayCopyNothingAgain) {
    for (const char* times : {"up", "down"}) {
        SCOPED_TRACE(times);
        const testing::FatTimesDisk disk(dir.path(), times);
        if (!disk.available()) {
            GTEST_SKIP() << disk.reason();
        }
        const std::string src = std::string("src-") + times;
        for (int file = 0; file < 8; ++file) {
            const std::string name = src + "/f" + std::to_string(file);
            write(name, "content " + std::to_string(file));
            setTime(name, 1'700'000'000 + file, file % 2 == 0 ? 0 : 250'000'000 * (file / 2));
        }
        write(src + "-single", "one");
        setTime(src + "-single", 1'700'000'041, 370'000'000);
        state.clearListTargets();
        state.addListTarget(path(src));
        state.addListTarget(path(src + "-single"));
        state.setTextSaveAt(disk.path().string());

        engine.runCopy(); // the folder is new
        engine.runCopy(); // the folder is walked
        EXPECT_EQ(engine.report().copied, 0u);
        EXPECT_EQ(engine.report().unchanged, 9u);
        engine.runCopy();
        EXPECT_EQ(engine.report().copied, 0u);

        // A change of one step is seen.
        setTime(src + "/f3", 1'700'000'005, 0);
        engine.runCopy();
        EXPECT_EQ(engine.report().copied, 1u);
        EXPECT_TRUE(shell.runReports.empty());
    }
}

TEST_F(DestinationDisks, WholeSecondsKeepTheOneSecondRuleAndNoKeptTimeIsSaidOnce) {
    {
        const testing::FatTimesDisk disk(dir.path(), "whole");
        if (!disk.available()) {
            GTEST_SKIP() << disk.reason();
        }
        write("a.txt", "a");
        setTime("a.txt", 1'700'000'041, 370'000'000);
        state.addListTarget(path("a.txt"));
        state.setTextSaveAt(disk.path().string());
        engine.runCopy();
        engine.runCopy();
        EXPECT_EQ(engine.report().unchanged, 1u);
        // One second apart, the same length: copied.
        setTime("a.txt", 1'700'000'042, 370'000'000);
        engine.runCopy();
        EXPECT_EQ(engine.report().copied, 1u);
        EXPECT_TRUE(shell.runReports.empty());
    }
    const testing::FatTimesDisk disk(dir.path(), "none");
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    write("src/b.txt", "b");
    write("src/c.txt", "c");
    write("src/d.txt", "d");
    state.clearListTargets();
    state.addListTarget(path("src"));
    state.setTextSaveAt(disk.path().string());
    engine.runCopy();
    shell.runReports.clear();
    engine.runCopy();
    // Nothing can be known to be up to date, and the user is told so once.
    EXPECT_EQ(engine.report().copied, 3u);
    EXPECT_EQ(engine.lastRunOutcome(), MirrorEngine::RunOutcome::Completed);
    ASSERT_EQ(shell.runReports.size(), 1u);
    EXPECT_EQ(shell.runReports[0], text::kNoticeTimesNotKept + disk.path().string());
}

// A 4.5 GB file is known to be too large for FAT32 before a byte is
// written, whether listed, met by the walk or inside a new folder.
TEST_F(DestinationDisks, AFileTooLargeForFatIsReportedAtOnceAndTheOldCopyKept) {
    // The stand-in refuses the length past its limit as the user saw it
    // refused: "Operation not permitted", which tells nothing.
    const testing::FatTimesDisk disk(dir.path(), "up",
                                     "--subtype vfat --max-file-size 4294967295 "
                                     "--too-large-error EPERM");
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    const auto sparse = [this](const std::string& relative) {
        write(relative, "");
        fs::resize_file(path(relative), 4'500'000'000);
    };
    sparse("big.bin");
    sparse("walked/big.bin");
    write("walked/small.txt", "small");
    sparse("fresh/big.bin");
    write("fresh/small.txt", "small");
    write("after.txt", "after");
    testing::writeFile(disk.path() / "big.bin", "old copy");
    fs::create_directory(disk.path() / "walked");
    for (const char* entry : {"big.bin", "walked", "fresh", "after.txt"}) {
        state.addListTarget(path(entry));
    }
    state.setTextSaveAt(disk.path().string());

    engine.runCopy();

    EXPECT_EQ(causes(), std::vector<FailureCause>(3, FailureCause::TooLarge));
    EXPECT_EQ(testing::readFile(disk.path() / "big.bin"), "old copy");
    EXPECT_EQ(testing::readFile(disk.path() / "walked/small.txt"), "small");
    EXPECT_EQ(testing::readFile(disk.path() / "fresh/small.txt"), "small");
    EXPECT_EQ(testing::readFile(disk.path() / "after.txt"), "after");
    EXPECT_EQ(testing::namesIn(disk.backing() / "walked"), std::vector<std::string>{"small.txt"});
    ASSERT_EQ(shell.runReports.size(), 1u);
    EXPECT_EQ(countOf(shell.runReports[0], text::kCauseTooLarge), 3u);
}

TEST_F(DestinationDisks, CaseTwinsOnExfatKeepTheFirstAndReportTheOther) {
    const testing::MountedDisk disk(dir.path(), "exfat", 16);
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    for (const char* folder : {"walked", "fresh"}) {
        write(std::string(folder) + "/Report.txt", "upper");
        write(std::string(folder) + "/report.txt", "lower!");
        write(std::string(folder) + "/other.txt", "other");
    }
    fs::create_directory(disk.path() / "walked");
    state.addListTarget(path("walked"));
    state.addListTarget(path("fresh"));
    state.setTextSaveAt(disk.path().string());

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        engine.runCopy();
        for (const char* folder : {"walked", "fresh"}) {
            EXPECT_EQ(testing::readFile(disk.path() / folder / "Report.txt"), "upper");
            EXPECT_EQ(testing::readFile(disk.path() / folder / "other.txt"), "other");
        }
        EXPECT_EQ(causes(), std::vector<FailureCause>(2, FailureCause::CaseTwin));
        ASSERT_EQ(engine.report().failures.size(), 2u);
        EXPECT_EQ(engine.report().failures[0].paths[0], "コピー元：" + path("walked/report.txt"));
        EXPECT_EQ(engine.report().failures[0].systemText, "「Report.txt」と同じ名前になります");
    }
    // The kept copy is left alone on later runs.
    EXPECT_EQ(engine.report().copied, 0u);
    EXPECT_EQ(engine.report().unchanged, 4u);
}

// exFAT drops a date set alone and every read-only mark; dates set with the
// access time are kept, and the marks are said once, not per file.
TEST_F(DestinationDisks, ExfatKeepsTheCopyDateAndSaysOnceThatMarksAreDropped) {
    const testing::MountedDisk disk(dir.path(), "exfat", 16);
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    for (const char* name : {"src/a.txt", "src/b.txt", "single.txt"}) {
        write(name, name);
    }
    fs::create_directory(disk.path() / "src");
    state.addListTarget(path("src"));
    state.addListTarget(path("single.txt"));
    state.setTextSaveAt(disk.path().string());
    state.setKeepCopyDates(false);
    const char* fields[] = {"2024", "3", "9", "12", "30", "44"};
    for (int i = 0; i < 6; ++i) {
        state.setTextDate(i, fields[i]);
    }
    state.setCopyAtReadOnlyChecked(true);

    engine.runCopy();

    const auto expected = platform::epochOfLocal({2024, 3, 9, 12, 30, 44});
    ASSERT_TRUE(expected);
    for (const char* name : {"src/a.txt", "src/b.txt", "single.txt"}) {
        EXPECT_EQ(platform::fileStatus((disk.path() / name).string()).modified, *expected) << name;
    }
    EXPECT_TRUE(engine.report().failures.empty());
    ASSERT_EQ(shell.runReports.size(), 1u);
    EXPECT_EQ(shell.runReports[0], text::kNoticeReadOnlyDropped + disk.path().string());
}

TEST_F(DestinationDisks, NtfsCopiesCarryTheDisksOwnReadOnlyAttribute) {
    const testing::MountedDisk disk(dir.path(), "ntfs", 16);
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    write("a.txt", "a");
    state.addListTarget(path("a.txt"));
    state.setTextSaveAt(disk.path().string());
    state.setCopyAtReadOnlyChecked(true);

    engine.runCopy();

    const auto marked = [&disk] {
        unsigned char word[4]{};
        return ::getxattr((disk.path() / "a.txt").c_str(), "system.ntfs_attrib_be", word, 4) == 4 &&
               (word[3] & 0x1) != 0;
    };
    EXPECT_TRUE(marked());
    // A changed source replaces the marked copy, which is marked again.
    write("a.txt", "changed");
    engine.runCopy();
    EXPECT_EQ(testing::readFile(disk.path() / "a.txt"), "changed");
    EXPECT_TRUE(marked());
    EXPECT_TRUE(shell.runReports.empty());
}

// The cause says the file system does not take the name, whether it reads
// as "invalid" (NTFS with Windows rules) or as "not found" (exFAT).
TEST_F(DestinationDisks, NamesTheDiskRefusesSaySo) {
    for (const char* kind : {"ntfs", "exfat"}) {
        SCOPED_TRACE(kind);
        const testing::MountedDisk disk(dir.path() / kind, kind, 16,
                                        std::string(kind) == "ntfs" ? "windows_names" : "");
        if (!disk.available()) {
            GTEST_SKIP() << disk.reason();
        }
        const std::string src = std::string("src-") + kind;
        write(src + "/a:b.txt", "colon");
        write(src + "/q?.txt", "question");
        write(src + "/fine.txt", "fine");
        state.clearListTargets();
        state.addListTarget(path(src));
        state.setTextSaveAt(disk.path().string());

        engine.runCopy(); // a new folder
        EXPECT_EQ(causes(), std::vector<FailureCause>(2, FailureCause::NameRefused));
        engine.runCopy(); // walked
        EXPECT_EQ(causes(), std::vector<FailureCause>(2, FailureCause::NameRefused));
        EXPECT_EQ(testing::namesIn(disk.path() / src), std::vector<std::string>{"fine.txt"});
    }
}

} // namespace
} // namespace tolvane::engine

#endif
