#include "window/target_editing.h"

#include "platform/paths.h"

#include <utility>

namespace tolvane::window {

TargetEditing::TargetEditing(FormState& state, Shell& shell, std::function<void()> stopTimer,
                             FileDialog& dialog)
    : state_(state), shell_(shell), stopTimer_(std::move(stopTimer)), dialog_(dialog) {}

bool TargetEditing::CommandAddTarget_Click() {
    const std::string staged = state_.textTargetFolder();
    if (staged.empty()) {
        return true;
    }
    stopTimer_();
    // The list addresses entries with 16-bit indices. A full list takes no
    // more; the staged path stays in its box, so nothing typed is lost.
    if (!state_.addListTarget(staged)) {
        shell_.message(kListFullMessage, MessageStyle::OkExclamation);
        return false;
    }
    state_.configChanged = true;
    return true;
}

void TargetEditing::TextTargetFolder_KeyPress(int keyCode) {
    if (keyCode == kEnterKeyCode) {
        CommandAddTarget_Click();
    }
}

void TargetEditing::CommandRemoveTarget_Click() {
    const int index = state_.listIndex();
    if (index < 0) {
        return;
    }
    stopTimer_();
    state_.setTextTargetFolder(state_.listText());
    state_.removeListTarget(index);
    state_.configChanged = true;
}

void TargetEditing::ListTargets_DblClick() {
    CommandRemoveTarget_Click();
}

void TargetEditing::CommandSelect_Click() {
    const std::string chosen = dialog_.showOpen(kAllFilesFilter, state_.textTargetFolder());
    if (!chosen.empty()) {
        state_.setTextTargetFolder(chosen);
    }
}

void TargetEditing::CommandSelectSaveAt_Click() {
    const std::string chosen = dialog_.showSave(kAllFilesFilter, state_.textSaveAt());
    if (!chosen.empty()) {
        state_.setTextSaveAt(chosen);
    }
}

void TargetEditing::ListTargets_OLEDragDrop(const DroppedFiles& dropped) {
    if (!dropped) {
        return;
    }
    for (const std::string& path : *dropped) {
        state_.setTextTargetFolder(path);
        if (!CommandAddTarget_Click()) {
            return; // one message is enough; the rest of the drop is refused
        }
    }
}

void TargetEditing::TextTargetFolder_OLEDragDrop(const DroppedFiles& dropped) {
    if (!dropped) {
        return;
    }
    for (const std::string& path : *dropped) {
        state_.setTextTargetFolder(path);
    }
}

void TargetEditing::TextSaveAt_OLEDragDrop(const DroppedFiles& dropped) {
    if (!dropped) {
        return;
    }
    for (const std::string& path : *dropped) {
        state_.setTextSaveAt(path);
    }
}

void TargetEditing::TextSaveAt_Change() {
    stopTimer_();
    state_.configChanged = true;
}

void TargetEditing::TextTargetFolder_LostFocus() {
    state_.setTextTargetFolder(platform::removeTrailingSeparators(state_.textTargetFolder()));
}

void TargetEditing::TextSaveAt_LostFocus() {
    state_.setTextSaveAt(platform::removeTrailingSeparators(state_.textSaveAt()));
}

} // namespace tolvane::window
