#include "settings/lifecycle.h"

#include "settings/module_ini.h"
#include "state/number_text.h"

namespace tolvane::settings {

Lifecycle::Lifecycle(FormState& state, Shell& shell, SettingsFile& settings,
                     monitor::Monitor& monitor, WindowHooks& hooks)
    : state_(state), shell_(shell), settings_(settings), monitor_(monitor), hooks_(hooks) {}

void Lifecycle::startUp() {
    settings_.load();
    hooks_.hideWindow();
    // The copy-date dialog's model starts in its loaded, hidden state.
    trayTipText_ = kApplicationTitle;
    hooks_.setTrayIcon(true);

    const double interval = valueOfText(state_.textInterval());
    if (interval > 0) {
        state_.monitorInterval = interval;
        state_.remainingTime = interval;
        monitor_.countDownInterval();
    }
    // Loading went through the fields' change handlers, which marked the
    // settings as changed.
    state_.configChanged = false;
    shell_.serveEvents();
    monitor_.resume();
}

UnloadDecision Lifecycle::queryUnload(UnloadMode mode) {
    if (mode == UnloadMode::CloseBox) {
        hooks_.hideWindow();
        return UnloadDecision::Cancel;
    }
    hooks_.setTrayIcon(false);
    return UnloadDecision::Proceed;
}

void Lifecycle::exitRequested() {
    if (state_.configChanged) {
        const Button answer = shell_.message("設定の変更が保存されていません。\r\n保存しますか？",
                                             MessageStyle::YesNoCancel);
        if (answer == Button::Yes) {
            settings_.save();
            // A failed save has said so; ending now would lose the changes the
            // user just asked to keep.
            if (state_.configChanged) {
                return;
            }
        } else if (answer != Button::No) {
            return;
        }
    }
    // The front end's orderly end unloads the window, which runs
    // queryUnload for the program's own unload, which removes the icon.
    shell_.endApplication(EndKind::Orderly, EndCause::Requested);
}

} // namespace tolvane::settings
