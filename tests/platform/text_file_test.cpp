#include "platform/failure.h"
#include "platform/text_file.h"
#include "support/files.h"
#include "support/system.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tolvane::platform {
namespace {

namespace fs = std::filesystem;
#ifndef _WIN32
using tolvane::testing::permissionsOf;
using tolvane::testing::setPermissions;
#endif
using tolvane::testing::readFile;
using tolvane::testing::TempDir;
using tolvane::testing::writeFile;

std::size_t entriesIn(const TempDir& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
}

TEST(TextFile, SplitsLinesAtEveryKindOfEnd) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(splitLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(splitLines("a\nb\rc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(splitLines("\r\n\r\nx\r\n\r\n"), (Lines{"", "", "x", ""}));
    EXPECT_EQ(splitLines(" a \r\n"), Lines{" a "});
}

TEST(TextFile, ReadsPresentMissingAndUnreadablePaths) {
    TempDir dir;
    writeFile(dir / "a.txt", std::string("x\0y", 3));
    EXPECT_EQ(readFileIfPresent(dir / "a.txt"), std::string("x\0y", 3));
    EXPECT_EQ(readFileIfPresent(dir / "missing"), std::nullopt);
    EXPECT_EQ(readFileIfPresent(dir / "a.txt/below"), std::nullopt);
    EXPECT_THROW(readFileBytes(dir / "missing"), Failure);
    // A folder where a file should be is a failure, not an empty file.
    EXPECT_THROW(readFileIfPresent(dir.str()), Failure);
}

#ifndef _WIN32
TEST(TextFile, RefusesWhatIsNoRegularFileOfASaneSize) {
    TempDir dir;
    // None of these may hang or exhaust memory.
    tolvane::testing::makeFifo(dir / "pipe");
    fs::create_symlink("/dev/zero", dir / "zero");
    const std::string large = dir / "large";
    writeFile(large, "");
    fs::resize_file(large, kMaxTextFileBytes + 1);
    for (const std::string name : {"pipe", "zero", "large"}) {
        SCOPED_TRACE(name);
        try {
            readFileIfPresent(dir / name);
            FAIL() << "read";
        } catch (const Failure& failure) {
            EXPECT_NE(failure.description().find(dir / name), std::string::npos)
                << failure.description();
        }
    }
    const std::string largest = dir / "largest";
    writeFile(largest, "");
    fs::resize_file(largest, kMaxTextFileBytes);
    EXPECT_EQ(readFileIfPresent(largest)->size(), kMaxTextFileBytes);
}
#endif

TEST(TextFile, ReadsLinesOfAShiftJisFile) {
    TempDir dir;
    writeFile(dir / "list.dat", "/srv/\x83\x66\x81\x5B\x83\x5E\r\n\r\n/srv/b");
    EXPECT_EQ(readTextLines(dir / "list.dat"),
              (std::vector<std::string>{"/srv/データ", "", "/srv/b"}));
}

TEST(TextFile, CreatesAnEmptyFileButNeverEmptiesOne) {
    TempDir dir;
    createEmptyFile(dir / "new.dat");
    EXPECT_EQ(readFile(dir / "new.dat"), "");
    writeFile(dir / "old.dat", "keep\r\n");
    createEmptyFile(dir / "old.dat");
    EXPECT_EQ(readFile(dir / "old.dat"), "keep\r\n");
    try {
        createEmptyFile(dir / "no-folder/x.dat");
        FAIL() << "created a file in a missing folder";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), testing::kFolderNotFound);
        EXPECT_NE(failure.description().find(dir / "no-folder/x.dat"), std::string::npos);
    }
}

TEST(AtomicWrite, ReplacesTheFileOnlyOnCommitAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir / "Tolvane.Ini";
    writeFile(path, "old");
    {
        PendingFile pending(path, "new");
        EXPECT_EQ(readFile(path), "old");
        EXPECT_EQ(entriesIn(dir), 2u);
        pending.commit();
    }
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(entriesIn(dir), 1u);

    { PendingFile dropped(path, "never"); }
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(entriesIn(dir), 1u);

    writeFileAtomically(dir / "fresh", "made");
    EXPECT_EQ(readFile(dir / "fresh"), "made");
}

#ifndef _WIN32
// Permission bits: the Windows twin checks the read-only attribute.
TEST(AtomicWrite, KeepsModeAndRefusesReadOnlyFilesAndFolders) {
    TempDir dir;
    const std::string path = dir / "settings";
    writeFile(path, "old");
    setPermissions(path, 0640);
    writeFileAtomically(path, "new");
    EXPECT_EQ(permissionsOf(path), 0640u);

    setPermissions(path, 0444);
    try {
        writeFileAtomically(path, "refused");
        FAIL() << "a read-only file was replaced";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), EACCES);
    }
    EXPECT_EQ(readFile(path), "new");

    fs::create_directory(dir / "folder");
    EXPECT_THROW(writeFileAtomically(dir / "folder", "x"), Failure);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_THROW(writeFileAtomically(dir / "missing/x", "x"), Failure);
    EXPECT_EQ(entriesIn(dir), 2u);
}
#endif

#ifndef _WIN32
TEST(AtomicWrite, AFolderThatTakesNoNewFilesIsWrittenInPlace) {
    TempDir dir;
    const std::string path = dir / "settings";
    writeFile(path, "old content");
    tolvane::testing::ClosedFolder closed(dir.path());
    if (!closed.closed()) {
        GTEST_SKIP() << "this file system cannot close a folder to new entries";
    }
    { PendingFile dropped(path, "a longer content that is never committed"); }
    EXPECT_EQ(readFile(path), "old content");
    writeFileAtomically(path, "a longer content than before");
    EXPECT_EQ(readFile(path), "a longer content than before");
    writeFileAtomically(path, "short");
    EXPECT_EQ(readFile(path), "short");
    // A new file still needs the folder.
    EXPECT_THROW(writeFileAtomically(dir / "new", "x"), Failure);
    EXPECT_EQ(entriesIn(dir), 1u);
}
#endif

TEST(AtomicWrite, WritesThroughALink) {
    TempDir dir;
    SKIP_WITHOUT_SYMLINKS(dir.path());
    fs::create_directory(dir / "real");
    writeFile(dir / "real/file", "old");
    fs::create_symlink(dir / "real/file", dir / "link");
    writeFileAtomically(dir / "link", "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(readFile(dir / "real/file"), "new");
}

TEST(AtomicWrite, AFailedRenameKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir / "target";
    writeFile(path, "old");
    PendingFile pending(path, "new");
    // Something else takes the place between preparing and committing.
    fs::remove(path);
    fs::create_directory(path);
    writeFile(path + "/inside", "x");
    EXPECT_THROW(pending.commit(), Failure);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(entriesIn(dir), 1u);
}

} // namespace
} // namespace tolvane::platform
