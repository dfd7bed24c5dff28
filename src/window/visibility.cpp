#include "window/visibility.h"

namespace tolvane::window {

bool trayNotificationOpensMenu(int code) {
    return code == kTrayRightDown;
}

WindowVisibility::WindowVisibility(FormState& state) : state_(state) {}

void WindowVisibility::show() {
    state_.setWindowVisible(true);
    state_.setVisibleFalseChecked(false);
    state_.setVisibleTrueChecked(true);
}

void WindowVisibility::hide() {
    state_.setWindowVisible(false);
    state_.setVisibleTrueChecked(false);
    state_.setVisibleFalseChecked(true);
}

} // namespace tolvane::window
