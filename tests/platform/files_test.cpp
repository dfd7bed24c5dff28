#include "platform/failure.h"
#include "platform/files.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::makeFifo;
using testing::makeSocket;
using testing::namesIn;
using testing::permissionsOf;
using testing::readFile;
using testing::setModified;
using testing::setPermissions;
using testing::TempDir;
using testing::writeFile;

TEST(Files, ExistenceTestsTellFilesFromFoldersAndFollowLinks) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    writeFile(dir / "file", "x");
    fs::create_directory_symlink(dir / "folder", dir / "folder-link");
    fs::create_symlink(dir / "file", dir / "file-link");
    makeFifo(dir / "pipe");

    EXPECT_TRUE(folderExists(dir / "folder"));
    EXPECT_FALSE(folderExists(dir / "file"));
    EXPECT_TRUE(folderExists(dir / "folder-link"));
    EXPECT_TRUE(fileExists(dir / "file"));
    EXPECT_TRUE(fileExists(dir / "file-link"));
    EXPECT_FALSE(fileExists(dir / "folder"));
    EXPECT_FALSE(fileExists(dir / "pipe"));
    EXPECT_FALSE(fileExists(dir / "missing"));

    EXPECT_EQ(linkStatus(dir / "file-link")->kind, FileKind::Link);
    EXPECT_EQ(fileStatus(dir / "file-link").kind, FileKind::File);
    EXPECT_FALSE(linkStatus(dir / "missing"));
    EXPECT_FALSE(linkStatus(dir / "file/below"));
}

TEST(Files, FailuresCarryTheNumberAndThePath) {
    TempDir dir;
    writeFile(dir / "file", "x");
    try {
        createFolder(dir / "file/sub");
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), ENOTDIR);
        EXPECT_NE(failure.description().find(dir / "file/sub"), std::string::npos);
    }
    EXPECT_THROW(createFolder(dir / "missing/sub"), Failure);
    EXPECT_THROW(fileStatus(dir / "missing"), Failure);
    createFolder(dir / "new");
    EXPECT_TRUE(folderExists(dir / "new"));
}

TEST(Files, EntryNamesKeepDotsAndResolveRelativeParts) {
    TempDir dir;
    fs::create_directories(dir / "Work/.hidden");
    EXPECT_EQ(entryName(dir / "Work/.hidden"), ".hidden");
    EXPECT_EQ(entryName(dir / "Work/.hidden/"), ".hidden");
    EXPECT_EQ(entryName(dir / "Work/.hidden/.."), "Work");
    EXPECT_EQ(entryName(dir / "Work/."), "Work");
    EXPECT_EQ(entryName("/"), "");
}

TEST(Files, AttributesAreThePermissionBitsSavedAndRestored) {
    TempDir dir;
    const std::string file = dir / "file";
    writeFile(file, "x");
    setPermissions(file, 0664);
    const auto saved = saveAttributes(file);
    ASSERT_TRUE(saved);
    EXPECT_FALSE(fileStatus(file).readOnly);
    EXPECT_TRUE(setAttributesReadOnly(file));
    EXPECT_EQ(permissionsOf(file), 0444u);
    EXPECT_TRUE(fileStatus(file).readOnly);
    EXPECT_TRUE(setAttributesNormal(file));
    EXPECT_EQ(permissionsOf(file), 0644u);
    ASSERT_TRUE(restoreAttributes(file, *saved));
    EXPECT_EQ(permissionsOf(file), 0664u);
    EXPECT_FALSE(saveAttributes(dir / "missing"));
    EXPECT_FALSE(setAttributesNormal(dir / "missing"));
}

TEST(FileCopy, CarriesContentModeAndTimeAndReplacesAReadOnlyCopy) {
    TempDir dir;
    const std::string source = dir / "source.txt";
    const std::string copy = dir / "copy.txt";
    writeFile(source, "new content");
    setPermissions(source, 0640);
    setModified(source, 1765000000);
    writeFile(copy, "old");
    setPermissions(copy, 0444);

    copyFile(source, copy);

    EXPECT_EQ(readFile(copy), "new content");
    EXPECT_EQ(permissionsOf(copy), 0640u);
    EXPECT_EQ(fileStatus(copy).modified, 1765000000);
    EXPECT_EQ(fileStatus(copy).size, 11);
    EXPECT_EQ(namesIn(dir.str()), (std::vector<std::string>{"copy.txt", "source.txt"}));
}

