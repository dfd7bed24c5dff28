#include "platform/failure.h"
#include "platform/user_folders.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tolvane::platform {
namespace {

TEST(WindowsUserFolders, ConfigFolderIsTheRoamingApplicationDataFolder) {
    {
        testing::EnvironmentValue appData("APPDATA", "D:\\Users\\ユーザー\\AppData\\Roaming\\");
        EXPECT_EQ(userConfigFolder(), "D:\\Users\\ユーザー\\AppData\\Roaming");
    }
    // A relative value is no folder to trust; the system's own answer is.
    testing::EnvironmentValue appData("APPDATA", "relative");
    const std::string folder = userConfigFolder();
    EXPECT_FALSE(folder.empty());
    EXPECT_NE(folder, "relative");
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
}

TEST(WindowsUserFolders, CreatesEveryLevelAndFailsWithThePath) {
    testing::TempDir temp;
    const std::string deep = (temp.path() / "settings\\b/c").string();
    createFolders(deep);
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    createFolders(deep); // already there: no failure
    EXPECT_TRUE(folderWritable(deep));
    EXPECT_FALSE(folderWritable((temp.path() / "missing").string()));
    // The probe leaves nothing behind.
    EXPECT_TRUE(testing::namesIn(deep).empty());

    testing::writeFile(temp.path() / "file", "x");
    const std::string underFile = (temp.path() / "file\\sub").string();
    try {
        createFolders(underFile);
        ADD_FAILURE() << "a folder below a file was created";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.description().find(underFile), std::string::npos)
            << failure.description();
    }
}

} // namespace
} // namespace tolvane::platform
