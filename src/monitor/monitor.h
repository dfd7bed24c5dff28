#pragma once

#include "state/form_state.h"

#include <functional>

namespace tolvane::monitor {

// The interval countdown: one step per timer tick, a copy run when the time is
// up, and the pause and resume commands. The front end follows the timer's
// enabled state and period in FormState and calls countdownTick on every
// tick. The owner wires the interval field's change hook to
// intervalTextChanged; the constructor leaves the hooks alone.
class Monitor {
  public:
    Monitor(FormState& state, std::function<void()> runCopy);

    // One countdown step; runs a copy when at most one second is left.
    void countDownInterval();
    // The timer's tick.
    void countdownTick();
    // Pause. Not a toggle: pausing twice stays paused.
    void pause();
    // Resume from the remaining time.
    void resume();
    // The interval field's text changed, by typing or by assignment.
    void intervalTextChanged();
    // The interval field lost the input focus: normalise its text.
    void intervalEditFinished();

  private:
    void showCountdown();

    FormState& state_;
    std::function<void()> runCopy_;
};

} // namespace tolvane::monitor
