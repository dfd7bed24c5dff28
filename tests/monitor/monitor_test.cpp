#include "monitor/monitor.h"
#include "state/number_text.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace tolvane::monitor {
namespace {

std::string waiting(const std::string& seconds) {
    return std::string(kStatusWaiting) + "   残り待ち時間" + seconds + "秒";
}

std::string paused(const std::string& seconds) {
    return std::string(kStatusPaused) + "   残り待ち時間" + seconds + "秒";
}

// The monitor wired to a stand-in for the copy run that does what a run does
// to the window state: timer off and the processing caption while it lasts,
// then the waiting or paused caption with the remaining time and the timer on.
struct Rig {
    FormState state;
    int runs = 0;
    std::vector<double> remainingAtRun;
    std::function<void()> duringRun;
    Monitor monitor{state, [this] { copyExec(); }};

    Rig() {
        state.onTextIntervalChange = [this] { monitor.intervalTextChanged(); };
    }

    void copyExec() {
        ++runs;
        remainingAtRun.push_back(state.remainingTime);
        ++state.runDepth;
        state.setTimerEnabled(false);
        state.statusCaption = kStatusProcessing;
        state.setCaption(kStatusProcessing);
        if (duringRun) {
            // Once only, so a nested run cannot recurse without end.
            auto hook = std::move(duringRun);
            duringRun = nullptr;
            hook();
        }
        state.statusCaption = state.stopTimerChecked() ? kStatusPaused : kStatusWaiting;
        state.setCaption(countdownCaption(state.statusCaption, state.remainingTime));
        state.setTimerEnabled(true);
        --state.runDepth;
    }

