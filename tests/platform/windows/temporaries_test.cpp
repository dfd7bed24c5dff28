#include "platform/file_io.h"
#include "platform/temporaries.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tolvane::platform {
namespace {

using testing::HeldLock;
using testing::namesIn;
using testing::TempDir;
using testing::writeFile;

// No process has this number: Windows numbers them in steps of four, far
// below it.
constexpr unsigned long kEndedProcess = 4294967291ul;

std::string temporaryOf(unsigned long process, int counter = 0) {
    return ".tolvane-" + std::to_string(process) + "-" + std::to_string(counter) + ".tmp";
}

TEST(WindowsTemporaries, RemovesLeftoversOfEndedWritersOnlyReadOnlyOnesToo) {
    TempDir dir;
    writeFile(dir.path() / temporaryOf(kEndedProcess, 0), "half a copy");
    const auto readOnly = dir.path() / temporaryOf(kEndedProcess, 1);
    writeFile(readOnly, "a copy of a read-only file");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    writeFile(dir.path() / "notes.tmp", "mine");
    std::filesystem::create_directory(dir.path() / temporaryOf(kEndedProcess, 3));
    NewFile live = NewFile::temporaryBeside((dir.path() / "target").string());
    const std::string liveName = std::filesystem::path(live.path()).filename().string();

    EXPECT_EQ(removeStaleTemporaries(dir.path().string()), 2U);

    std::vector<std::string> expected = {temporaryOf(kEndedProcess, 3), liveName, "notes.tmp"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(dir.path()), expected);
}

TEST(WindowsTemporaries, AHeldTemporaryIsLiveWhateverItsNumberSays) {
    TempDir dir;
    const auto path = dir.path() / temporaryOf(kEndedProcess);
    writeFile(path, "being written");
    {
        HeldLock held(path);
        EXPECT_FALSE(isStaleTemporary(path.string()));
        EXPECT_EQ(removeStaleTemporaries(dir.path().string()), 0U);
        EXPECT_TRUE(std::filesystem::exists(path));
    }
    EXPECT_TRUE(isStaleTemporary(path.string()));
    EXPECT_EQ(removeStaleTemporaries(dir.path().string()), 1U);
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace tolvane::platform
