// The headless runner started with --settings, as a script would start it.
#ifdef TOLVANE_RUN_PATH

#include "platform/text_file.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

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

// An ordinary user, for whom mode 000 closes a file; root reads it anyway.
TEST(RunnerWithSettings, AFileThatCannotBeReadGivesItsOwnStatusAndTheRestIsCopied) {
    TempDir dir;
    fs::create_directories(dir / "cfg");
    writeFile(dir / "src/a.txt", "a");
    writeFile(dir / "src/locked.txt", "secret");
    writeFile(dir / "src/z.txt", "z");
    fs::permissions(dir / "src/locked.txt", fs::perms::none);
    writeFile(dir / "cfg/Tolvane.Ini", "[Tolvane]\r\nSaveAt=" + (dir / "dst") + "\r\n");
    writeFile(dir / "cfg/Tolvane.dat", dir / "src");
    std::string asUser;
    if (::geteuid() == 0) {
        ASSERT_EQ(runCommand("chown -R nobody:nogroup " + shellQuoted(dir.str())).status, 0);
        asUser = "setpriv --reuid=nobody --regid=nogroup --clear-groups -- ";
    }

    for (int run = 0; run < 2; ++run) {
        const CommandResult outcome =
            runCommand(asUser + TOLVANE_RUN_PATH + " --settings " + shellQuoted(dir / "cfg"));
        EXPECT_EQ(outcome.status, 3) << outcome.output;
        EXPECT_NE(
            outcome.output.find("今回のバックアップでコピーできなかった項目が 1 件あります。"
                                "\r\n\r\nCopyDiffFile:CopyFileに失敗しました。\r\nコピー元：" +
                                (dir / "src/locked.txt")),
            std::string::npos)
            << outcome.output;
        EXPECT_NE(outcome.output.find("CAPTION: "), std::string::npos) << outcome.output;
    }
    EXPECT_EQ(platform::readFileBytes(dir / "dst/src/a.txt"), "a");
    EXPECT_EQ(platform::readFileBytes(dir / "dst/src/z.txt"), "z");
    EXPECT_FALSE(fs::exists(dir / "dst/src/locked.txt"));
    EXPECT_NE(platform::readFileBytes(dir / "cfg/Tolvane.log").find("コピーできなかった項目：1"),
              std::string::npos);
}

} // namespace
} // namespace tolvane::settings

#endif
