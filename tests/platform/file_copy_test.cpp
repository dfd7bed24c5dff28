#include "platform/failure.h"
#include "platform/files.h"
#include "support/files.h"
#include "support/mounted_disk.h"
#include "support/temp_dir.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tolvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::ActingAsOtherUser;
using testing::namesIn;
using testing::readFile;
using testing::setModified;
using testing::setPermissions;
using testing::SmallFileSystem;
using testing::TempDir;
using testing::writeFile;

// The platform's number of a failed copy; 0 when it succeeded.
int copyFailure(const std::string& from, const std::string& to) {
    try {
        copyFile(from, to);
    } catch (const Failure& failure) {
        return failure.number();
    }
    return 0;
}

TEST(FileCopyInPlace, AFolderThatRefusesNewFilesHasItsWritableOldCopyOverwritten) {
    TempDir dir;
    const fs::path folder = dir.path() / "locked";
    writeFile(dir.path() / "source", "the new version");
    setModified(dir.path() / "source", 1765000000);
    writeFile(folder / "copy", "old");
    writeFile(folder / "kept", "old, not writable");
    setPermissions(folder / "kept", 0444);
    // Writable by everyone, but not ours: its time and mode could not be set
    // after writing, so it would be rewritten on every run.
    const bool foreignCopy = ::geteuid() == 0;
    writeFile(folder / "foreign", "old, someone else's");
    setPermissions(folder / "foreign", 0666);
    ActingAsOtherUser::giveToActingUser(folder / "copy");
    ActingAsOtherUser::giveToActingUser(folder / "kept");
    setPermissions(folder, 0555);

    int copied = -1;
    int refused = 0;
    int foreign = 0;
    {
        const ActingAsOtherUser otherUser;
        copied = copyFailure((dir.path() / "source").string(), (folder / "copy").string());
        refused = copyFailure((dir.path() / "source").string(), (folder / "kept").string());
        foreign = copyFailure((dir.path() / "source").string(), (folder / "foreign").string());
    }
    if (foreignCopy) {
        EXPECT_EQ(foreign, EPERM);
        EXPECT_EQ(readFile(folder / "foreign"), "old, someone else's");
    }

    EXPECT_EQ(copied, 0);
    EXPECT_EQ(readFile(folder / "copy"), "the new version");
    EXPECT_EQ(fileStatus((folder / "copy").string()).modified, 1765000000);
    // Even writing in place is refused: the old copy stays as it was.
    EXPECT_EQ(refused, EACCES);
    EXPECT_EQ(readFile(folder / "kept"), "old, not writable");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"copy", "foreign", "kept"}));
}

TEST(FileCopyInPlace, ANearlyFullDiskTakesTheNewVersionOverTheOldOne) {
    TempDir dir;
    const SmallFileSystem disk(dir.path() / "disk", 1024 * 1024);
    if (!disk.available()) {
        GTEST_SKIP() << "no file system can be mounted here";
    }
    // Room for the new version, not for both.
    const std::string newVersion(700 * 1024, 'n');
    writeFile(dir.path() / "source", newVersion);
    writeFile(disk.path() / "copy", std::string(600 * 1024, 'o'));

    EXPECT_EQ(copyFailure((dir.path() / "source").string(), (disk.path() / "copy").string()), 0);
    EXPECT_TRUE(readFile(disk.path() / "copy") == newVersion);
    EXPECT_EQ(namesIn(disk.path()), std::vector<std::string>{"copy"});
}

TEST(FileCopyInPlace, ANewVersionThatCannotFitEvenInPlaceLeavesTheOldCopyAlone) {
    TempDir dir;
    const SmallFileSystem disk(dir.path() / "disk", 1024 * 1024);
    if (!disk.available()) {
        GTEST_SKIP() << "no file system can be mounted here";
    }
    const std::string oldVersion(200 * 1024, 'o');
    writeFile(dir.path() / "source", std::string(900 * 1024, 'n'));
    writeFile(disk.path() / "copy", oldVersion);
    writeFile(disk.path() / "other", std::string(600 * 1024, 'x'));
    writeFile(dir.path() / "new source", std::string(300 * 1024, 'n'));

    EXPECT_EQ(copyFailure((dir.path() / "source").string(), (disk.path() / "copy").string()),
              ENOSPC);
    EXPECT_TRUE(readFile(disk.path() / "copy") == oldVersion);
    // A new file has no old copy to fall back on.
    EXPECT_EQ(copyFailure((dir.path() / "new source").string(), (disk.path() / "new").string()),
              ENOSPC);
    EXPECT_EQ(namesIn(disk.path()), (std::vector<std::string>{"copy", "other"}));
}

// Writes into `path` until the file system says it is full, twice, with the
// disk's pending work done in between, so nothing freed later makes room.
void fillUp(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    const std::string chunk(64 * 1024, 'f');
    for (int round = 0; round < 2; ++round) {
        while (out.write(chunk.data(), static_cast<std::streamsize>(chunk.size())) && out.flush()) {
        }
        out.clear();
        testing::runCommand("sync -f " + testing::shellQuoted(path.string()));
    }
}

