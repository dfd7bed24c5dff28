#include "engine_fixture.h"
#include "support/system.h"
#ifndef _WIN32
#include "support/child_process.h"
#endif

namespace tolvane::engine {
namespace {

using FolderWalk = EngineTest;

TEST_F(FolderWalk, EmptyFoldersReappearAndNothingIsDeleted) {
    std::filesystem::create_directories(path("src/a/b/c"));
    write("dst/only-in-copy.txt", "stays");

    EXPECT_TRUE(engine.walkFolder(path("src"), path("dst")));

    EXPECT_TRUE(platform::folderExists(path("dst/a/b/c")));
    EXPECT_EQ(read("dst/only-in-copy.txt"), "stays");
}

TEST_F(FolderWalk, ASourceThatCannotBeOpenedGivesFalseAfterMakingTheFolder) {
    EXPECT_FALSE(engine.walkFolder(path("missing"), path("dst")));
    EXPECT_TRUE(platform::folderExists(path("dst")));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(FolderWalk, ASubFolderGoneDuringTheWalkIsSkippedQuietly) {
    write("src/a.txt", "a");
    write("src/sub1/x.txt", "x");
    write("src/sub2/y.txt", "y");
    // Once the files are done, before the sub-folders are walked.
    shell.onServeEvents = [&] {
        if (exists("dst/a.txt") && exists("src/sub1")) {
            platform::removeTree(path("src/sub1"));
        }
    };

    EXPECT_TRUE(engine.walkFolder(path("src"), path("dst")));

    EXPECT_TRUE(names("dst/sub1").empty());
    EXPECT_EQ(read("dst/sub2/y.txt"), "y");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(FolderWalk, ATopFolderGoneBeforeItIsOpenedIsReportedAndTheRunGoesOn) {
    write("src/Work/a.txt", "a");
    std::filesystem::create_directory(path("dst"));
    state.setTextSaveAt(path("dst"));
    shell.onServeEvents = [&] { platform::removeTree(path("src/Work")); };

    EXPECT_EQ(engine.copyEntry(path("src/Work")), MirrorEngine::EntryResult::Continue);

    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(failures(),
              (std::vector<std::vector<std::string>>{
                  {"GetFiles:ファイルの処理に失敗しました。", "フォルダ：" + path("src/Work"),
                   "原因：コピー元：実行中になくなりました（" +
                       platform::Failure::about(testing::kFolderNotFound, path("src/Work"))
                           .description() +
                       "）"}}));
    EXPECT_TRUE(platform::folderExists(path("dst/Work")));
}

#ifndef _WIN32
// Needs a named pipe, which only POSIX has.
TEST_F(FolderWalk, LinksAreCopiedAsLinksAndSpecialFilesSkipped) {
    write("src/a/f.txt", "f");
    write("outside/secret.txt", "s");
    std::filesystem::create_symlink("..", path("src/a/up"));
    std::filesystem::create_directory_symlink(path("outside"), path("src/out"));
    testing::makeFifo(path("src/a/pipe"));

    EXPECT_TRUE(engine.walkFolder(path("src"), path("dst")));
    EXPECT_EQ(platform::readLink(path("dst/a/up")), "..");
    EXPECT_EQ(platform::readLink(path("dst/out")), path("outside"));
    EXPECT_FALSE(exists("dst/a/pipe"));
    EXPECT_EQ(names("dst"), (std::vector<std::string>{"a", "out"}));

    // A link that now points elsewhere is replaced; one that does not stays.
    std::filesystem::remove(path("src/a/up"));
    std::filesystem::create_symlink("../a", path("src/a/up"));
    EXPECT_TRUE(engine.walkFolder(path("src"), path("dst")));
    EXPECT_EQ(platform::readLink(path("dst/a/up")), "../a");
    EXPECT_EQ(platform::readLink(path("dst/out")), path("outside"));
    EXPECT_EQ(names("outside"), std::vector<std::string>{"secret.txt"});
}
#endif

TEST_F(FolderWalk, ALinkInTheCopyIsFollowedUnlessItLeadsBackIntoTheSource) {
    SKIP_WITHOUT_SYMLINKS(dir.path());
    // Part of the backup placed on another disk.
    write("disk2/keep.txt", "k");
    std::filesystem::create_directory(path("dst"));
    std::filesystem::create_directory_symlink(path("disk2"), path("dst/sub"));
    write("src/sub/new.txt", "n");
    // An old copy of a source link that pointed into the source.
    write("src/other/o.txt", "o");
    std::filesystem::create_directory_symlink(path("src/other"), path("dst/back"));
    write("src/back/b.txt", "b");

    EXPECT_TRUE(engine.walkFolder(path("src"), path("dst")));

    EXPECT_EQ(platform::linkStatus(path("dst/sub"))->kind, platform::FileKind::Link);
    EXPECT_EQ(names("disk2"), (std::vector<std::string>{"keep.txt", "new.txt"}));
    EXPECT_EQ(platform::linkStatus(path("dst/back"))->kind, platform::FileKind::Folder);
    EXPECT_EQ(read("dst/back/b.txt"), "b");
    EXPECT_EQ(names("src/other"), std::vector<std::string>{"o.txt"});
    EXPECT_TRUE(shell.messages.empty());
}

#ifndef _WIN32
// The walk's result, its messages and the failures it gathered, as a child
// process reports them.
std::string walkReport(bool walked, const testing::FakeShell& shell,
                       const std::vector<std::vector<std::string>>& failures) {
    std::string report = walked ? "walked" : "not walked";
    for (const auto& text : shell.texts()) {
        report += "\n--\n" + text;
    }
    for (const auto& lines : failures) {
        report += "\n==";
        for (const auto& line : lines) {
            report += "\n" + line;
        }
    }
    return report;
}

TEST_F(FolderWalk, AnUnreadableSubFolderIsNamedAndItsSiblingsAreStillWalked) {
    write("src/a/x.txt", "x");
    write("src/locked/secret.txt", "s");
    write("src/z/y.txt", "y");
    chmod("src/locked", 0);

    const auto result = testing::runInChild(
        [&] { return testing::becomeUnprivileged(dir.path(), path("src/locked")); },
        [&] {
            const bool walked = engine.walkFolder(path("src"), path("dst"));
            return walkReport(walked, shell, failures());
        });
    if (!result.ran) {
        GTEST_SKIP() << result.text;
    }

    EXPECT_EQ(result.text,
              "walked\n==\nフォルダを読み込めません。\nフォルダ：" + path("src/locked") +
                  "\n原因：コピー元：アクセスが許可されていません（Permission denied: " +
                  path("src/locked") + "）");
    EXPECT_EQ(read("dst/a/x.txt"), "x");
    EXPECT_EQ(read("dst/z/y.txt"), "y");
    EXPECT_TRUE(names("dst/locked").empty());
}
#endif

#ifndef _WIN32
TEST_F(FolderWalk, AFolderMetAgainBelowItselfIsNotEnteredAgain) {
    write("src/a.txt", "a");
    std::filesystem::create_directory(path("src/loop"));

    const auto result =
        testing::runInChild([&] { return testing::mountLoop(path("src"), path("src/loop")); },
                            [&] {
                                const bool walked = engine.walkFolder(path("src"), path("walked"));
                                platform::copyFolder(path("src"), path("whole"));
                                return walkReport(walked, shell, failures());
                            });
    if (!result.ran) {
        GTEST_SKIP() << result.text;
    }

    EXPECT_EQ(result.text, "walked");
    EXPECT_EQ(names("walked"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(names("whole"), std::vector<std::string>{"a.txt"});
}
#endif

TEST_F(FolderWalk, AFileCopiedOntoItselfStopsTheRun) {
    write("src/a.txt", "a");
    EXPECT_THROW(engine.walkFolder(path("src"), path("src")), MirrorEngine::RunStop);
    EXPECT_EQ(shell.texts(),
              std::vector<std::string>{"コピー先とコピー元が同じです\r\nコピー元：" +
                                       path("src/a.txt") + "\r\nコピー先：" + path("src/a.txt")});
    EXPECT_FALSE(shell.ended);
    EXPECT_EQ(read("src/a.txt"), "a");
}

TEST_F(FolderWalk, ServesEventsAfterTheFolderTestEachFileAndEachSubFolder) {
    write("src/a.txt", "a");
    write("src/b.txt", "b");
    std::filesystem::create_directories(path("src/sub"));
    EXPECT_TRUE(engine.walkFolder(path("src"), path("dst")));
    // top folder test, 2 x (before copy, after file), sub folder test, after sub
    EXPECT_EQ(shell.servedEvents, 1 + 2 * 2 + 1 + 1);
}

} // namespace
} // namespace tolvane::engine

namespace tolvane::engine {
namespace {

TEST_F(FolderWalk, AFileGoneBetweenTheListingAndItsCopyIsReportedAsVanished) {
    write("src/a.txt", "a");
    write("dst/keep.txt", "kept");
    // The first events served inside the file's copy step remove it.
    shell.onServeEvents = [&] {
        if (exists("dst") && exists("src/a.txt") && shell.servedEvents == 2) {
            platform::removeTree(path("src/a.txt"));
        }
    };

    EXPECT_TRUE(engine.walkFolder(path("src"), path("dst")));

    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(
        failures(),
        (std::vector<std::vector<std::string>>{
            {"CopyDiffFile:CopyFileに失敗しました。", "コピー元：" + path("src/a.txt"),
             "コピー先：" + path("dst/a.txt"),
             "原因：コピー元：実行中になくなりました（" +
                 platform::Failure::about(testing::kFileNotFound, path("src/a.txt")).description() +
                 "）"}}));
    EXPECT_EQ(names("dst"), std::vector<std::string>{"keep.txt"});
}

} // namespace
} // namespace tolvane::engine