TEST(FileCopy, AFailureHalfWayKeepsTheOldCopyAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string source = dir / "big";
    const std::string copy = dir / "out/big";
    fs::create_directory(dir / "out");
    writeFile(source, std::string(256 * 1024, 'n'));
    writeFile(copy, "previous backup");

    // A file-size limit makes the write fail part way, as a full disk would.
    int number = 0;
    int firstNumber = 0;
    {
        const testing::FileSizeLimit limit(64 * 1024);
        try {
            copyFile(source, copy);
        } catch (const Failure& failure) {
            number = failure.number();
        }
        // With no old copy, nothing half-written stays either.
        try {
            copyFile(source, dir / "out/first");
        } catch (const Failure& failure) {
            firstNumber = failure.number();
        }
    }

    EXPECT_EQ(number, EFBIG);
    EXPECT_EQ(firstNumber, EFBIG);
    EXPECT_EQ(readFile(copy), "previous backup");
    EXPECT_EQ(namesIn(dir / "out"), std::vector<std::string>{"big"});
}

TEST(FileCopy, AVanishedSourceFailsWithoutTouchingTheCopy) {
    TempDir dir;
    writeFile(dir / "copy", "kept");
    try {
        copyFile(dir / "gone", dir / "copy");
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), ENOENT);
        EXPECT_NE(failure.description().find(dir / "gone"), std::string::npos);
    }
    EXPECT_EQ(readFile(dir / "copy"), "kept");
    EXPECT_EQ(namesIn(dir.str()), std::vector<std::string>{"copy"});
}

