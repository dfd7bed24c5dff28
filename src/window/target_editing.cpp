#include "window/target_editing.h"

#include "engine/copy_name.h"
#include "platform/paths.h"

#include <utility>

namespace tolvane::window {

std::string sameCopyNameQuestion(const std::string& listed, const std::string& added) {
    return "コピー先で同じ名前になるため、互いのファイルが上書きされます。\r\n"
           "登録済み：" +
           listed + "\r\n追加：" + added + "\r\nリストに追加しますか？";
}

TargetEditing::TargetEditing(FormState& state, Shell& shell, std::function<void()> pauseMonitoring,
                             FileDialog& dialog)
    : state_(state), shell_(shell), pauseMonitoring_(std::move(pauseMonitoring)), dialog_(dialog) {}

bool TargetEditing::addStagedTarget() {
    const std::string staged = state_.textTargetFolder();
    if (staged.empty()) {
        return true;
    }
    if (const auto listed = entrySharingCopyName(staged)) {
        if (shell_.message(sameCopyNameQuestion(*listed, staged), MessageStyle::YesNo) !=
            Button::Yes) {
            return true; // declined: the list stays as it was
        }
    }
    pauseMonitoring_();
    // The list addresses entries with 16-bit indices. A full list takes no
    // more; the staged path stays in its box, so nothing typed is lost.
    if (!state_.addListTarget(staged)) {
        shell_.message(kListFullMessage, MessageStyle::OkExclamation);
        return false;
    }
    state_.configChanged = true;
    return true;
}

std::optional<std::string> TargetEditing::entrySharingCopyName(const std::string& path) const {
    const std::string name = engine::copyNameOf(path);
    const std::string trimmed = platform::removeTrailingSeparators(path);
    for (const std::string& listed : state_.listTargets()) {
        if (platform::samePath(engine::copyNameOf(listed), name) &&
            !platform::samePath(platform::removeTrailingSeparators(listed), trimmed)) {
            return listed;
        }
    }
    return std::nullopt;
}

void TargetEditing::addOnEnter(int keyCode) {
    if (keyCode == kEnterKeyCode) {
        addStagedTarget();
    }
}

void TargetEditing::editSelectedTarget() {
    const int index = state_.listIndex();
    if (index < 0) {
        return;
    }
    pauseMonitoring_();
    state_.setTextTargetFolder(state_.listText());
    state_.removeListTarget(index);
    state_.configChanged = true;
}

void TargetEditing::browseForTarget() {
    const std::string chosen = dialog_.showOpen(kAllFilesFilter, state_.textTargetFolder());
    if (!chosen.empty()) {
        state_.setTextTargetFolder(chosen);
    }
}

void TargetEditing::browseForDestination() {
    const std::string chosen = dialog_.showSave(kAllFilesFilter, state_.textSaveAt());
    if (!chosen.empty()) {
        state_.setTextSaveAt(chosen);
    }
}

void TargetEditing::addDroppedTargets(const DroppedFiles& dropped) {
    if (!dropped) {
        return;
    }
    for (const std::string& path : *dropped) {
        state_.setTextTargetFolder(path);
        if (!addStagedTarget()) {
            return; // one message is enough; the rest of the drop is refused
        }
    }
}

void TargetEditing::stageDroppedPath(const DroppedFiles& dropped) {
    if (!dropped) {
        return;
    }
    for (const std::string& path : *dropped) {
        state_.setTextTargetFolder(path);
    }
}

void TargetEditing::setDroppedDestination(const DroppedFiles& dropped) {
    if (!dropped) {
        return;
    }
    for (const std::string& path : *dropped) {
        state_.setTextSaveAt(path);
    }
}

void TargetEditing::destinationChanged() {
    pauseMonitoring_();
    state_.configChanged = true;
}

void TargetEditing::trimStagedPath() {
    state_.setTextTargetFolder(platform::removeTrailingSeparators(state_.textTargetFolder()));
}

void TargetEditing::trimDestination() {
    state_.setTextSaveAt(platform::removeTrailingSeparators(state_.textSaveAt()));
}

} // namespace tolvane::window