    // Types the interval and resumes monitoring, as a user would.
    void start(const std::string& interval) {
        state.setTextInterval(interval);
        monitor.resume();
    }
};

TEST(Countdown, SixtySecondsCountsDownThenRunsAndStartsOver) {
    Rig rig;
    rig.start("60000");
    EXPECT_EQ(rig.state.caption(), waiting("60"));
    EXPECT_TRUE(rig.state.timerEnabled());
    EXPECT_EQ(rig.state.timerPeriodMs(), kInitialTimerPeriodMs);

    for (int seconds = 59; seconds >= 1; --seconds) {
        rig.monitor.countdownTick();
        ASSERT_EQ(rig.state.caption(), waiting(std::to_string(seconds)));
    }
    EXPECT_EQ(rig.state.timerPeriodMs(), 1000);
    EXPECT_EQ(rig.runs, 0);

    rig.monitor.countdownTick();
    EXPECT_EQ(rig.runs, 1);
    EXPECT_EQ(rig.remainingAtRun, std::vector<double>{0});
    EXPECT_EQ(rig.state.caption(), waiting("0"));
    EXPECT_EQ(rig.state.remainingTime, 60000);
    EXPECT_TRUE(rig.state.timerEnabled());

    rig.monitor.countdownTick();
    EXPECT_EQ(rig.state.caption(), waiting("59"));
    EXPECT_EQ(rig.runs, 1);
}

TEST(Countdown, FractionalIntervalRoundsUpToWholeTicks) {
    Rig rig;
    rig.start("1500");
    rig.monitor.countdownTick();
    EXPECT_EQ(rig.state.caption(), waiting("0.5"));
    EXPECT_EQ(rig.runs, 0);

    rig.monitor.countdownTick();
    EXPECT_EQ(rig.runs, 1);
    EXPECT_EQ(rig.state.caption(), waiting("-0.5"));
    EXPECT_EQ(rig.state.remainingTime, 1500);

    rig.monitor.countdownTick();
    EXPECT_EQ(rig.state.caption(), waiting("0.5"));
}

TEST(Countdown, ShortIntervalsRunOnEveryTick) {
    // 1000 ms from a fresh start: a run per tick, and the timer keeps its
    // initial period because no step ever had more than a second left.
    Rig rig;
    rig.start("1000");
    for (int i = 0; i < 3; ++i) {
        rig.monitor.countdownTick();
    }
    EXPECT_EQ(rig.runs, 3);
    EXPECT_EQ(rig.remainingAtRun, (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(rig.state.timerPeriodMs(), kInitialTimerPeriodMs);

    // 500 ms entered once the period is already one second.
    Rig other;
    other.start("60000");
    other.monitor.countdownTick();
    ASSERT_EQ(other.state.timerPeriodMs(), 1000);
    other.state.setTextInterval("500");
    EXPECT_FALSE(other.state.timerEnabled());
    other.monitor.resume();
    for (int i = 0; i < 3; ++i) {
        other.monitor.countdownTick();
    }
    EXPECT_EQ(other.runs, 3);
    EXPECT_EQ(other.remainingAtRun, (std::vector<double>{-500, -500, -500}));
    EXPECT_EQ(other.state.caption(), waiting("-0.5"));
    EXPECT_EQ(other.state.timerPeriodMs(), 1000);
}

TEST(IntervalField, AnyChangePausesAndMarksSettingsChanged) {
    Rig rig;
    rig.start("60000");
    rig.monitor.countdownTick();
    rig.state.configChanged = false;

    rig.state.setTextInterval("abc");
    EXPECT_FALSE(rig.state.timerEnabled());
    EXPECT_TRUE(rig.state.stopTimerChecked());
    EXPECT_TRUE(rig.state.configChanged);
    EXPECT_EQ(rig.state.monitorInterval, 60000);
    EXPECT_EQ(rig.state.remainingTime, 59000);
    EXPECT_EQ(rig.state.caption(), paused("59"));

    rig.monitor.intervalEditFinished();
    EXPECT_EQ(rig.state.textInterval(), "1");
    EXPECT_EQ(rig.state.monitorInterval, 1);
    EXPECT_EQ(rig.state.remainingTime, 59000);
}

TEST(IntervalField, OneReachesTheIntervalWithoutResettingTheCountdown) {
    Rig rig;
    rig.start("60000");
    rig.monitor.countdownTick();
    rig.state.setTextInterval("1");
    EXPECT_EQ(rig.state.monitorInterval, 60000);
    rig.monitor.intervalEditFinished();
    EXPECT_EQ(rig.state.textInterval(), "1");
    EXPECT_EQ(rig.state.monitorInterval, 1);
    EXPECT_EQ(rig.state.remainingTime, 59000);
}

TEST(IntervalField, LeavingTheFieldNormalisesItsText) {
    Rig rig;
    rig.state.setTextInterval("0060000");
    EXPECT_EQ(rig.state.monitorInterval, 60000);
    rig.monitor.intervalEditFinished();
    EXPECT_EQ(rig.state.textInterval(), "60000");
    EXPECT_EQ(rig.state.monitorInterval, 60000);

    rig.state.setTextInterval("12abc");
    rig.monitor.intervalEditFinished();
    EXPECT_EQ(rig.state.textInterval(), "12");
    EXPECT_EQ(rig.state.monitorInterval, 12);

    rig.state.setTextInterval("-5");
    rig.monitor.intervalEditFinished();
    EXPECT_EQ(rig.state.textInterval(), "1");
    EXPECT_EQ(rig.state.monitorInterval, 1);
}

TEST(IntervalField, NumberBeyondDoubleRangeCountsAsNoNumber) {
    Rig rig;
    rig.start("60000");
    rig.state.setTextInterval("1E999");
    EXPECT_EQ(rig.state.monitorInterval, 60000);
    EXPECT_EQ(rig.state.remainingTime, 60000);
    rig.monitor.intervalEditFinished();
    EXPECT_EQ(rig.state.textInterval(), "1");
}

TEST(PauseResume, PauseIsNoToggleAndResumeContinuesFromTheRemainder) {
    Rig rig;
    rig.start("60000");
    for (int i = 0; i < 5; ++i) {
        rig.monitor.countdownTick();
    }
    rig.monitor.pause();
    rig.monitor.pause();
    EXPECT_TRUE(rig.state.stopTimerChecked());
    EXPECT_FALSE(rig.state.timerEnabled());
    EXPECT_EQ(rig.state.caption(), paused("55"));

    rig.monitor.resume();
    EXPECT_FALSE(rig.state.stopTimerChecked());
    EXPECT_TRUE(rig.state.timerEnabled());
    EXPECT_EQ(rig.state.caption(), waiting("55"));
    rig.monitor.countdownTick();
    EXPECT_EQ(rig.state.caption(), waiting("54"));
}

TEST(PauseResume, EditWhilePausedResumesFromTheNewInterval) {
    Rig rig;
    rig.start("60000");
    rig.monitor.countdownTick();
    rig.monitor.pause();
    rig.state.setTextInterval("30000");
    EXPECT_EQ(rig.state.caption(), paused("30"));
    rig.monitor.resume();
    rig.monitor.countdownTick();
    EXPECT_EQ(rig.state.caption(), waiting("29"));
}

TEST(PauseResume, TickAfterManualRunWhilePausedPausesAgain) {
    Rig rig;
    rig.start("60000");
    for (int i = 0; i < 10; ++i) {
        rig.monitor.countdownTick();
    }
    rig.monitor.pause();

    rig.copyExec(); // the manual run
    EXPECT_TRUE(rig.state.timerEnabled());
    EXPECT_EQ(rig.state.caption(), paused("50"));
    EXPECT_EQ(rig.state.remainingTime, 50000);

    rig.monitor.countdownTick();
    EXPECT_FALSE(rig.state.timerEnabled());
    EXPECT_TRUE(rig.state.stopTimerChecked());
    EXPECT_EQ(rig.state.caption(), paused("50"));
    EXPECT_EQ(rig.runs, 1);
}

TEST(PauseResume, TicksDuringARunNeverStartANestedRun) {
    Rig rig;
    rig.start("1000");
    rig.duringRun = [&] {
        // Resume from the menu during the run, then the timer ticks.
        rig.monitor.resume();
        for (int i = 0; i < 3; ++i) {
            rig.monitor.countdownTick();
        }
    };
    rig.monitor.countdownTick();
    EXPECT_EQ(rig.runs, 1);
    EXPECT_EQ(rig.state.remainingTime, 1000);
    EXPECT_EQ(rig.state.caption(), waiting("0"));

    // After the run, ticks count down and run again as usual.
    rig.monitor.countdownTick();
    EXPECT_EQ(rig.runs, 2);
}

} // namespace
} // namespace tolvane::monitor
