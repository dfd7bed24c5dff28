#include "settings_fixture.h"
#include "state/number_text.h"

#include <filesystem>

namespace tolvane::settings::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kExitQuestion = "設定の変更が保存されていません。\r\n保存しますか？";

void prepare(const Program& p, const std::string& interval, const std::string& list = "") {
    writeFile(p.iniPath(), "[Tolvane]\r\nInterval=" + interval + "\r\nSaveAt=/backup\r\n");
    writeFile(p.dataPath(), list);
}

// --- start-up ------------------------------------------------------------------

TEST_F(SettingsTest, FirstStartEndsBeforeAnyWindowOrIconThenTheSecondStartRuns) {
    EXPECT_THROW(p.lifecycle.startUp(), ApplicationEnded);
    EXPECT_EQ(p.shell.endKind, EndKind::Immediate);
    EXPECT_TRUE(p.hooks.calls.empty());
    EXPECT_EQ(readFile(p.dataPath()), "");

    Program second(p.folder);
    second.lifecycle.startUp();
    EXPECT_FALSE(second.shell.ended);
    EXPECT_TRUE(second.shell.messages.empty());
    EXPECT_TRUE(second.state.listTargets().empty());
    EXPECT_EQ(second.hooks.calls, (Lines{"hide", "icon+"}));
    EXPECT_EQ(second.lifecycle.trayTipText(), "Tolvane");
    EXPECT_TRUE(second.state.visibleFalseChecked());
    EXPECT_FALSE(second.state.configChanged);
    EXPECT_TRUE(second.state.timerEnabled());
    EXPECT_EQ(second.state.caption(), countdownCaption(kStatusWaiting, 0));
}

TEST_F(SettingsTest, StartUpTakesTheIntervalMakesOneStepAndThenMonitors) {
    prepare(p, "60000", "/a\r\n");
    bool pausedWhileServing = false;
    p.shell.onServeEvents = [&] { pausedWhileServing = p.state.stopTimerChecked(); };

    p.lifecycle.startUp();

    EXPECT_EQ(p.state.monitorInterval, 60000);
    EXPECT_EQ(p.state.remainingTime, 59000);
    EXPECT_EQ(p.state.timerPeriodMs(), 1000);
    EXPECT_EQ(p.shell.servedEvents, 1);
    EXPECT_TRUE(pausedWhileServing);
    EXPECT_FALSE(p.state.stopTimerChecked());
    EXPECT_TRUE(p.state.timerEnabled());
    EXPECT_EQ(p.state.caption(), "Tolvane：待機中   残り待ち時間59秒");
    EXPECT_FALSE(p.state.configChanged);
    EXPECT_EQ(p.copyRuns, 0);
    EXPECT_EQ(p.state.listTargets(), Lines{"/a"});
}

TEST_F(SettingsTest, StartUpWithAShortIntervalRunsAtOnceBeforeMonitoringIsReleased) {
    for (const char* interval : {"1000", "500", "1"}) {
        SCOPED_TRACE(interval);
        Program run(dir / interval);
        fs::create_directory(run.folder);
        prepare(run, interval);
        run.lifecycle.startUp();
        EXPECT_EQ(run.copyRuns, 1);
        EXPECT_EQ(run.pausedAtCopy, std::vector<bool>{true});
        EXPECT_EQ(run.state.remainingTime, valueOfText(interval));
        EXPECT_EQ(run.state.timerPeriodMs(), kInitialTimerPeriodMs);
        EXPECT_FALSE(run.state.stopTimerChecked());
    }
}

TEST_F(SettingsTest, StartUpWithoutAUsableIntervalMakesNoStep) {
    for (const char* interval : {"abc", "", "0", "-5"}) {
        SCOPED_TRACE(interval);
        Program run(dir / ("i" + std::string(interval)));
        fs::create_directory(run.folder);
        prepare(run, interval);
        run.lifecycle.startUp();
        EXPECT_EQ(run.copyRuns, 0);
        EXPECT_EQ(run.state.monitorInterval, 0);
        EXPECT_EQ(run.state.remainingTime, 0);
        EXPECT_EQ(run.state.timerPeriodMs(), kInitialTimerPeriodMs);
        EXPECT_EQ(run.state.textInterval(), interval);
        EXPECT_FALSE(run.state.configChanged);
        EXPECT_TRUE(run.state.timerEnabled());
    }
}

TEST_F(SettingsTest, AFailingReadAtStartUpReachesTheCaller) {
    prepare(p, "60000");
    fs::remove(p.dataPath());
    fs::create_directory(p.dataPath());
    EXPECT_THROW(p.lifecycle.startUp(), platform::Failure);
    EXPECT_TRUE(p.hooks.calls.empty());
}

// --- closing and exit ----------------------------------------------------------

