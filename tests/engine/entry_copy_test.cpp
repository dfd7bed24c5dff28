#include "engine_fixture.h"
#include "platform/clock.h"
#include "support/system.h"
#ifndef _WIN32
#include "support/child_process.h"
#endif

namespace tolvane::engine {
namespace {

using EntryCopy = EngineTest;

TEST_F(EntryCopy, AFolderIsWalkedIntoAnExistingDestinationAndOnlyChangesAreCopied) {
    write("data/Work/a.txt", "a");
    write("data/Work/sub/b.txt", "b");
    std::filesystem::create_directory(path("backup"));
    state.setTextSaveAt(path("backup"));

    engine.copyEntry(path("data/Work"));
    EXPECT_EQ(read("backup/Work/a.txt"), "a");
    EXPECT_EQ(read("backup/Work/sub/b.txt"), "b");

    // Same time and length: left alone, so a marker in the copy survives.
    write("backup/Work/a.txt", "A");
    setModified("backup/Work/a.txt", modified("data/Work/a.txt"));
    write("data/Work/sub/b.txt", "bb");
    engine.copyEntry(path("data/Work"));
    EXPECT_EQ(read("backup/Work/a.txt"), "A");
    EXPECT_EQ(read("backup/Work/sub/b.txt"), "bb");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(EntryCopy, AMissingDestinationIsMadeAndTheFolderCopiedWholeWithoutFinishing) {
    write("data/Work/a.txt", "a");
    chmod("data/Work/a.txt", 0644);
    state.setTextSaveAt(path("new/backup"));
    state.setCopyAtReadOnlyChecked(true);

    engine.copyEntry(path("data/Work"));

    EXPECT_EQ(read("new/backup/Work/a.txt"), "a");
    EXPECT_EQ(mode("new/backup/Work/a.txt"), 0644u);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(EntryCopy, ADestinationWithATrailingSeparatorGetsNoDoubledOne) {
    write("data/Work/a.txt", "a");
    state.setTextSaveAt(path("backup") + "/");
    std::filesystem::create_directory(path("backup"));
    engine.copyEntry(path("data/Work"));
    EXPECT_EQ(read("backup/Work/a.txt"), "a");
}

TEST_F(EntryCopy, DateHistoryCopiesWholeIntoTheDayFolderFirstAndWalksLater) {
    write("data/Work/a.txt", "a");
    write("data/Other/o.txt", "o");
    write("data/c.txt", "c");
    state.setTextSaveAt(path("backup"));
    state.setDateCopyTag(kDateCopyMark);
    state.setCopyAtReadOnlyChecked(true);

    engine.copyEntry(path("data/Work"));
    EXPECT_EQ(read("backup/20261208/Work/a.txt"), "a");
    EXPECT_EQ(mode("backup/20261208/Work/a.txt") & 0222, 0644u & 0222); // copied whole

    engine.copyEntry(path("data/Other"));
    EXPECT_EQ(read("backup/20261208/Other/o.txt"), "o");
    EXPECT_EQ(mode("backup/20261208/Other/o.txt") & 0222, 0u); // walked and finished

    engine.copyEntry(path("data/c.txt"));
    EXPECT_EQ(read("backup/20261208/c.txt"), "c");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(EntryCopy, ACopyOntoItsOwnSourceStopsTheRun) {
    write("backup/Work/a.txt", "a");
    state.setTextSaveAt(path("backup"));
    EXPECT_EQ(engine.copyEntry(path("backup/Work")), MirrorEngine::EntryResult::StopRun);
    EXPECT_EQ(shell.texts(), std::vector<std::string>{"コピー先とコピー元が同じです"});
    EXPECT_FALSE(shell.ended);
    EXPECT_EQ(names("backup/Work"), std::vector<std::string>{"a.txt"});
}

TEST_F(EntryCopy, DotEntriesKeepTheirNames) {
    write("data/.profile", "p");
    write("data/.config/app.ini", "i");
    std::filesystem::create_directory(path("backup"));
    state.setTextSaveAt(path("backup"));

    engine.copyEntry(path("data/.profile"));
    engine.copyEntry(path("data/.config"));

    EXPECT_EQ(names("backup"), (std::vector<std::string>{".config", ".profile"}));
    EXPECT_EQ(read("backup/.config/app.ini"), "i");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(EntryCopy, ADestinationInsideTheEntryIsNeverCopiedIntoItself) {
    write("home/notes.txt", "n");
    write("home/docs/d.txt", "d");
    state.setTextSaveAt(path("home/backup"));

    // First the whole copy (destination missing), then twice the walk.
    engine.copyEntry(path("home"));
    engine.copyEntry(path("home"));
    write("home/docs/d.txt", "changed");
    engine.copyEntry(path("home"));

    EXPECT_EQ(names("home/backup"), std::vector<std::string>{"home"});
    EXPECT_EQ(names("home/backup/home"), (std::vector<std::string>{"docs", "notes.txt"}));
    EXPECT_EQ(read("home/backup/home/docs/d.txt"), "changed");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(EntryCopy, TheDestinationItselfAsAnEntryDoesNotNest) {
    write("backup/a.txt", "a");
    state.setTextSaveAt(path("backup"));
    engine.copyEntry(path("backup"));
    engine.copyEntry(path("backup"));
    EXPECT_EQ(names("backup/backup"), std::vector<std::string>{"a.txt"});
}

TEST_F(EntryCopy, AnEntryThatIsALinkIsFollowed) {
    SKIP_WITHOUT_SYMLINKS(dir.path());
    write("real/folder/f.txt", "f");
    write("real/file.txt", "t");
    std::filesystem::create_directory_symlink(path("real/folder"), path("linked"));
    std::filesystem::create_symlink(path("real/file.txt"), path("linked.txt"));
    std::filesystem::create_directory(path("backup"));
    state.setTextSaveAt(path("backup"));

    engine.copyEntry(path("linked"));
    engine.copyEntry(path("linked.txt"));

    EXPECT_EQ(platform::linkStatus(path("backup/linked"))->kind, platform::FileKind::Folder);
    EXPECT_EQ(read("backup/linked/f.txt"), "f");
    EXPECT_EQ(platform::linkStatus(path("backup/linked.txt"))->kind, platform::FileKind::File);
    EXPECT_EQ(read("backup/linked.txt"), "t");
}

TEST_F(EntryCopy, ADestinationThatCannotBeMadeStopsTheRunWithItsMessage) {
    write("data/a.txt", "a");
    write("blocker", "a file where a folder should be");
    state.setTextSaveAt(path("blocker/backup"));

    EXPECT_EQ(engine.copyEntry(path("data/a.txt")), MirrorEngine::EntryResult::StopRun);

    EXPECT_FALSE(shell.ended);
    EXPECT_EQ(
        shell.texts(),
        std::vector<std::string>{
            "バックアップ先を確保できません\r\nSaveAt=" + path("blocker/backup") + "\r\n" +
            platform::Failure::about(testing::kNotAFolder, path("blocker/backup")).description()});
    EXPECT_EQ(read("blocker"), "a file where a folder should be");
}

TEST_F(EntryCopy, AFolderEntryBelowAFileStopsTheRunAtTheFolderCreation) {
    write("data/Work/a.txt", "a");
    write("blocker", "x");
    state.setTextSaveAt(path("blocker/backup"));

    EXPECT_EQ(engine.copyEntry(path("data/Work")), MirrorEngine::EntryResult::StopRun);
    EXPECT_FALSE(shell.ended);

    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text,
              "makeLongDir:予期しないエラーが発生しました。\r\nフォルダ：" +
                  path("blocker/backup/Work") + "\r\n" +
                  platform::Failure::about(testing::kFileExists, path("blocker")).description());
    EXPECT_EQ(read("blocker"), "x");
}

TEST_F(EntryCopy, ARelativeDestinationHasNoDrive) {
    write("data/Work/a.txt", "a");
    state.setTextSaveAt("tolvane-no-such-drive");

    EXPECT_EQ(engine.copyEntry(path("data/Work")), MirrorEngine::EntryResult::StopRun);

    EXPECT_FALSE(shell.ended);
    EXPECT_EQ(shell.texts(),
              std::vector<std::string>{
                  "makeLongDir:指定されたドライブがありません。\r\nDrive=tolvane-no-such-drive"});
    EXPECT_FALSE(platform::folderExists("tolvane-no-such-drive"));
}

} // namespace
} // namespace tolvane::engine

namespace tolvane::engine {
namespace {

TEST_F(EntryCopy, DateHistoryFileEntryMakesDestinationAndDayFolderAndIsFinished) {
    write("data/a.txt", "a");
    chmod("data/a.txt", 0644);
    std::filesystem::create_directory(path("parent"));
    state.setTextSaveAt(path("parent/backup"));
    state.setDateCopyTag(kDateCopyMark);
    state.setCopyAtReadOnlyChecked(true);

    engine.copyEntry(path("data/a.txt"));

    EXPECT_EQ(read("parent/backup/20261208/a.txt"), "a");
    EXPECT_EQ(mode("parent/backup/20261208/a.txt"), 0444u);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(EntryCopy, DateHistorySecondRunOfTheDayCopiesOnlyChangedFiles) {
    write("data/Work/a.txt", "a");
    write("data/Work/b.txt", "b");
    state.setTextSaveAt(path("backup"));
    state.setDateCopyTag(kDateCopyMark);

    engine.copyEntry(path("data/Work"));
    write("backup/20261208/Work/a.txt", "A");
    setModified("backup/20261208/Work/a.txt", modified("data/Work/a.txt"));
    write("data/Work/b.txt", "bb");
    engine.copyEntry(path("data/Work"));

    EXPECT_EQ(read("backup/20261208/Work/a.txt"), "A");
    EXPECT_EQ(read("backup/20261208/Work/b.txt"), "bb");
    EXPECT_TRUE(shell.messages.empty());
}

} // namespace
} // namespace tolvane::engine

namespace tolvane::engine {
namespace {

TEST_F(EntryCopy, ACopyFolderLinkedElsewhereIsFollowedButNotOneLinkedToItsSource) {
    SKIP_WITHOUT_SYMLINKS(dir.path());
    write("data/Work/a.txt", "a");
    write("data/Home/h.txt", "h");
    write("disk2/Work/old.txt", "o");
    std::filesystem::create_directory(path("backup"));
    std::filesystem::create_directory_symlink(path("disk2/Work"), path("backup/Work"));
    std::filesystem::create_directory_symlink(path("data/Home"), path("backup/Home"));
    state.setTextSaveAt(path("backup"));

    engine.copyEntry(path("data/Work"));
    engine.copyEntry(path("data/Home"));

    EXPECT_EQ(platform::linkStatus(path("backup/Work"))->kind, platform::FileKind::Link);
    EXPECT_EQ(names("disk2/Work"), (std::vector<std::string>{"a.txt", "old.txt"}));
    EXPECT_EQ(platform::linkStatus(path("backup/Home"))->kind, platform::FileKind::Folder);
    EXPECT_EQ(read("backup/Home/h.txt"), "h");
    EXPECT_EQ(names("data/Home"), std::vector<std::string>{"h.txt"});
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(EntryCopy, PathsWithANulNeverReachTheFileSystem) {
    write("data/a.txt", "a");
    write("data/sub/b.txt", "b");
    std::filesystem::create_directory(path("backup"));
    state.setTextSaveAt(path("backup"));
    const std::string folder = path("data") + std::string("\0/sub", 5);
    const std::string file = path("data/a.txt") + std::string(1, '\0');

    engine.copyEntry(folder);
    engine.copyEntry(file);

    EXPECT_EQ(shell.texts(),
              (std::vector<std::string>{"コピー対象がありません。\r\nTargetFolder=" + folder,
                                        "コピー対象がありません。\r\nTargetFolder=" + file}));
    EXPECT_TRUE(names("backup").empty());

    // A destination with a NUL cannot be made; nothing is written elsewhere.
    shell.messages.clear();
    state.setTextSaveAt(path("backup") + std::string("\0x", 2));
    EXPECT_EQ(engine.copyEntry(path("data")), MirrorEngine::EntryResult::StopRun);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text.rfind("makeLongDir:予期しないエラーが発生しました。\r\n", 0),
              0u);
    EXPECT_TRUE(names("backup").empty());
}

#ifndef _WIN32
TEST_F(EntryCopy, AnUnreadableFolderIsReportedByTheWholeCopyAndTheWalkAlike) {
    write("data/Work/locked/s.txt", "s");
    write("data/Work/z/y.txt", "y");
    chmod("data/Work/locked", 0);
    state.setTextSaveAt(path("backup"));

    const auto result = testing::runInChild(
        [&] { return testing::becomeUnprivileged(dir.path(), path("data/Work/locked")); },
        [&] {
            std::string report =
                ends([&] { engine.copyEntry(path("data/Work")); }) ? "ended" : "returned";
            report += ends([&] { engine.copyEntry(path("data/Work")); }) ? " ended" : " returned";
            report += " " + std::to_string(shell.messages.size());
            for (const auto& lines : failures()) {
                report += "\n--";
                for (const auto& line : lines) {
                    report += "\n" + line;
                }
            }
            return report;
        });
    if (!result.ran) {
        GTEST_SKIP() << result.text;
    }

    const std::string locked = path("data/Work/locked");
    const std::string unreadable = "\n--\nフォルダを読み込めません。\nフォルダ：" + locked +
                                   "\n原因：コピー元：アクセスが許可されていません（"
                                   "Permission denied: " +
                                   locked + "）";
    EXPECT_EQ(result.text, "returned returned 0" + unreadable + unreadable);
    EXPECT_EQ(read("backup/Work/z/y.txt"), "y");
}
#endif

} // namespace
} // namespace tolvane::engine
