#include "window/tooltips.h"

namespace tolvane::window {

namespace {

std::string textOr(const std::string& text, const char* hint) {
    return text.empty() ? std::string(hint) : text;
}

} // namespace

std::string textTargetFolderTip(const FormState& state) {
    return textOr(state.textTargetFolder(), kTipTextTargetFolder);
}

std::string textSaveAtTip(const FormState& state) {
    return textOr(state.textSaveAt(), kTipTextSaveAt);
}

std::string listTargetsTip(const FormState& state) {
    return textOr(state.listText(), kTipListTargets);
}

} // namespace tolvane::window