TEST_F(SettingsTest, CloseBoxOnlyHidesOtherModesRemoveTheIcon) {
    p.state.configChanged = true;
    EXPECT_EQ(p.lifecycle.queryUnload(UnloadMode::CloseBox), UnloadDecision::Cancel);
    EXPECT_EQ(p.hooks.calls, Lines{"hide"});

    for (UnloadMode mode : {UnloadMode::ByProgram, UnloadMode::SessionEnd}) {
        SCOPED_TRACE(static_cast<int>(mode));
        p.hooks.calls.clear();
        EXPECT_EQ(p.lifecycle.queryUnload(mode), UnloadDecision::Proceed);
        EXPECT_EQ(p.hooks.calls, Lines{"icon-"});
    }
    // Nothing asked, nothing saved, nothing ended by the hook itself.
    EXPECT_TRUE(p.shell.messages.empty());
    EXPECT_FALSE(fs::exists(p.iniPath()));
    EXPECT_FALSE(p.shell.ended);
}

class ExitTest : public SettingsTest {
  protected:
    void SetUp() override {
        prepare(p, "60000", "/a\r\n");
        p.lifecycle.startUp();
        iniBefore = readFile(p.iniPath());
    }
    std::string iniBefore;
};

TEST_F(ExitTest, WithoutChangesEndsWithoutAsking) {
    EXPECT_THROW(p.lifecycle.exitRequested(), ApplicationEnded);
    EXPECT_TRUE(p.shell.messages.empty());
    EXPECT_EQ(p.shell.endKind, EndKind::Orderly);
    EXPECT_EQ(p.shell.endCause, EndCause::Requested);
}

TEST_F(ExitTest, YesSavesThenEnds) {
    p.state.setTextSaveAt("/elsewhere");
    p.shell.answers = {Button::Yes};
    EXPECT_THROW(p.lifecycle.exitRequested(), ApplicationEnded);
    EXPECT_EQ(p.shell.texts(), (Lines{kExitQuestion, kSaved}));
    EXPECT_EQ(p.shell.messages[0].style, MessageStyle::YesNoCancel);
    EXPECT_NE(readFile(p.iniPath()).find("SaveAt=/elsewhere"), std::string::npos);
    EXPECT_EQ(p.shell.endKind, EndKind::Orderly);
}

TEST_F(ExitTest, NoEndsWithoutSaving) {
    p.state.setTextSaveAt("/elsewhere");
    p.shell.answers = {Button::No};
    EXPECT_THROW(p.lifecycle.exitRequested(), ApplicationEnded);
    EXPECT_EQ(p.shell.texts(), Lines{kExitQuestion});
    EXPECT_EQ(readFile(p.iniPath()), iniBefore);
    EXPECT_EQ(p.shell.endKind, EndKind::Orderly);
}

TEST_F(ExitTest, CancelChangesNothingAndALaterExitAsksAgain) {
    p.state.setTextSaveAt("/elsewhere");
    p.monitor.resume();
    p.shell.answers = {Button::Cancel};
    p.lifecycle.exitRequested();
    EXPECT_FALSE(p.shell.ended);
    EXPECT_TRUE(p.state.configChanged);
    EXPECT_TRUE(p.state.timerEnabled());
    EXPECT_EQ(readFile(p.iniPath()), iniBefore);

    p.shell.answers = {Button::No};
    EXPECT_THROW(p.lifecycle.exitRequested(), ApplicationEnded);
    EXPECT_EQ(p.shell.texts(), (Lines{kExitQuestion, kExitQuestion}));
}

TEST_F(ExitTest, AFailedSaveKeepsTheProgramRunning) {
    p.state.setTextSaveAt("/elsewhere");
    fs::permissions(p.iniPath(), fs::perms::owner_read);
    p.shell.answers = {Button::Yes};
    p.lifecycle.exitRequested();
    EXPECT_FALSE(p.shell.ended);
    ASSERT_EQ(p.shell.messages.size(), 2u);
    EXPECT_TRUE(p.shell.messages[1].text.starts_with(kSaveFailed));
    EXPECT_TRUE(p.state.configChanged);
    EXPECT_TRUE(p.state.stopTimerChecked());

    // The user can still leave without saving.
    p.shell.answers = {Button::No};
    EXPECT_THROW(p.lifecycle.exitRequested(), ApplicationEnded);
}

TEST_F(ExitTest, YesWithTheDataFileGoneEndsInsideTheSave) {
    p.state.setTextSaveAt("/elsewhere");
    fs::remove(p.dataPath());
    p.shell.answers = {Button::Yes};
    EXPECT_THROW(p.lifecycle.exitRequested(), ApplicationEnded);
    EXPECT_EQ(p.shell.endKind, EndKind::Immediate);
    EXPECT_EQ(p.shell.texts(), (Lines{kExitQuestion, missingDataFileText(p.dataPath())}));
    EXPECT_EQ(readFile(p.dataPath()), "");
}

} // namespace
} // namespace tolvane::settings::testing
