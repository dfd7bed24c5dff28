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

} // namespace
} // namespace tolvane::platform
