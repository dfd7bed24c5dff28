#include "engine/run_record.h"
#include "engine_fixture.h"
#include "platform/text_file.h"
#ifndef _WIN32
#include "support/child_process.h"
#include "support/mounted_disk.h"
#endif

#include <algorithm>

namespace tolvane::engine {
namespace {

class RunFailures : public EngineTest {
  protected:
    RunFailures() {
        std::filesystem::create_directory(path("dst"));
        state.setTextSaveAt(path("dst"));
    }

    // One source file the walk cannot copy: a folder stands where its copy
    // goes, which holds for every user and on every system.
    void blockCopyOf(const std::string& copy) { write(copy + "/inside", "kept"); }

    std::string record() const { return read("settings/Tolvane.log"); }
};

TEST_F(RunFailures, OneFileThatCannotBeCopiedNeverStopsTheRest) {
    write("src/a.txt", "a");
    write("src/b.txt", "b");
    write("src/sub/c.txt", "c");
    write("single.txt", "s");
    write("dst/src/inside", "");
    blockCopyOf("dst/src/b.txt");
    state.addListTarget(path("src"));
    state.addListTarget(path("single.txt"));

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        shell.runReports.clear();
        engine.runCopy();

        EXPECT_FALSE(shell.ended);
        EXPECT_TRUE(shell.messages.empty());
        EXPECT_EQ(read("dst/src/a.txt"), "a");
        EXPECT_EQ(read("dst/src/sub/c.txt"), "c");
        EXPECT_EQ(read("dst/single.txt"), "s");
        EXPECT_EQ(read("dst/src/b.txt/inside"), "kept");
        EXPECT_EQ(engine.lastRunOutcome(), MirrorEngine::RunOutcome::WithFailures);
        ASSERT_EQ(shell.runReports.size(), 1u);
        const std::string& text = shell.runReports[0];
        EXPECT_EQ(text.rfind("今回のバックアップでコピーできなかった項目が 1 件あります。\r\n\r\n"
                             "CopyDiffFile:CopyFileに失敗しました。\r\nreturn_code=0\r\n"
                             "コピー先に上書きできないファイルが存在します\r\nコピー元：" +
                                 path("src/b.txt") + "\r\nコピー先：" + path("dst/src/b.txt") +
                                 "\r\n原因：コピー先：",
                             0),
                  0u)
            << text;
        EXPECT_EQ(state.caption(), "Tolvane：待機中   残り待ち時間0秒");
        EXPECT_TRUE(state.timerEnabled());
    }
    EXPECT_EQ(engine.report().copied, 0u);
    EXPECT_EQ(engine.report().unchanged, 3u);
}

TEST_F(RunFailures, ManyFailuresMakeOneMessageWithTheFirstTenAndTheCountOfTheRest) {
    for (int index = 0; index < 30; ++index) {
        const std::string name = "f" + std::to_string(100 + index);
        write("src/" + name, "x");
        blockCopyOf("dst/src/" + name);
    }
    std::filesystem::create_directory(path("settings"));
    engine.setRecordFolder(path("settings"));
    state.addListTarget(path("src"));

    engine.runCopy();

    ASSERT_EQ(shell.runReports.size(), 1u);
    const std::string& text = shell.runReports[0];
    EXPECT_EQ(text.rfind("今回のバックアップでコピーできなかった項目が 30 件あります。", 0), 0u);
    std::size_t items = 0;
    for (auto at = text.find("コピー元："); at != std::string::npos;
         at = text.find("コピー元：", at + 1)) {
        ++items;
    }
    EXPECT_EQ(items, kFailuresShown);
    const std::string tail = "ほかに 20 件あります。\r\nすべての一覧は実行記録にあります：" +
                             platform::joinPath(path("settings"), "Tolvane.log");
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    // The record holds all thirty.
    std::size_t recorded = 0;
    const std::string log = record();
    for (auto at = log.find("コピー元："); at != std::string::npos;
         at = log.find("コピー元：", at + 1)) {
        ++recorded;
    }
    EXPECT_EQ(recorded, 30u);
}

TEST_F(RunFailures, TheRecordHoldsOneBlockPerRunAndIsMovedAsidePastItsLimit) {
    write("src/a.txt", "a");
    write("src/b.txt", "b");
    blockCopyOf("dst/src/b.txt");
    write("dst/src/inside", "");
    std::filesystem::create_directory(path("settings"));
    engine.setRecordFolder(path("settings"));
    state.addListTarget(path("src"));
    state.addListTarget(path("gone"));
    state.setDateCopyCompressChecked(true);
    engine.compressPastDateFolders = [] { return std::string("一行目\r\n二行目"); };

    engine.runCopy();

    const std::string log = record();
    EXPECT_EQ(log.find('\n'), log.find("\r\n") + 1) << "lines end in CR LF";
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), std::count(log.begin(), log.end(), '\r'));
    for (const std::string& line :
         {"保存先：" + path("dst"), "対象：" + path("src"), "対象：" + path("gone"),
          std::string("コピーしたファイル：1"), std::string("変更のなかったファイル：0"),
          std::string("コピーできなかった項目：1"), "  コピー元：" + path("src/b.txt"),
          "  コピー先：" + path("dst/src/b.txt"), std::string("圧縮：一行目 / 二行目")}) {
        EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line << "\n" << log;
    }
    EXPECT_EQ(log[0], '[');
    EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");

    // A second run adds its block; past the limit the old record moves aside.
    engine.runCopy();
    EXPECT_EQ(record().size(), 2 * log.size());
    write("settings/Tolvane.log.1", "older");
    write("settings/Tolvane.log", std::string(kRecordLimitBytes - 10, 'o'));
    engine.runCopy();
    EXPECT_EQ(read("settings/Tolvane.log.1"), std::string(kRecordLimitBytes - 10, 'o'));
    EXPECT_EQ(record().rfind("[", 0), 0u);
    EXPECT_LT(record().size(), 2 * log.size());
}

