#include "platform/paths.h"

#include <gtest/gtest.h>

namespace tolvane::platform {
namespace {

TEST(WindowsPaths, EitherSlashSeparatesAndJoiningUsesABackslash) {
    EXPECT_TRUE(isSeparator('\\'));
    EXPECT_TRUE(isSeparator('/'));
    EXPECT_EQ(joinPath("C:\\Data", "a.txt"), "C:\\Data\\a.txt");
    EXPECT_EQ(joinPath("C:/Data/", "a.txt"), "C:/Data/a.txt");
    EXPECT_EQ(joinPath("C:\\", "a.txt"), "C:\\a.txt");
    EXPECT_EQ(joinPath("\\\\server\\share", "a.txt"), "\\\\server\\share\\a.txt");
    EXPECT_EQ(lastName("C:\\Data\\Work\\\\"), "Work");
    EXPECT_EQ(lastName("C:/Data/Work"), "Work");
    EXPECT_EQ(folderOfPath("C:\\Data\\Work"), "C:\\Data");
    EXPECT_EQ(folderOfPath("C:\\Work"), "C:\\");
}

TEST(WindowsPaths, ADriveRootKeepsItsBackslash) {
    EXPECT_EQ(rootOf("D:\\Backup"), "D:\\");
    EXPECT_TRUE(isRoot("D:\\"));
    EXPECT_TRUE(isRoot("D:/"));
    EXPECT_FALSE(isRoot("D:"));
    EXPECT_EQ(removeTrailingSeparators("D:\\"), "D:\\");
    EXPECT_EQ(removeTrailingSeparators("D:\\Backup\\\\"), "D:\\Backup");
    EXPECT_EQ(trimOneTrailingSeparator("D:\\"), "D:\\");
    EXPECT_EQ(lastName("D:\\"), "");
    // "D:name" is relative to the drive's current folder.
    EXPECT_EQ(rootOf("D:name"), "");
}

TEST(WindowsPaths, TheDriveIsTheLetterOrTheShare) {
    EXPECT_EQ(driveOf("D:\\Backup\\Work"), "D:");
    EXPECT_EQ(driveOf("q:/x"), "q:");
    EXPECT_EQ(driveOf("\\\\server\\share\\Backup"), "\\\\server\\share");
    EXPECT_EQ(rootOf("\\\\server\\share\\Backup"), "\\\\server\\share\\");
    EXPECT_EQ(driveOf("relative\\path"), "relative");
    EXPECT_EQ(folderOfPath("\\\\server\\share\\Backup"), "\\\\server\\share\\");
}

TEST(WindowsPaths, TheSystemSaysWhichDrivesExist) {
    // Wine maps C: to its prefix and Z: to the Unix root; Q: is not set up.
    EXPECT_TRUE(driveExists("C:"));
    EXPECT_TRUE(driveExists("z:"));
    EXPECT_FALSE(driveExists("Q:"));
    EXPECT_FALSE(driveExists(""));
    EXPECT_FALSE(driveExists("Backup"));
    EXPECT_FALSE(driveExists("\\\\no-such-server-here\\share"));
}

TEST(WindowsPaths, SamePathIgnoresCaseAndSeparatorKind) {
    EXPECT_TRUE(samePath("C:\\Data\\Work", "c:/data/WORK"));
    EXPECT_TRUE(samePath("C:\\日本語\\Ａ", "c:/日本語/Ａ"));
    EXPECT_FALSE(samePath("C:\\Data\\Work", "C:\\Data\\Work2"));
    EXPECT_FALSE(samePath("C:\\Data", "D:\\Data"));
}

TEST(WindowsPaths, AbsolutePathsResolveDotsAndUseBackslashes) {
    EXPECT_EQ(absolutePath("C:/Data/./a/../Work/"), "C:\\Data\\Work");
    EXPECT_EQ(absolutePath("C:\\"), "C:\\");
    EXPECT_EQ(absolutePath("C:\\Data\\.."), "C:\\");
    EXPECT_EQ(absolutePath("\\\\server\\share\\a\\..\\b"), "\\\\server\\share\\b");
}

} // namespace
} // namespace tolvane::platform
