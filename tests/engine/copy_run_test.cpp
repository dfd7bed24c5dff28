#include "engine_fixture.h"

namespace tolvane::engine {
namespace {

using CopyRun = EngineTest;

TEST_F(CopyRun, AnEmptyDestinationOnlyShowsTheMessage) {
    state.addListTarget(path("src"));
    write("src/f", "x");
    state.setCaption("before");
    state.setTimerEnabled(true);

    engine.runCopy();

    EXPECT_EQ(shell.texts(), std::vector<std::string>{"保存先が指定されていません"});
    EXPECT_EQ(state.caption(), "before");
    EXPECT_TRUE(state.timerEnabled());
    EXPECT_TRUE(state.inputsEnabled());
    EXPECT_EQ(state.runDepth, 0);
}

TEST_F(CopyRun, LocksTheWindowDuringTheRunAndRestoresItWithTheCountdownCaption) {
    write("src/f", "x");
    std::filesystem::create_directory(path("dst"));
    state.addListTarget(path("src"));
    state.setTextSaveAt(path("dst"));
    state.remainingTime = 59500;
    std::vector<std::string> seen;
    shell.onServeEvents = [&] {
        seen.push_back(state.caption() + (state.inputsEnabled() ? " inputs" : "") +
                       (state.timerEnabled() ? " timer" : "") + " depth " +
                       std::to_string(state.runDepth));
    };

    engine.runCopy();

    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "Tolvane：処理中 depth 1");
    EXPECT_EQ(state.statusCaption, "Tolvane：待機中");
    EXPECT_EQ(state.caption(), "Tolvane：待機中   残り待ち時間59.5秒");
    EXPECT_TRUE(state.timerEnabled());
    EXPECT_TRUE(state.inputsEnabled());
    EXPECT_EQ(state.runDepth, 0);
    EXPECT_EQ(read("dst/src/f"), "x");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(CopyRun, OneTrailingSeparatorIsTrimmedThroughTheFieldButTheRootKeepsIt) {
    std::filesystem::create_directory(path("dst"));
    int changes = 0;
    state.setTextSaveAt(path("dst") + "/");
    state.onTextSaveAtChange = [&] {
        ++changes;
        state.setStopTimerChecked(true);
    };
    state.remainingTime = 59000;

    engine.runCopy();

    EXPECT_EQ(state.textSaveAt(), path("dst"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(state.caption(), "Tolvane：監視一時停止中   残り待ち時間59秒");
    EXPECT_TRUE(state.timerEnabled());

    state.setTextSaveAt("/");
    changes = 0;
    engine.runCopy();
    EXPECT_EQ(state.textSaveAt(), "/");
    EXPECT_EQ(changes, 0);
}

TEST_F(CopyRun, ArchivingFollowsTheEntriesOnlyWhenChecked) {
    std::filesystem::create_directory(path("dst"));
    state.setTextSaveAt(path("dst"));
    int archived = 0;
    engine.compressPastDateFolders = [&] {
        ++archived;
        EXPECT_EQ(state.caption(), "Tolvane：処理中");
        return std::string("packed");
    };
    engine.runCopy();
    EXPECT_EQ(archived, 0);
    state.setDateCopyCompressChecked(true);
    engine.runCopy();
    EXPECT_EQ(archived, 1);
    EXPECT_EQ(state.caption(), "Tolvane：待機中   残り待ち時間0秒");
}

TEST_F(CopyRun, AMissingEntryIsReportedAndTheNextOneStillCopied) {
    write("b/f", "b");
    std::filesystem::create_directory(path("dst"));
    state.setTextSaveAt(path("dst"));
    state.addListTarget(path("gone"));
    state.addListTarget(path("b"));

    engine.runCopy();

    EXPECT_EQ(shell.texts(),
              std::vector<std::string>{"コピー対象がありません。\r\nTargetFolder=" + path("gone")});
    EXPECT_EQ(read("dst/b/f"), "b");
}

TEST_F(CopyRun, TheListCountIsTakenOnceAndAnEntryGoneMeanwhileReadsEmpty) {
    write("a/f", "a");
    write("b/f", "b");
    std::filesystem::create_directory(path("dst"));
    state.setTextSaveAt(path("dst"));
    state.addListTarget(path("a"));
    state.addListTarget(path("b"));
    bool cleared = false;
    shell.onServeEvents = [&] {
        if (!cleared && exists("dst/a/f")) {
            cleared = true;
            state.removeListTarget(1);
        }
    };

    engine.runCopy();

    EXPECT_EQ(shell.texts(), std::vector<std::string>{"コピー対象がありません。\r\nTargetFolder="});
    EXPECT_FALSE(exists("dst/b"));
}

TEST_F(CopyRun, TheRunDepthIsRestoredWhenTheProgramEndsInsideTheRun) {
    write("src/f", "x");
    std::filesystem::create_directory(path("dst"));
    state.setTextSaveAt(path("dst"));
    state.addListTarget(path("src"));
    shell.sessionEnding = true;
    EXPECT_TRUE(ends([&] { engine.runCopy(); }));
    EXPECT_EQ(state.runDepth, 0);
    EXPECT_FALSE(state.timerEnabled());
}

TEST_F(CopyRun, ACopyOntoItsOwnSourceStopsTheRunButNotTheProgram) {
    write("dst/Work/f", "x");
    write("later/g", "g");
    state.setTextSaveAt(path("dst"));
    state.addListTarget(path("dst/Work"));
    state.addListTarget(path("later"));
    state.setDateCopyCompressChecked(true);
    bool archived = false;
    engine.compressPastDateFolders = [&] {
        archived = true;
        return std::string();
    };

    EXPECT_FALSE(ends([&] { engine.runCopy(); }));

    EXPECT_EQ(shell.texts(), std::vector<std::string>{"コピー先とコピー元が同じです"});
    EXPECT_EQ(engine.lastRunOutcome(), MirrorEngine::RunOutcome::Stopped);
    EXPECT_FALSE(exists("dst/later"));
    EXPECT_FALSE(archived);
    EXPECT_EQ(state.runDepth, 0);
    EXPECT_TRUE(state.timerEnabled());
    EXPECT_EQ(state.caption(), "Tolvane：待機中   残り待ち時間0秒");
}

} // namespace
} // namespace tolvane::engine

namespace tolvane::engine {
namespace {

TEST_F(CopyRun, ARunStartedDuringARunCopiesEverythingAndTheOuterWalkKeepsItsGuard) {
    // The entry is the destination itself: each walk must leave its own copy out.
    write("backup/a.txt", "a");
    write("backup/sub/b.txt", "b");
    state.setTextSaveAt(path("backup"));
    state.addListTarget(path("backup"));
    bool nested = false;
    bool enabledWhileOuterRan = false;
    shell.onServeEvents = [&] {
        if (!nested && exists("backup/backup/a.txt")) {
            nested = true;
            engine.runCopy();
            enabledWhileOuterRan = state.inputsEnabled() && state.runDepth == 1;
        }
    };

    engine.runCopy();

    EXPECT_TRUE(nested);
    EXPECT_TRUE(enabledWhileOuterRan);
    EXPECT_EQ(names("backup/backup"), (std::vector<std::string>{"a.txt", "sub"}));
    EXPECT_EQ(read("backup/backup/sub/b.txt"), "b");
    EXPECT_EQ(state.runDepth, 0);
    EXPECT_TRUE(shell.messages.empty());
}

} // namespace
} // namespace tolvane::engine
