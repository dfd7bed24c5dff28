#include "platform/paths.h"

#include <gtest/gtest.h>

namespace tolvane::platform {
namespace {

TEST(Paths, JoinPathPutsOneSeparatorBetween) {
    EXPECT_EQ(joinPath("/backup", "Work"), "/backup/Work");
    EXPECT_EQ(joinPath("/backup/", "Work"), "/backup/Work");
    EXPECT_EQ(joinPath("/", "Work"), "/Work");
}

TEST(Paths, DriveIsTheRootOrTheTextBeforeTheFirstSeparator) {
    EXPECT_EQ(driveOf("/backup/20261208/Work"), "/");
    EXPECT_TRUE(driveExists(driveOf("/backup/Work")));
    EXPECT_EQ(driveOf("backup/Work"), "backup");
    EXPECT_FALSE(driveExists("backup"));
    EXPECT_FALSE(driveExists(""));
    EXPECT_EQ(driveOf("plain"), "plain");
}

TEST(Paths, TrimmingKeepsTheRoot) {
    EXPECT_EQ(trimOneTrailingSeparator("/backup/"), "/backup");
    EXPECT_EQ(trimOneTrailingSeparator("/backup//"), "/backup/");
    EXPECT_EQ(trimOneTrailingSeparator("/"), "/");
    EXPECT_EQ(trimOneTrailingSeparator("/backup"), "/backup");

    EXPECT_EQ(removeTrailingSeparators("/backup///"), "/backup");
    EXPECT_EQ(removeTrailingSeparators("///"), "/");
    EXPECT_EQ(removeTrailingSeparators(""), "");
}

TEST(Paths, LastNameIgnoresTrailingSeparators) {
    EXPECT_EQ(lastName("/data/Work"), "Work");
    EXPECT_EQ(lastName("/data/Work/"), "Work");
    EXPECT_EQ(lastName("/data/.hidden"), ".hidden");
    EXPECT_EQ(lastName("/"), "");
    EXPECT_EQ(lastName("relative"), "relative");
}

TEST(Paths, OnlyAnEmptyDestinationIsUnspecified) {
    EXPECT_TRUE(destinationNotSpecified(""));
    EXPECT_FALSE(destinationNotSpecified("/"));
    EXPECT_TRUE(isRoot("/"));
    EXPECT_FALSE(isRoot("//x"));
}

TEST(Paths, SeparatorsRootsAndFolders) {
    EXPECT_TRUE(isSeparator('/'));
    EXPECT_FALSE(isSeparator('\\'));
    EXPECT_EQ(nextSeparator("/a/b"), 0u);
    EXPECT_EQ(nextSeparator("/a/b", 1), 2u);
    EXPECT_EQ(nextSeparator("/a/b", 3), std::string::npos);
    EXPECT_EQ(rootOf("/a"), "/");
    EXPECT_EQ(rootOf("a/b"), "");
    EXPECT_EQ(folderOfPath("/a/b"), "/a");
    EXPECT_EQ(folderOfPath("/a"), "/");
    EXPECT_EQ(folderOfPath("a"), ".");
    EXPECT_EQ(folderOfPath("a/b/"), "a/b");
    EXPECT_TRUE(samePath("/a/b", "/a/b"));
    EXPECT_FALSE(samePath("/a/b", "/a/B"));
}

TEST(Paths, AbsolutePathsResolveDotsByTheTextAlone) {
    EXPECT_EQ(absolutePath("/a/./b//c/"), "/a/b/c");
    EXPECT_EQ(absolutePath("/a/b/../c"), "/a/c");
    EXPECT_EQ(absolutePath("/a/.."), "/");
    EXPECT_EQ(absolutePath("/../x"), "/x");
    EXPECT_EQ(absolutePath("/"), "/");
    const std::string here = absolutePath(".");
    EXPECT_EQ(rootOf(here), "/");
    EXPECT_EQ(absolutePath("sub/../file"), joinPath(here, "file"));
}

} // namespace
} // namespace tolvane::platform
