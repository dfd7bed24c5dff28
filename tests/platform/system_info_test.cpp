#include "platform/system_info.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tolvane::platform {
namespace {

namespace fs = std::filesystem;

void makeProgram(const std::string& path, bool executable) {
    std::ofstream(path) << "#!/bin/sh\n";
    fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read);
}

TEST(SystemInfo, TheFirstExecutableOnTheSearchPathWins) {
    testing::TempDir home;
    fs::create_directory(home / "a");
    fs::create_directory(home / "b");
    fs::create_directory(home / "c");
    makeProgram(home / "a/info", false);   // not executable: skipped
    fs::create_directory(home / "b/info"); // a folder: skipped
    makeProgram(home / "c/info", true);
    const std::string path =
        (home / "missing") + ":" + (home / "a") + ":" + (home / "b") + ":" + (home / "c");
    EXPECT_EQ(findOnSearchPath("info", path), home / "c/info");
    EXPECT_EQ(findOnSearchPath("other", path), "");
    EXPECT_EQ(findOnSearchPath("", path), "");
    EXPECT_EQ(findOnSearchPath("c/info", home.str()), "") << "names only, no paths";
}

TEST(SystemInfo, TheCandidatesAreDesktopPrograms) {
    const auto& candidates = systemInfoCandidates();
    ASSERT_FALSE(candidates.empty());
    for (const std::string& name : candidates) {
        EXPECT_EQ(name.find('/'), std::string::npos) << name;
    }
}

} // namespace
} // namespace tolvane::platform