TEST(FileCopy, ASparseFileOverFourGibibytesCopiesWhole) {
    TempDir dir;
    const std::string source = dir / "sparse";
    const std::int64_t size = (std::int64_t{5} << 30) + 7;
    {
        const int fd = ::open(source.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
        ASSERT_EQ(::pwrite(fd, "tail", 4, (std::int64_t{4} << 30) + 3), 4);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
    }
    copyFile(source, dir / "copy");

    EXPECT_EQ(fileStatus(dir / "copy").size, size);
    const int fd = ::open((dir / "copy").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    char buffer[4] = {};
    ASSERT_EQ(::pread(fd, buffer, 4, 0), 4);
    EXPECT_EQ(std::string(buffer, 4), "head");
    ASSERT_EQ(::pread(fd, buffer, 4, (std::int64_t{4} << 30) + 3), 4);
    EXPECT_EQ(std::string(buffer, 4), "tail");
    struct stat st {};
    ::fstat(fd, &st);
    ::close(fd);
    // The holes stayed holes: a few blocks, not five gibibytes.
    EXPECT_LT(st.st_blocks * 512, 64 * 1024 * 1024);
}

TEST(FileCopy, LinksAreCopiedAsLinks) {
    TempDir dir;
    fs::create_symlink("../somewhere/else", dir / "link");
    writeFile(dir / "plain", "replaced by the link");
    copyLink(dir / "link", dir / "plain");
    EXPECT_EQ(readLink(dir / "plain"), "../somewhere/else");
    fs::create_directory(dir / "folder");
    EXPECT_THROW(copyLink(dir / "link", dir / "folder"), Failure);
    EXPECT_TRUE(folderExists(dir / "folder"));
    EXPECT_EQ(namesIn(dir.str()), (std::vector<std::string>{"folder", "link", "plain"}));
}

TEST(FolderListing, ListsFilesFoldersAndLinksAndSkipsSpecialFiles) {
    TempDir dir;
    writeFile(dir / ".dot", "x");
    fs::create_directory(dir / "sub");
    fs::create_symlink("sub", dir / "link");
    makeFifo(dir / "pipe");
    makeSocket(dir / "sock");

    auto entries = listFolder(dir.str());
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, ".dot");
    EXPECT_EQ(entries[0].kind, FileKind::File);
    EXPECT_EQ(entries[1].name, "link");
    EXPECT_EQ(entries[1].kind, FileKind::Link);
    EXPECT_EQ(entries[2].name, "sub");
    EXPECT_EQ(entries[2].kind, FileKind::Folder);
    EXPECT_EQ(entries[2].id, fileStatus(dir / "sub").id);
    EXPECT_THROW(listFolder(dir / "missing"), Failure);
}

TEST(FolderCopy, CopiesLinksAsLinksSkipsSpecialFilesAndNeverEntersItself) {
    TempDir dir;
    const std::string source = dir / "src";
    fs::create_directories(source + "/a/b");
    writeFile(source + "/a/b/deep.txt", "deep");
    writeFile(source + "/.dot", "dot");
    setPermissions(source + "/.dot", 0600);
    setModified(source + "/.dot", 1700000000);
    fs::create_symlink("..", source + "/a/up");           // its own parent
    fs::create_symlink(dir / "outside", source + "/out"); // never followed
    fs::create_directory(dir / "outside");
    writeFile(dir / "outside/secret", "s");
    makeFifo(source + "/a/pipe");
    fs::create_directories(source + "/backup");
    writeFile(source + "/backup/older", "o");

    // The copy and an excluded folder both lie inside the source.
    const std::string copy = source + "/backup/now/src";
    fs::create_directories(source + "/backup/now");
    copyFolder(source, copy, {source + "/backup"});

    EXPECT_EQ(readFile(copy + "/a/b/deep.txt"), "deep");
    EXPECT_EQ(readFile(copy + "/.dot"), "dot");
    EXPECT_EQ(permissionsOf(copy + "/.dot"), 0600u);
    EXPECT_EQ(fileStatus(copy + "/.dot").modified, 1700000000);
    EXPECT_EQ(readLink(copy + "/a/up"), "..");
    EXPECT_EQ(readLink(copy + "/out"), dir / "outside");
    EXPECT_FALSE(linkStatus(copy + "/a/pipe"));
    EXPECT_FALSE(linkStatus(copy + "/backup"));
    EXPECT_EQ(namesIn(copy), (std::vector<std::string>{".dot", "a", "out"}));
}

TEST(FolderCopy, WithoutExclusionsTheCopyInsideTheSourceIsStillLeftOut) {
    TempDir dir;
    fs::create_directories(dir / "src/inner");
    writeFile(dir / "src/f", "f");
    copyFolder(dir / "src", dir / "src/inner/copy");
    EXPECT_EQ(namesIn(dir / "src/inner/copy"), (std::vector<std::string>{"f", "inner"}));
    EXPECT_TRUE(namesIn(dir / "src/inner/copy/inner").empty());
}

TEST(FolderCopy, AFileInTheWayFails) {
    TempDir dir;
    fs::create_directory(dir / "src");
    writeFile(dir / "taken", "kept");
    EXPECT_THROW(copyFolder(dir / "src", dir / "taken"), Failure);
    EXPECT_EQ(readFile(dir / "taken"), "kept");
}

TEST(TreeRemoval, RemovesReadOnlyEntriesAndNeverFollowsLinks) {
    TempDir dir;
    const std::string tree = dir / "tree";
    fs::create_directories(tree + "/locked/inner");
    writeFile(tree + "/locked/inner/ro", "x");
    setPermissions(tree + "/locked/inner/ro", 0444);
    setPermissions(tree + "/locked/inner", 0555);
    setPermissions(tree + "/locked", 0555);
    fs::create_directory(dir / "outside");
    writeFile(dir / "outside/keep", "k");
    fs::create_directory_symlink(dir / "outside", tree + "/link");
    makeFifo(tree + "/pipe");

    removeTree(tree);

    EXPECT_FALSE(linkStatus(tree));
    EXPECT_EQ(readFile(dir / "outside/keep"), "k");
    EXPECT_NO_THROW(removeTree(tree));
    fs::create_symlink(dir / "outside", dir / "lone-link");
    removeTree(dir / "lone-link");
    EXPECT_TRUE(folderExists(dir / "outside"));
}

TEST(OpenFile, SetsTheModificationTimeOrReportsWhyNot) {
    TempDir dir;
    const std::string file = dir / "f";
    writeFile(file, "x");
    setModified(file, 1000);
    EXPECT_FALSE(OpenFile::openExisting(dir / "missing"));

    auto open = OpenFile::openExisting(file);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->setModificationTime({2026, 2, 30, 0, 0, 0}), EINVAL);
    EXPECT_EQ(fileStatus(file).modified, 1000);
    EXPECT_EQ(open->setModificationTime({2026, 12, 8, 9, 30, 0}), 0);
    EXPECT_EQ(fileStatus(file).modified, *epochOfLocal({2026, 12, 8, 9, 30, 0}));
}

} // namespace
} // namespace tolvane::platform
