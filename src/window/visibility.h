#pragma once

#include "state/form_state.h"

namespace tolvane::window {

// Mouse messages the notification-area icon reports.
enum TrayMouseCode : int {
    kTrayMouseMove = 512,
    kTrayLeftDown = 513,
    kTrayLeftUp = 514,
    kTrayLeftDoubleClick = 515,
    kTrayRightDown = 516,
    kTrayRightUp = 517,
    kTrayRightDoubleClick = 518,
    kTrayMiddleDown = 519,
    kTrayMiddleUp = 520,
    kTrayMiddleDoubleClick = 521,
};

inline constexpr const char* kTrayTipText = "Tolvane";

// Only a right-button press on the icon opens the Control menu.
bool trayNotificationOpensMenu(int code);

// The show and hide commands and their check marks. The window follows the
// model's visibility.
class WindowVisibility {
  public:
    explicit WindowVisibility(FormState& state);

    void show();
    void hide();

  private:
    FormState& state_;
};

} // namespace tolvane::window