TEST_F(RunFailures, ARecordThatCannotBeWrittenIsSaidOnceAndNeverStopsARun) {
    write("src/a.txt", "a");
    write("settings", "a file where the settings folder should be");
    engine.setRecordFolder(path("settings"));
    state.addListTarget(path("src"));

    engine.runCopy();
    EXPECT_EQ(read("dst/src/a.txt"), "a");
    ASSERT_EQ(shell.runReports.size(), 1u);
    EXPECT_EQ(shell.runReports[0].rfind("実行記録を書き込めません：", 0), 0u)
        << shell.runReports[0];
    EXPECT_EQ(engine.lastRunOutcome(), MirrorEngine::RunOutcome::Completed);

    // The same problem again: a backup that worked stays quiet.
    engine.runCopy();
    EXPECT_EQ(shell.runReports.size(), 1u);

    // With failures, the problem is said with them.
    blockCopyOf("dst/src/b.txt");
    write("src/b.txt", "b");
    engine.runCopy();
    ASSERT_EQ(shell.runReports.size(), 2u);
    EXPECT_NE(shell.runReports[1].find("\r\n\r\n実行記録を書き込めません："), std::string::npos);
    EXPECT_EQ(shell.runReports[1].find("すべての一覧は"), std::string::npos);
}

TEST_F(RunFailures, ADestinationThatCannotBeSecuredStopsTheRunAndTheNextRunTriesAgain) {
    write("a.txt", "a");
    write("b.txt", "b");
    write("blocker", "x");
    state.setTextSaveAt(path("blocker"));
    state.addListTarget(path("a.txt"));
    state.addListTarget(path("b.txt"));

    engine.runCopy();
    EXPECT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text.rfind("バックアップ先を確保できません\r\nSaveAt=", 0), 0u);
    EXPECT_EQ(engine.lastRunOutcome(), MirrorEngine::RunOutcome::Stopped);
    EXPECT_TRUE(state.timerEnabled());

    std::filesystem::remove(path("blocker"));
    engine.runCopy();
    EXPECT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(read("blocker/a.txt"), "a");
    EXPECT_EQ(read("blocker/b.txt"), "b");
    EXPECT_EQ(engine.lastRunOutcome(), MirrorEngine::RunOutcome::Completed);
}

