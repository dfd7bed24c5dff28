#include "platform/archive_status.h"
#include "platform/failure.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "support/files.h"
#include "support/system.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tolvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

std::string readAll(InputFile& file) {
    std::string content;
    char buffer[3];
    while (const std::size_t got = file.read(buffer, sizeof buffer)) {
        content.append(buffer, got);
    }
    return content;
}

TEST(InputFile, ReadsToTheEndAndTellsAMissingFileFromAnUnreadableOne) {
    TempDir dir;
    writeFile(dir / "a", std::string("ab\0cdefg", 8));
    InputFile file(dir / "a");
    EXPECT_EQ(readAll(file), std::string("ab\0cdefg", 8));
    EXPECT_EQ(file.read(nullptr, 0), 0u);

    EXPECT_FALSE(InputFile::openIfPresent(dir / "missing"));
    EXPECT_FALSE(InputFile::openIfPresent(dir / "a/below"));
    try {
        InputFile missing(dir / "missing");
        FAIL() << "a missing file opened";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), ENOENT);
        EXPECT_NE(failure.description().find(dir / "missing"), std::string::npos);
    }
    fs::create_directory(dir / "folder");
    // A folder opens on POSIX but cannot be read as a file.
    EXPECT_THROW(
        {
            auto folder = InputFile::openIfPresent(dir / "folder");
            readAll(*folder);
        },
        Failure);
}

TEST(InputFile, SeeksForwardBackAndPastTheEnd) {
    TempDir dir;
    writeFile(dir / "a", "0123456789");
    InputFile file(dir / "a");
    file.seek(7);
    EXPECT_EQ(readAll(file), "789");
    file.seek(2);
    char two[2] = {};
    ASSERT_EQ(file.read(two, 2), 2u);
    EXPECT_EQ(std::string(two, 2), "23");
    file.seek(0);
    EXPECT_EQ(readAll(file), "0123456789");
    file.seek(1000);
    EXPECT_EQ(file.read(two, 2), 0u);
}

TEST(NewFile, NeverTakesOverAnExistingNameAndWritesByPosition) {
    TempDir dir;
    writeFile(dir / "taken", "kept");
    EXPECT_THROW(NewFile(dir / "taken"), Failure);
    EXPECT_EQ(readFile(dir / "taken"), "kept");

    NewFile file(dir / "new");
    file.writeAt(0, "hello world", 11);
    file.writeAt(6, "WORLD", 5);
    file.resize(8);
    file.sync();
    file.close();
    EXPECT_EQ(readFile(dir / "new"), "hello WO");
}

TEST(NewFile, TemporaryFilesLieBesideTheirTargetUnderFreshNames) {
    TempDir dir;
    fs::create_directory(dir / "out");
    NewFile first = NewFile::temporaryBeside(dir / "out/archive.lzh");
    NewFile second = NewFile::temporaryBeside(dir / "out/archive.lzh");
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(fs::path(first.path()).parent_path(), fs::path(dir / "out"));
    // Short whatever the target's name: a name at the length limit still works.
    const std::string longName(255, 'n');
    NewFile third = NewFile::temporaryBeside(dir / ("out/" + longName));
    EXPECT_EQ(fs::path(third.path()).parent_path(), fs::path(dir / "out"));
    EXPECT_THROW(NewFile::temporaryBeside(dir / "missing/archive.lzh"), Failure);
}

TEST(EntryChanges, RenameReplacesRemoveAndSyncReportWhatHappened) {
    TempDir dir;
    writeFile(dir / "new", "new");
    writeFile(dir / "old", "old");
    renameReplacing(dir / "new", dir / "old");
    EXPECT_EQ(readFile(dir / "old"), "new");
    EXPECT_FALSE(fs::exists(dir / "new"));
    EXPECT_THROW(renameReplacing(dir / "new", dir / "old"), Failure);

    EXPECT_TRUE(syncFolder(dir.str()));
    EXPECT_FALSE(syncFolder(dir / "missing"));

    EXPECT_TRUE(removeFile(dir / "old"));
    EXPECT_FALSE(fs::exists(dir / "old"));
    EXPECT_TRUE(removeFile(dir / "old")) << "a missing file is gone";
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(removeFile(dir / "folder"));
}

TEST(FolderNames, EveryEntryIsListedWhateverItIs) {
    TempDir dir;
    SKIP_WITHOUT_SYMLINKS(dir.path());
    writeFile(dir / "file", "x");
    fs::create_directory(dir / "sub");
    fs::create_symlink("nowhere", dir / "dangling");
    auto names = listFolderNames(dir.str());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dangling", "file", "sub"}));
    EXPECT_THROW(listFolderNames(dir / "missing"), Failure);
}

#ifndef _WIN32
// Modes and owners: the Windows twin checks the mode made up from attributes.
TEST(ArchiveStatus, GivesTheModeAndOwnerTheArchiveRecords) {
    TempDir dir;
    writeFile(dir / "file", "12345");
    fs::permissions(dir / "file",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("file", dir / "link");

    const auto file = archiveStatus(dir / "file", false);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->status.kind, FileKind::File);
    EXPECT_EQ(file->status.size, 5);
    EXPECT_EQ(file->unixMode, 0100640u);
    EXPECT_TRUE(file->owner);

    EXPECT_EQ(archiveStatus(dir / "link", false)->status.kind, FileKind::Link);
    EXPECT_EQ(archiveStatus(dir / "link", false)->unixMode & 0170000, 0120000u);
    EXPECT_EQ(archiveStatus(dir / "link", true)->unixMode, 0100640u);
    EXPECT_FALSE(archiveStatus(dir / "missing", false));
}
#endif

#ifndef _WIN32
TEST(Failure, TheProgramsOwnFailuresCarryThePlatformsNumbers) {
    EXPECT_EQ(Failure::invalidArgument("x").number(), EINVAL);
    EXPECT_EQ(Failure::valueTooLarge("x").number(), EOVERFLOW);
    EXPECT_EQ(Failure::notFound("x").number(), ENOENT);
    EXPECT_EQ(Failure::outOfMemory("x").number(), ENOMEM);
    // The caller's description as given; about() words it as the system does.
    EXPECT_EQ(Failure::invalidArgument("a line break").description(), "a line break");
    EXPECT_EQ(Failure::about(ENOENT, "/x").description(), "No such file or directory: /x");
    EXPECT_EQ(Failure::about(EINVAL, "key").number(), EINVAL);
}
#else
TEST(Failure, TheProgramsOwnFailuresCarryThePlatformsNumbers) {
    EXPECT_EQ(Failure::invalidArgument("x").number(), 87); // ERROR_INVALID_PARAMETER
    EXPECT_EQ(Failure::valueTooLarge("x").number(), 534);  // ERROR_ARITHMETIC_OVERFLOW
    EXPECT_EQ(Failure::notFound("x").number(), 2);         // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(Failure::outOfMemory("x").number(), 8);      // ERROR_NOT_ENOUGH_MEMORY
    EXPECT_EQ(Failure::invalidArgument("a line break").description(), "a line break");
    // The system's own words, without their closing full stop.
    const std::string text = Failure::about(2, "C:\\x").description();
    EXPECT_TRUE(text.ends_with(": C:\\x")) << text;
    EXPECT_GT(text.size(), 7u) << text;
    EXPECT_EQ(text.find(".:"), std::string::npos) << text;
}
#endif

} // namespace
} // namespace tolvane::platform
