#include "platform/file_io.h"
#include "platform/temporaries.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace tolvane::platform {
namespace {

using testing::endedProcessId;
using testing::HeldLock;
using testing::namesIn;
using testing::TempDir;
using testing::writeFile;

std::string temporaryOf(pid_t process, int counter = 0) {
    return ".tolvane-" + std::to_string(process) + "-" + std::to_string(counter) + ".tmp";
}

TEST(TemporariesTest, RecognisesOnlyTheProgramsOwnNames) {
    TempDir dir;
    NewFile made = NewFile::temporaryBeside((dir.path() / "target").string());
    EXPECT_TRUE(isTemporaryName(std::filesystem::path(made.path()).filename().string()));
    EXPECT_TRUE(isTemporaryName(".tolvane-12-3.tmp"));

    for (const char* name :
         {".tolvane-12.tmp", ".tolvane--3.tmp", ".tolvane-12-.tmp", ".tolvane-0-3.tmp",
          ".tolvane-1a-3.tmp", ".tolvane-12-3.tmpx", "x.tolvane-12-3.tmp", "tolvane-12-3.tmp",
          ".tolvane-12-3-4.tmp", ".tolvane-99999999999-3.tmp", "report.tmp", ""}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(isTemporaryName(name));
    }
}

TEST(TemporariesTest, RemovesLeftoversOfEndedWritersOnly) {
    TempDir dir;
    const pid_t ended = endedProcessId();
    writeFile(dir.path() / temporaryOf(ended, 0), "half a copy");
    std::filesystem::create_symlink("elsewhere", dir.path() / temporaryOf(ended, 1));
    // Not ours or not stale: a user's look-alike, a folder of that name, the
    // temporaries of this live process and of its live parent.
    writeFile(dir.path() / "notes.tmp", "mine");
    writeFile(dir.path() / ("x" + temporaryOf(ended, 2)), "mine");
    std::filesystem::create_directory(dir.path() / temporaryOf(ended, 3));
    writeFile(dir.path() / temporaryOf(::getppid(), 4), "a live writer's");
    NewFile live = NewFile::temporaryBeside((dir.path() / "target").string());
    const std::string liveName = std::filesystem::path(live.path()).filename().string();

    EXPECT_EQ(removeStaleTemporaries(dir.path().string()), 2U);

    std::vector<std::string> expected = {temporaryOf(ended, 3), temporaryOf(::getppid(), 4),
                                         liveName, "notes.tmp", "x" + temporaryOf(ended, 2)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(dir.path()), expected);
}

TEST(TemporariesTest, ALockedTemporaryIsLiveWhateverItsNumberSays) {
    // A writer elsewhere (another machine on a shared folder) holds its lock
    // while its process number means nothing here.
    TempDir dir;
    const auto path = dir.path() / temporaryOf(endedProcessId());
    writeFile(path, "being written");
    {
        HeldLock lock(path);
        EXPECT_FALSE(isStaleTemporary(path.string()));
        EXPECT_EQ(removeStaleTemporaries(dir.path().string()), 0U);
        EXPECT_TRUE(std::filesystem::exists(path));
    }
    EXPECT_TRUE(isStaleTemporary(path.string()));
    EXPECT_EQ(removeStaleTemporaries(dir.path().string()), 1U);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TemporariesTest, AFolderThatCannotBeReadRemovesNothing) {
    TempDir dir;
    EXPECT_EQ(removeStaleTemporaries((dir.path() / "missing").string()), 0U);
    writeFile(dir.path() / "file", "x");
    EXPECT_EQ(removeStaleTemporaries((dir.path() / "file").string()), 0U);
}

} // namespace
} // namespace tolvane::platform
