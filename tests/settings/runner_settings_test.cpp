// The headless runner started with --settings, as a script would start it.
#ifdef TOLVANE_RUN_PATH

#include "platform/text_file.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tolvane::settings {
namespace {

namespace fs = std::filesystem;
using tolvane::testing::CommandResult;
using tolvane::testing::runCommand;
using tolvane::testing::shellQuoted;
using tolvane::testing::TempDir;
using tolvane::testing::writeFile;

// The runner with these arguments, output and errors together.
CommandResult runRunner(const std::string& arguments) {
    return runCommand(std::string(TOLVANE_RUN_PATH) + " " + arguments);
}

TEST(RunnerWithSettings, FirstStartCreatesTheListFileAndEndsAtOnce) {
    TempDir dir;
    const CommandResult outcome = runRunner("--settings " + shellQuoted(dir.str() + "/"));
    EXPECT_EQ(outcome.status, 11) << outcome.output;
    EXPECT_NE(outcome.output.find("データファイルがありません\r\nDataFile=" + dir.str() +
                                  "/Tolvane.dat\r\n新規に作成します"),
              std::string::npos)
        << outcome.output;
    EXPECT_EQ(platform::readFileBytes(dir / "Tolvane.dat"), "");
}

TEST(RunnerWithSettings, CopiesWhatTheFilesSayUnlessAnOptionOverrides) {
    TempDir dir;
    fs::create_directories(dir / "cfg");
    fs::create_directories(dir / "src");
    writeFile(dir / "src/a.txt", "a");
    writeFile(dir / "cfg/Tolvane.Ini",
              "[Tolvane]\r\nSaveAt=" + (dir / "dst") + "\r\nInterval=60000\r\n");
    writeFile(dir / "cfg/Tolvane.dat", dir / "src/a.txt");
    fs::create_directories(dir / "dst");
    fs::create_directories(dir / "other");

    CommandResult outcome = runRunner("--settings " + shellQuoted(dir / "cfg"));
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("CAPTION: Tolvane：待機中   残り待ち時間60秒"), std::string::npos)
        << outcome.output;
    EXPECT_TRUE(fs::exists(dir / "dst/a.txt"));

    outcome = runRunner("--settings " + shellQuoted(dir / "cfg") + " --save-at " +
                        shellQuoted(dir / "other"));
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_TRUE(fs::exists(dir / "other/a.txt"));
    // Running never saves.
    EXPECT_EQ(platform::readFileBytes(dir / "cfg/Tolvane.dat"), dir / "src/a.txt");
}

} // namespace
} // namespace tolvane::settings

#endif
