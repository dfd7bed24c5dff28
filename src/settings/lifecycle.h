#pragma once

#include "monitor/monitor.h"
#include "settings/settings_file.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <string>

namespace tolvane::settings {

// What start-up and shut-down need from the window itself.
class WindowHooks {
  public:
    virtual ~WindowHooks() = default;
    // Hides the window and moves the check mark to "非表示".
    virtual void hideWindow() = 0;
    // Adds (true) or removes (false) the notification-area icon.
    virtual void setTrayIcon(bool add) = 0;
};

// Whether an unload goes ahead.
enum class UnloadDecision { Proceed, Cancel };

// Start-up, the close box and the exit command of the main window.
class Lifecycle {
  public:
    Lifecycle(FormState& state, Shell& shell, SettingsFile& settings, monitor::Monitor& monitor,
              WindowHooks& hooks);

    // Loads the settings, hides the window, adds the icon, makes the first
    // countdown step and starts monitoring. The first start (no data file)
    // ends inside the load.
    void startUp();

    // The close box only hides the window and refuses the unload; every
    // other unload removes the icon and goes ahead.
    UnloadDecision queryUnload(UnloadMode mode);

    // The exit command: asks about unsaved changes, then ends the program.
    void exitRequested();

    // The icon's tooltip, set at start-up.
    const std::string& trayTipText() const { return trayTipText_; }

  private:
    FormState& state_;
    Shell& shell_;
    SettingsFile& settings_;
    monitor::Monitor& monitor_;
    WindowHooks& hooks_;
    std::string trayTipText_;
};

} // namespace tolvane::settings
