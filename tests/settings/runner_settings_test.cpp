// The headless runner started with --settings, as a script would start it.
#ifdef TOLVANE_RUN_PATH

#include "platform/text_file.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tolvane::settings {
namespace {

namespace fs = std::filesystem;
using tolvane::testing::TempDir;

struct Outcome {
    int status = -1;
    std::string output;
};

Outcome runRunner(const std::string& arguments) {
    Outcome outcome;
    const std::string command = std::string(TOLVANE_RUN_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) {
        outcome.output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

void put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(RunnerWithSettings, FirstStartCreatesTheListFileAndEndsAtOnce) {
    TempDir dir;
    const Outcome outcome = runRunner("--settings '" + dir.str() + "/'");
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
    put(dir / "src/a.txt", "a");
    put(dir / "cfg/Tolvane.Ini", "[Tolvane]\r\nSaveAt=" + (dir / "dst") + "\r\nInterval=60000\r\n");
    put(dir / "cfg/Tolvane.dat", dir / "src/a.txt");
    fs::create_directories(dir / "dst");
    fs::create_directories(dir / "other");

    Outcome outcome = runRunner("--settings '" + (dir / "cfg") + "'");
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("CAPTION: Tolvane：待機中   残り待ち時間60秒"), std::string::npos)
        << outcome.output;
    EXPECT_TRUE(fs::exists(dir / "dst/a.txt"));

    outcome = runRunner("--settings '" + (dir / "cfg") + "' --save-at '" + (dir / "other") + "'");
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_TRUE(fs::exists(dir / "other/a.txt"));
    // Running never saves.
    EXPECT_EQ(platform::readFileBytes(dir / "cfg/Tolvane.dat"), dir / "src/a.txt");
}

} // namespace
} // namespace tolvane::settings

#endif
