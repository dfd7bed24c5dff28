#include "settings/settings_location.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tolvane::settings {
namespace {

#ifdef _WIN32
const char* const kUserConfig = "C:\\Users\\u\\AppData\\Roaming";
const char* const kUserSettings = "C:\\Users\\u\\AppData\\Roaming\\tolvane";
const char* const kConfigVariable = "APPDATA";
const char* const kSeparator = "\\";
#else
const char* const kUserConfig = "/home/u/.config";
const char* const kUserSettings = "/home/u/.config/tolvane";
const char* const kConfigVariable = "XDG_CONFIG_HOME";
const char* const kSeparator = "/";
#endif

TEST(SettingsLocation, PortableWhereverItCanWorkElseTheUserFolder) {
    struct Row {
        const char* what;
        bool ini;
        bool data;
        bool writable;
        const char* expected;
    };
    const Row rows[] = {
        {"read-only folder holding the INI file", true, false, false, "/opt/t"},
        {"read-only folder holding the data file", false, true, false, "/opt/t"},
        {"writable folder holding neither", false, false, true, "/opt/t"},
        {"writable folder holding both", true, true, true, "/opt/t"},
        {"read-only folder holding neither", false, false, false, kUserSettings},
    };
    for (const Row& row : rows) {
        SettingsPlace place;
        place.executableFolder = "/opt/t";
        place.holdsIniFile = row.ini;
        place.holdsDataFile = row.data;
        place.executableFolderWritable = row.writable;
        place.userConfigFolder = kUserConfig;
        EXPECT_EQ(chooseSettingsFolder(place), row.expected) << row.what;
    }
}

TEST(SettingsLocation, LooksAtTheRealFolders) {
    testing::TempDir temp;
    const std::string config = (temp.path() / "cfg").string();
    testing::EnvironmentValue xdg(kConfigVariable, config);
    const std::string userSettings = config + kSeparator + "tolvane";

    // A folder the user owns keeps its settings, with or without files.
    const std::string own = temp.path().string();
    EXPECT_EQ(settingsFolder(own, "Tolvane"), own);
    testing::writeFile(temp.path() / "Tolvane.dat", "\r\n");
    EXPECT_EQ(settingsFolder(own, "Tolvane"), own);
    EXPECT_FALSE(std::filesystem::exists(config));

    // Nobody can write into a folder that is not there: the user folder is
    // chosen and created, parents included.
    const std::string gone = (temp.path() / "gone").string();
    EXPECT_EQ(settingsFolder(gone, "Tolvane"), userSettings);
    EXPECT_TRUE(std::filesystem::is_directory(userSettings));
    EXPECT_EQ(settingsFolder(gone, "Tolvane"), userSettings);
}

#ifndef _WIN32
TEST(SettingsLocation, ClosedFolderKeepsItsSettingsOnlyWhenItHoldsThem) {
    testing::TempDir temp;
    const std::string config = (temp.path() / "cfg").string();
    testing::EnvironmentValue xdg("XDG_CONFIG_HOME", config);
    const std::filesystem::path program = temp.path() / "program";
    testing::writeFile(program / "Tolvane.Ini", "[Tolvane]\r\n");
    testing::ClosedFolder closed(program);
    if (!closed.closed()) {
        GTEST_SKIP() << "this file system cannot close a folder";
    }

    EXPECT_EQ(settingsFolder(program.string(), "Tolvane"), program.string());
    EXPECT_EQ(settingsFolder(program.string(), "Other"), config + "/tolvane");
}
#endif

} // namespace
} // namespace tolvane::settings
