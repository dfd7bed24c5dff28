#include "platform/archive_status.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "platform/text_file.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

namespace tolvane::platform {
namespace {

using testing::namesIn;
using testing::readFile;
using testing::setModified;
using testing::TempDir;
using testing::writeFile;

// The path of UTF-8 text; a plain std::string would pass through the ANSI
// code page.
std::filesystem::path utf8Path(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// Runs a command line through the Windows shell, Japanese text included.
int runShell(const std::string& command) {
    return ::_wsystem(utf8Path(command).c_str());
}

DWORD attributesOf(const std::string& path) {
    return ::GetFileAttributesW(utf8Path(path).c_str());
}

void setAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(::SetFileAttributesW(utf8Path(path).c_str(), attributes)) << path;
}

// A backslash path inside the temporary folder, as a Windows user writes it.
std::string inside(const TempDir& dir, const std::string& relative) {
    std::string path = dir.str() + "\\" + relative;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

TEST(WindowsFiles, StatusComesInWholeSecondsWithTheReadOnlyAttribute) {
    TempDir dir;
    const std::string file = inside(dir, "日本語.txt");
    writeFile(utf8Path(file), "12345");
    setModified(utf8Path(file), 1700000000);
    setAttributes(file, FILE_ATTRIBUTE_READONLY);

    const FileStatus status = fileStatus(file);
    EXPECT_EQ(status.kind, FileKind::File);
    EXPECT_EQ(status.size, 5);
    EXPECT_EQ(status.modified, 1700000000);
    EXPECT_TRUE(status.readOnly);
    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(folderExists(file));
    EXPECT_TRUE(folderExists(dir.str()));
    EXPECT_FALSE(linkStatus(inside(dir, "missing\\deeper")));
    EXPECT_FALSE(linkStatus("Q:\\nothing"));
    setAttributes(file, FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsFiles, FailuresCarryTheSystemsNumberAndText) {
    TempDir dir;
    try {
        fileStatus(inside(dir, "missing.txt"));
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), ERROR_FILE_NOT_FOUND);
        EXPECT_NE(failure.description().find(inside(dir, "missing.txt")), std::string::npos);
        EXPECT_GT(failure.description().size(), inside(dir, "missing.txt").size() + 2);
    }
    EXPECT_EQ(Failure::notFound({}).number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Failure::invalidArgument({}).number(), ERROR_INVALID_PARAMETER);
}

TEST(WindowsFiles, NormalAndReadOnlyReplaceEveryOtherAttribute) {
    TempDir dir;
    const std::string file = inside(dir, "f.txt");
    writeFile(utf8Path(file), "x");
    setAttributes(file, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);

    const auto saved = saveAttributes(file);
    ASSERT_TRUE(saved);
    // Wine shows every file with the archive attribute, whatever was set.
    const DWORD shown = ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(setAttributesReadOnly(file));
    EXPECT_EQ(attributesOf(file) & shown, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(setAttributesNormal(file));
    EXPECT_EQ(attributesOf(file) & shown & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL), 0u);
    ASSERT_TRUE(restoreAttributes(file, *saved));
    EXPECT_EQ(attributesOf(file),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(saveAttributes(inside(dir, "missing")));
}

TEST(WindowsFiles, ACopyCarriesContentTimeAndAttributesAndReplacesAReadOnlyOldCopy) {
    TempDir dir;
    const std::string source = inside(dir, "元.txt");
    const std::string copy = inside(dir, "写し.txt");
    writeFile(utf8Path(source), "new content");
    setModified(utf8Path(source), 1600000000);
    writeFile(utf8Path(copy), "old");
    setAttributes(copy, FILE_ATTRIBUTE_READONLY);
    setAttributes(source, FILE_ATTRIBUTE_HIDDEN);

    copyFile(source, copy);
    EXPECT_EQ(readFile(utf8Path(copy)), "new content");
    EXPECT_EQ(fileStatus(copy).modified, 1600000000);
    EXPECT_TRUE(attributesOf(copy) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(namesIn(dir.path()).size(), 2u) << "no temporary file is left";
    setAttributes(source, FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsFiles, AFailedCopyLeavesTheOldCopyAndNoTemporaryFile) {
    TempDir dir;
    const std::string copy = inside(dir, "copy.txt");
    writeFile(utf8Path(copy), "kept");
    EXPECT_THROW(copyFile(inside(dir, "gone.txt"), copy), Failure);
    EXPECT_THROW(copyFile(dir.str(), copy), Failure) << "a folder is no file";
    EXPECT_EQ(readFile(utf8Path(copy)), "kept");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"copy.txt"});
}

TEST(WindowsFiles, SetTimeTakesTheLocalDateTimeOfTheStamp) {
    TempDir dir;
    const std::string file = inside(dir, "f.txt");
    writeFile(utf8Path(file), "x");
    auto open = OpenFile::openExisting(file);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->setModificationTime({2026, 12, 8, 9, 30, 0}), 0);
    EXPECT_EQ(open->setModificationTime({2026, 2, 30, 0, 0, 0}), ERROR_INVALID_PARAMETER);
    open.reset();
    EXPECT_EQ(fileStatus(file).modified, *epochOfLocal({2026, 12, 8, 9, 30, 0}));
}

TEST(WindowsFiles, ListingFindsJapaneseNamesAndFolderIdsMatchTheirStatus) {
    TempDir dir;
    writeFile(utf8Path(inside(dir, "表\\ファイル.txt")), "x");
    writeFile(utf8Path(inside(dir, "a.txt")), "y");
    const auto entries = listFolder(dir.str());
    ASSERT_EQ(entries.size(), 2u);
    for (const FolderEntry& entry : entries) {
        if (entry.name == "表") {
            EXPECT_EQ(entry.kind, FileKind::Folder);
            EXPECT_EQ(entry.id, fileStatus(inside(dir, "表")).id);
            EXPECT_EQ(entry.id, fileStatus(inside(dir, "表\\.")).id) << "any path reaches it";
            EXPECT_NE(entry.id, fileStatus(dir.str()).id);
        } else {
            EXPECT_EQ(entry.name, "a.txt");
            EXPECT_EQ(entry.kind, FileKind::File);
        }
    }
    EXPECT_EQ(listFolderNames(inside(dir, "表")), std::vector<std::string>{"ファイル.txt"});
    EXPECT_EQ(entryName(inside(dir, "表\\.")), "表");
}

TEST(WindowsFiles, AFolderCopyNeverEntersItselfAndKeepsNoReadOnlyMark) {
    TempDir dir;
    writeFile(utf8Path(inside(dir, "src\\サブ\\f.txt")), "f");
    setAttributes(inside(dir, "src\\サブ"), FILE_ATTRIBUTE_READONLY);
    copyFolder(inside(dir, "src"), inside(dir, "SRC\\copy"));
    EXPECT_EQ(readFile(utf8Path(inside(dir, "src\\copy\\サブ\\f.txt"))), "f");
    EXPECT_EQ(namesIn(utf8Path(inside(dir, "src\\copy"))), std::vector<std::string>{"サブ"});
    EXPECT_FALSE(attributesOf(inside(dir, "src\\copy\\サブ")) & FILE_ATTRIBUTE_READONLY);
}

TEST(WindowsFiles, TreeRemovalClearsReadOnlyEntries) {
    TempDir dir;
    const std::string top = inside(dir, "20240229");
    writeFile(utf8Path(inside(dir, "20240229\\サブ\\ro.txt")), "r");
    setAttributes(inside(dir, "20240229\\サブ\\ro.txt"), FILE_ATTRIBUTE_READONLY);
    setAttributes(inside(dir, "20240229\\サブ"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    removeTree(top);
    EXPECT_FALSE(existsAt(top));
    EXPECT_NO_THROW(removeTree(top)) << "a missing path is no failure";

    // One read-only file goes too, as a POSIX unlink takes it.
    const std::string file = inside(dir, "ro.txt");
    writeFile(utf8Path(file), "r");
    setAttributes(file, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(removeFile(file));
    EXPECT_FALSE(existsAt(file));
}

TEST(WindowsFiles, LinksAreNeitherFollowedNorCopiedAsTheirTargets) {
    TempDir dir;
    writeFile(utf8Path(inside(dir, "real\\f.txt")), "f");
    std::error_code ec;
    std::filesystem::create_directory_symlink(utf8Path(inside(dir, "real")),
                                              utf8Path(inside(dir, "link")), ec);
    const auto status = linkStatus(inside(dir, "link"));
    if (ec || !status || status->kind != FileKind::Link) {
        GTEST_SKIP() << "Wine reports a symbolic link as made but makes none";
    }
    removeTree(inside(dir, "link"));
    EXPECT_EQ(readFile(utf8Path(inside(dir, "real\\f.txt"))), "f");
}

TEST(WindowsFiles, AnAtomicWriteRefusesAReadOnlyFile) {
    TempDir dir;
    const std::string file = inside(dir, "Tolvane.Ini");
    writeFile(utf8Path(file), "old");
    setAttributes(file, FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(writeFileAtomically(file, "new"), Failure);
    EXPECT_EQ(readFile(utf8Path(file)), "old");
    setAttributes(file, FILE_ATTRIBUTE_NORMAL);
    writeFileAtomically(file, "new\r\n");
    EXPECT_EQ(readFile(utf8Path(file)), "new\r\n");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Tolvane.Ini"});
}

TEST(WindowsFiles, ShiftJisSettingsFilesAreRead) {
    TempDir dir;
    const std::string file = inside(dir, "Tolvane.dat");
    // "C:\データ" and "D:\表" in code page 932; 0x5C in 表 is no separator.
    writeFile(utf8Path(file), "C:\\\x83\x66\x81\x5B\x83\x5E\r\nD:\\\x95\x5C\r\n");
    EXPECT_EQ(readTextLines(file), (std::vector<std::string>{"C:\\データ", "D:\\表"}));
}

TEST(WindowsFiles, ArchiveStatusMakesUpAModeFromTheAttributes) {
    TempDir dir;
    const std::string file = inside(dir, "f.txt");
    writeFile(utf8Path(file), "abc");
    auto found = archiveStatus(file, false);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->unixMode & 0170000, 0100000u);
    EXPECT_TRUE(found->unixMode & 0200);
    EXPECT_FALSE(found->owner);
    setAttributes(file, FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(archiveStatus(file, false)->unixMode & 0222);
    EXPECT_EQ(archiveStatus(dir.str(), true)->unixMode & 0170000, 0040000u);
    setAttributes(file, FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsSystemInfo, TheRegistryNamesTheProgram) {
    const char* key = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const char* older = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location";
    runShell((std::string("reg delete \"") + key + "\" /f >nul 2>&1").c_str());
    runShell((std::string("reg delete \"") + older + "\" /v MSINFO /f >nul 2>&1").c_str());
    EXPECT_EQ(findSystemInfoProgram(), "");

    // The older entry names a folder, which must hold the program.
    TempDir dir;
    ASSERT_EQ(runShell((std::string("reg add \"") + older + "\" /v MSINFO /d \"" + dir.str() +
                        "\" /f >nul")
                           .c_str()),
              0);
    EXPECT_EQ(findSystemInfoProgram(), "");
    writeFile(dir.path() / "MSINFO32.EXE", "");
    EXPECT_EQ(findSystemInfoProgram(), dir.str() + "\\MSINFO32.EXE");

    // The program's own entry wins and is taken as it stands.
    ASSERT_EQ(
        runShell((std::string("reg add \"") + key + "\" /v PATH /d \"C:\\Tools\\情報.exe\" /f >nul")
                     .c_str()),
        0);
    EXPECT_EQ(findSystemInfoProgram(), "C:\\Tools\\情報.exe");
    runShell((std::string("reg delete \"") + key + "\" /f >nul 2>&1").c_str());
    runShell((std::string("reg delete \"") + older + "\" /v MSINFO /f >nul 2>&1").c_str());
}

} // namespace
} // namespace tolvane::platform
