#include "engine_fixture.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cctype>

namespace tolvane::engine {
namespace {

using WindowsEntryCopy = EngineTest;

// The path with forward slashes and its letters in upper case: the same
// place to Windows.
std::string spelledOtherwise(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return path;
}

TEST_F(WindowsEntryCopy, TheSamePathSpelledOtherwiseIsStillTheSource) {
    write("backup/Work/a.txt", "a");
    state.setTextSaveAt(spelledOtherwise(path("backup")));
    EXPECT_EQ(engine.copyEntry(path("backup/Work")), MirrorEngine::EntryResult::StopRun);
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"コピー先とコピー元が同じです"});
    EXPECT_EQ(names("backup/Work"), std::vector<std::string>{"a.txt"});
}

TEST_F(WindowsEntryCopy, AFolderWalkedOntoItselfInOtherLettersStopsTheRun) {
    write("src/a.txt", "a");
    EXPECT_THROW(engine.walkFolder(path("src"), spelledOtherwise(path("src"))),
                 MirrorEngine::RunStop);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_TRUE(shell.messages[0].text.starts_with("コピー先とコピー元が同じです"));
    EXPECT_FALSE(shell.ended);
    EXPECT_EQ(read("src/a.txt"), "a");
}

TEST_F(WindowsEntryCopy, ADestinationOnAMissingDriveIsReportedWithItsLetter) {
    write("data/Work/a.txt", "a");
    state.setTextSaveAt("Q:\\Backup");
    EXPECT_EQ(engine.copyEntry(path("data/Work")), MirrorEngine::EntryResult::StopRun);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "makeLongDir:指定されたドライブがありません。\r\nDrive=Q:");
}

TEST_F(WindowsEntryCopy, PathsLongerThanTheOldLimitAreCopied) {
    // Well beyond 260 characters, counted as Windows counts them.
    std::string deep = "data";
    while (deep.size() < 400) {
        deep += "/a-long-folder-name";
    }
    deep += "/日本語";
    write(deep + "/a.txt", "a");
    state.setTextSaveAt(path("backup"));
    engine.copyEntry(path("data"));
    EXPECT_TRUE(shell.messages.empty()) << shell.messages[0].text;
    EXPECT_EQ(read("backup/" + deep + "/a.txt"), "a");
}

// Names a listing gives are used as listed: device names, and names ending
// in a dot or a blank, reach the file system through the long form.
TEST_F(WindowsEntryCopy, NamesWindowsWouldReadOtherwiseAreCopiedUnderTheirOwnNames) {
    const std::vector<std::string> special = {"aux.txt",  "CON",  "nul",
                                              "COM1.log", "end.", "blank "};
    platform::createFolder(path("src"));
    for (const std::string folder : {"dir.", "dir "}) {
        platform::createFolder(path("src") + "\\" + folder);
        platform::appendToFile(path("src") + "\\" + folder + "\\inner.txt", folder);
    }
    for (const std::string& name : special) {
        platform::appendToFile(path("src") + "\\" + name, "content of " + name);
    }
    std::filesystem::create_directory(path("backup"));
    state.setTextSaveAt(path("backup"));
    state.addListTarget(path("src"));

    for (int run = 0; run < 2; ++run) {
        engine.runCopy();
        EXPECT_TRUE(engine.report().failures.empty()) << itemLines(engine.report().failures[0])[0];
    }

    EXPECT_EQ(engine.report().unchanged, special.size() + 2);
    for (const std::string& name : special) {
        EXPECT_EQ(platform::readFileBytes(path("backup") + "\\src\\" + name), "content of " + name)
            << name;
    }
    for (const std::string folder : {"dir.", "dir "}) {
        EXPECT_EQ(platform::readFileBytes(path("backup") + "\\src\\" + folder + "\\inner.txt"),
                  folder);
    }
}

TEST_F(WindowsEntryCopy, TypedDestinationsAreReadAsTheSystemReadsThem) {
    write("data/a.txt", "a");
    state.addListTarget(path("data") + "/");

    // A trailing blank and dot are dropped, as the system drops them.
    state.setTextSaveAt(path("backup") + " .");
    engine.runCopy();
    EXPECT_EQ(read("backup/data/a.txt"), "a");

    // The long forms, also when the folder is still to be made.
    std::string longForm = "\\\\?\\" + path("long/new");
    std::replace(longForm.begin(), longForm.end(), '/', '\\');
    state.setTextSaveAt(longForm);
    engine.runCopy();
    EXPECT_EQ(read("long/new/data/a.txt"), "a");
    EXPECT_TRUE(shell.messages.empty()) << shell.messages[0].text;
    EXPECT_TRUE(engine.report().failures.empty());
}

} // namespace
} // namespace tolvane::engine