#ifndef _WIN32
// An ordinary user, for whom mode 000 closes a file: root would read it.
TEST_F(RunFailures, AnUnreadableFileInAFolderAndInTheListIsNamedWithItsCause) {
    write("src/a.txt", "a");
    write("src/locked.txt", "secret");
    write("src/z.txt", "z");
    write("alone.txt", "secret too");
    write("last.txt", "l");
    chmod("src/locked.txt", 0);
    chmod("alone.txt", 0);
    std::filesystem::create_directory(path("probe"));
    chmod("probe", 0);
    state.addListTarget(path("src"));
    state.addListTarget(path("alone.txt"));
    state.addListTarget(path("last.txt"));

    const auto result = testing::runInChild(
        [&] { return testing::becomeUnprivileged(dir.path(), path("probe")); },
        [&] {
            std::string report;
            for (int run = 0; run < 2; ++run) {
                shell.runReports.clear();
                engine.runCopy();
                report += std::to_string(static_cast<int>(engine.lastRunOutcome())) + " " +
                          std::to_string(shell.messages.size()) + " " +
                          std::to_string(shell.runReports.size()) + "\n";
            }
            return report + (shell.runReports.empty() ? std::string() : shell.runReports[0]);
        });
    if (!result.ran) {
        GTEST_SKIP() << result.text;
    }

    const std::string withFailures =
        std::to_string(static_cast<int>(MirrorEngine::RunOutcome::WithFailures));
    const std::string cause = "原因：コピー元：アクセスが許可されていません（Permission denied: ";
    EXPECT_EQ(result.text, withFailures + " 0 1\n" + withFailures + " 0 1\n" +
                               "今回のバックアップでコピーできなかった項目が 2 件あります。\r\n\r\n"
                               "CopyDiffFile:CopyFileに失敗しました。\r\nコピー元：" +
                               path("src/locked.txt") + "\r\nコピー先：" +
                               path("dst/src/locked.txt") + "\r\n" + cause +
                               path("src/locked.txt") +
                               "）\r\n\r\nCopyDiffFile:CopyFileに失敗しました。\r\nコピー元：" +
                               path("alone.txt") + "\r\nコピー先：" + path("dst/alone.txt") +
                               "\r\n" + cause + path("alone.txt") + "）");
    EXPECT_EQ(read("dst/src/a.txt"), "a");
    EXPECT_EQ(read("dst/src/z.txt"), "z");
    EXPECT_EQ(read("dst/last.txt"), "l");
    EXPECT_FALSE(exists("dst/src/locked.txt"));
    EXPECT_FALSE(exists("dst/alone.txt"));
}
#endif

#ifndef _WIN32
TEST_F(RunFailures, NamesARealExfatDiskRefusesAreReportedAndLaterEntriesCopied) {
    const testing::MountedDisk disk(dir.path(), "exfat", 16);
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    write("src/a:b.txt", "colon");
    write("src/fine.txt", "fine");
    write("x?.txt", "question");
    write("later.txt", "later");
    state.setTextSaveAt(disk.path().string());
    // The folder is walked (its copy's parent exists) and copied whole.
    state.addListTarget(path("src"));
    state.addListTarget(path("x?.txt"));
    state.addListTarget(path("later.txt"));

    engine.runCopy();
    const std::vector<std::string> whole = testing::namesIn(disk.path() / "src");
    engine.runCopy();

    EXPECT_EQ(whole, std::vector<std::string>{"fine.txt"});
    EXPECT_EQ(testing::readFile(disk.path() / "src/fine.txt"), "fine");
    EXPECT_EQ(testing::readFile(disk.path() / "later.txt"), "later");
    ASSERT_EQ(engine.report().failures.size(), 2u);
    EXPECT_EQ(engine.report().failures[0].paths[0], "コピー元：" + path("src/a:b.txt"));
    EXPECT_EQ(engine.report().failures[1].paths[0], "コピー元：" + path("x?.txt"));
    EXPECT_EQ(engine.report().unchanged, 2u);
    EXPECT_EQ(shell.runReports.size(), 2u);
    EXPECT_TRUE(shell.messages.empty());
}
#endif

} // namespace
} // namespace tolvane::engine
