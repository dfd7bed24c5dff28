#include "monitor/monitor.h"

#include "state/number_text.h"

#include <utility>

namespace tolvane::monitor {

namespace {

constexpr int kTickMs = 1000;

} // namespace

Monitor::Monitor(FormState& state, std::function<void()> copyExec)
    : state_(state), copyExec_(std::move(copyExec)) {}

void Monitor::showCountdown() {
    state_.setCaption(countdownCaption(state_.statusCaption, state_.remainingTime));
}

void Monitor::countDownInterval() {
    if (state_.remainingTime > kTickMs) {
        state_.remainingTime -= kTickMs;
        state_.setTimerPeriodMs(kTickMs);
        showCountdown();
        return;
    }
    // The run's own closing caption shows this zero or negative remainder.
    state_.remainingTime -= kTickMs;
    if (copyExec_) {
        copyExec_();
    }
    state_.remainingTime = state_.monitorInterval;
}

void Monitor::TimerInterval_Timer() {
    // A resume during a run enables the timer before the run has ended; its
    // ticks must not start a second run inside the first.
    if (state_.runDepth > 0) {
        return;
    }
    // The end of every run enables the timer, paused or not; a tick while
    // paused puts the pause back.
    if (state_.stopTimerChecked()) {
        StopTimer_Click();
        return;
    }
    countDownInterval();
}

void Monitor::StopTimer_Click() {
    state_.setTimerEnabled(false);
    state_.setStopTimerChecked(true);
    state_.statusCaption = kStatusPaused;
    showCountdown();
}

void Monitor::ReleaseTimer_Click() {
    state_.setTimerEnabled(true);
    state_.setStopTimerChecked(false);
    state_.statusCaption = kStatusWaiting;
    showCountdown();
}

void Monitor::TextInterval_Change() {
    StopTimer_Click();
    const double value = valueOfText(state_.textInterval());
    if (value > 1) {
        state_.monitorInterval = value;
        state_.remainingTime = value;
        showCountdown();
    }
    state_.configChanged = true;
}

void Monitor::TextInterval_LostFocus() {
    // Each assignment that changes the text raises TextInterval_Change.
    if (valueOfText(state_.textInterval()) < 1) {
        state_.setTextInterval("1");
    }
    state_.setTextInterval(textOfNumber(valueOfText(state_.textInterval())));
    state_.monitorInterval = valueOfText(state_.textInterval());
}

} // namespace tolvane::monitor