TEST(FileCopyInPlace, AFullCopyOnWriteDiskKeepsTheOldCopyWholeForTheSuperuserToo) {
    // btrfs keeps blocks back that nobody may write into, and an overwrite
    // there needs new blocks before the old ones go.
    TempDir dir;
    const testing::MountedDisk disk(dir.path(), "btrfs", 128);
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    const fs::path folder = disk.path() / "backup";
    const std::string oldVersion(3 * 1024 * 1024, 'o');
    writeFile(folder / "copy", oldVersion);
    writeFile(dir.path() / "source", std::string(6 * 1024 * 1024, 'n'));
    fillUp(disk.path() / "filler");
    // The superuser too is refused new files there.
    const std::string lock = "chattr +i " + testing::shellQuoted(folder.string());
    if (testing::runCommand(lock).status != 0) {
        GTEST_SKIP() << "`" << lock << "` refused";
    }

    std::optional<FailureCause> cause;
    try {
        copyFile((dir.path() / "source").string(), (folder / "copy").string());
    } catch (const Failure& failure) {
        cause = failure.cause();
    }
    testing::runCommand("chattr -i " + testing::shellQuoted(folder.string()));

    EXPECT_EQ(cause, FailureCause::NoRoom);
    EXPECT_TRUE(readFile(folder / "copy") == oldVersion);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"copy"});
}

TEST(FileCopy, AKilledCopyLeavesNoFileUnderItsNameAndTheNextCopyRemovesItsTemporary) {
    TempDir dir;
    const fs::path out = dir.path() / "out";
    writeFile(dir.path() / "source", std::string(256 * 1024, 's'));
    writeFile(dir.path() / "small", "small");
    writeFile(out / "old", "previous backup");

    for (const char* name : {"new", "old"}) {
        SCOPED_TRACE(name);
        const pid_t killed = testing::killedWhileWriting(
            64 * 1024, [&] { copyFile((dir.path() / "source").string(), (out / name).string()); });
        ASSERT_GT(killed, 0);
        const auto names = namesIn(out);
        const std::string leftover = ".tolvane-" + std::to_string(killed) + "-";
        EXPECT_EQ(std::count_if(names.begin(), names.end(),
                                [&](const std::string& n) { return n.rfind(leftover, 0) == 0; }),
                  1);
    }
    EXPECT_FALSE(fs::exists(out / "new"));
    EXPECT_EQ(readFile(out / "old"), "previous backup");

    copyFile((dir.path() / "small").string(), (out / "next").string());

    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"next", "old"}));
}

TEST(FileCopy, ASourceThatKeepsChangingLeavesACopyTheNextRunTakesForOutOfDate) {
    TempDir dir;
    const fs::path source = dir.path() / "source";
    constexpr std::uint64_t size = 64 * 1024 * 1024;
    // Early in a second, so the whole copy and every rewrite share it.
    while (std::chrono::system_clock::now().time_since_epoch() % std::chrono::seconds(1) >
           std::chrono::milliseconds(50)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    writeFile(source, std::string(size, 's'));
    // Rewritten in place all through the copy, keeping its size.
    std::atomic<bool> stop{false};
    std::atomic<int> rewrites{0};
    std::thread writer([&] {
        std::fstream file(source, std::ios::in | std::ios::out | std::ios::binary);
        for (std::uint64_t i = 0; !stop; ++i) {
            file.seekp(static_cast<std::streamoff>((i * 4099) % size));
            file.put(static_cast<char>('a' + i % 26));
            file.flush();
            ++rewrites;
        }
    });
    while (rewrites == 0) {
        std::this_thread::yield();
    }

    const int copied = copyFailure(source.string(), (dir.path() / "copy").string());
    stop = true;
    writer.join();

    EXPECT_EQ(copied, 0);
    // A copy that matches the source in size and second must match it in
    // content too; a later rewrite within the same second is no copy's
    // fault, so one whose content still agrees passes either way.
    const FileStatus original = fileStatus(source.string());
    const FileStatus copy = fileStatus((dir.path() / "copy").string());
    EXPECT_EQ(copy.size, original.size);
    EXPECT_TRUE(copy.modified != original.modified ||
                readFile(dir.path() / "copy") == readFile(source));
}

TEST(FileCopy, AFileSystemWithoutPermissionBitsStillTakesTheCopy) {
    TempDir dir;
    writeFile(dir.path() / "source", "content");
    setPermissions(dir.path() / "source", 0640);
    setModified(dir.path() / "source", 1765000000);
    writeFile(dir.path() / "old", "previous");

    // 0 when both copies are complete; the read-only mark is refused too.
    const int result = testing::runWithModeChangesRefused([&] {
        if (copyFailure((dir.path() / "source").string(), (dir.path() / "new").string()) != 0 ||
            copyFailure((dir.path() / "source").string(), (dir.path() / "old").string()) != 0) {
            return 1;
        }
        return setAttributesReadOnly((dir.path() / "new").string()) ? 2 : 0;
    });
    if (result == -1) {
        GTEST_SKIP() << "permission changes cannot be refused here";
    }

    EXPECT_EQ(result, 0);
    for (const char* name : {"new", "old"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readFile(dir.path() / name), "content");
        EXPECT_EQ(fileStatus((dir.path() / name).string()).modified, 1765000000);
    }
}

} // namespace
} // namespace tolvane::platform
