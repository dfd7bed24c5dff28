#include "monitor/monitor.h"

#include "state/number_text.h"

#include <utility>

namespace tolvane::monitor {

namespace {

constexpr int kTickMs = 1000;

} // namespace

Monitor::Monitor(FormState& state, std::function<void()> runCopy)
    : state_(state), runCopy_(std::move(runCopy)) {}

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
    if (runCopy_) {
        runCopy_();
    }
    state_.remainingTime = state_.monitorInterval;
}

void Monitor::countdownTick() {
    // A resume during a run enables the timer before the run has ended; its
    // ticks must not start a second run inside the first.
    if (state_.runDepth > 0) {
        return;
    }
    // The end of every run enables the timer, paused or not; a tick while
    // paused puts the pause back.
    if (state_.stopTimerChecked()) {
        pause();
        return;
    }
    countDownInterval();
}

void Monitor::pause() {
    state_.setTimerEnabled(false);
    state_.setStopTimerChecked(true);
    state_.statusCaption = kStatusPaused;
    showCountdown();
}

void Monitor::resume() {
    state_.setTimerEnabled(true);
    state_.setStopTimerChecked(false);
    state_.statusCaption = kStatusWaiting;
    showCountdown();
}

void Monitor::intervalTextChanged() {
    pause();
    const double value = valueOfText(state_.textInterval());
    if (value > 1) {
        state_.monitorInterval = value;
        state_.remainingTime = value;
        showCountdown();
    }
    state_.configChanged = true;
}

void Monitor::intervalEditFinished() {
    // Each assignment that changes the text raises intervalTextChanged.
    if (valueOfText(state_.textInterval()) < 1) {
        state_.setTextInterval("1");
    }
    state_.setTextInterval(textOfNumber(valueOfText(state_.textInterval())));
    state_.monitorInterval = valueOfText(state_.textInterval());
}

} // namespace tolvane::monitor
