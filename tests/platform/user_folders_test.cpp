#include "platform/failure.h"
#include "platform/posix/user_folders.h"
#include "platform/user_folders.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tolvane::platform {
namespace {

TEST(UserFolders, ConfigFolderFollowsTheEnvironmentOnlyWhenAbsolute) {
    EXPECT_EQ(userConfigFolderOf(std::nullopt, "/home/u"), "/home/u/.config");
    EXPECT_EQ(userConfigFolderOf(std::string(), "/home/u"), "/home/u/.config");
    EXPECT_EQ(userConfigFolderOf(std::string("rel/cfg"), "/home/u"), "/home/u/.config");
    EXPECT_EQ(userConfigFolderOf(std::string("/x/cfg/"), "/home/u"), "/x/cfg");
    EXPECT_EQ(userConfigFolderOf(std::nullopt, "/"), "/.config");

    testing::EnvironmentValue xdg("XDG_CONFIG_HOME", "/x/cfg");
    EXPECT_EQ(userConfigFolder(), "/x/cfg");
}

TEST(UserFolders, CreatesPrivateLevelsAndFailsWithThePath) {
    testing::TempDir temp;
    const std::string deep = (temp.path() / "a/b/c").string();
    createFolders(deep);
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_EQ(testing::permissionsOf(temp.path() / "a"), 0700u);
    createFolders(deep); // already there: no failure

    testing::writeFile(temp.path() / "file", "x");
    const std::string underFile = (temp.path() / "file/sub").string();
    try {
        createFolders(underFile);
        ADD_FAILURE() << "a folder below a file was created";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.description().find(underFile), std::string::npos)
            << failure.description();
    }
}

TEST(UserFolders, ClosedOrMissingFolderIsNotWritable) {
    testing::TempDir temp;
    EXPECT_TRUE(folderWritable(temp.path().string()));
    EXPECT_FALSE(folderWritable((temp.path() / "missing").string()));
    const std::filesystem::path folder = temp.path() / "closed";
    std::filesystem::create_directory(folder);
    testing::ClosedFolder closed(folder);
    if (!closed.closed()) {
        GTEST_SKIP() << "this file system cannot close a folder";
    }
    EXPECT_FALSE(folderWritable(folder.string()));
}

} // namespace
} // namespace tolvane::platform
