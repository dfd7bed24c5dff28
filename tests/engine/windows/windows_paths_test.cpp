#include "engine_fixture.h"

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
    EXPECT_TRUE(ends([&] { engine.copyEntry(path("backup/Work")); }));
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"コピー先とコピー元が同じです"});
    EXPECT_EQ(names("backup/Work"), std::vector<std::string>{"a.txt"});
}

TEST_F(WindowsEntryCopy, AFolderWalkedOntoItselfInOtherLettersEndsAtOnce) {
    write("src/a.txt", "a");
    EXPECT_TRUE(ends([&] { engine.walkFolder(path("src"), spelledOtherwise(path("src"))); }));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_TRUE(shell.messages[0].text.starts_with("コピー先とコピー元が同じです"));
    EXPECT_EQ(shell.endKind, EndKind::Immediate);
    EXPECT_EQ(read("src/a.txt"), "a");
}

TEST_F(WindowsEntryCopy, ADestinationOnAMissingDriveIsReportedWithItsLetter) {
    write("data/Work/a.txt", "a");
    state.setTextSaveAt("Q:\\Backup");
    ends([&] { engine.copyEntry(path("data/Work")); });
    ASSERT_FALSE(shell.messages.empty());
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

} // namespace
} // namespace tolvane::engine
