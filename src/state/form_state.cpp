#include "state/form_state.h"

#include <utility>

namespace tolvane {

namespace {

// Assigns and tells whether the value really changed.
template <typename T> bool assign(T& field, T value) {
    if (field == value) {
        return false;
    }
    field = std::move(value);
    return true;
}

} // namespace

void FormState::subscribe(Listener listener) {
    listeners_.push_back(std::move(listener));
}

void FormState::notify(StateField field) {
    for (const auto& listener : listeners_) {
        listener(field);
    }
}

bool FormState::addListTarget(std::string entry) {
    if (listTargets_.size() >= kMaxListEntries) {
        return false;
    }
    listTargets_.push_back(std::move(entry));
    notify(StateField::ListTargets);
    return true;
}

void FormState::removeListTarget(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= listTargets_.size()) {
        return;
    }
    listTargets_.erase(listTargets_.begin() + index);
    // A list box loses its selection when the selected entry goes.
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    notify(StateField::ListTargets);
}

void FormState::clearListTargets() {
    listTargets_.clear();
    listIndex_ = -1;
    notify(StateField::ListTargets);
}

void FormState::setListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(listTargets_.size())) {
        index = -1;
    }
    if (assign(listIndex_, index)) {
        notify(StateField::ListTargets);
    }
}

std::string FormState::listText() const {
    if (listIndex_ < 0) {
        return {};
    }
    return listTargets_[static_cast<std::size_t>(listIndex_)];
}

void FormState::setTextTargetFolder(std::string text) {
    if (assign(textTargetFolder_, std::move(text))) {
        notify(StateField::TextTargetFolder);
    }
}

void FormState::setTextSaveAt(std::string text) {
    if (assign(textSaveAt_, std::move(text))) {
        notify(StateField::TextSaveAt);
        if (onTextSaveAtChange) {
            onTextSaveAtChange();
        }
    }
}

void FormState::setTextInterval(std::string text) {
    if (assign(textInterval_, std::move(text))) {
        notify(StateField::TextInterval);
        if (onTextIntervalChange) {
            onTextIntervalChange();
        }
    }
}

void FormState::setCaption(std::string text) {
    if (assign(caption_, std::move(text))) {
        notify(StateField::Caption);
    }
}

void FormState::setTimerEnabled(bool enabled) {
    if (assign(timerEnabled_, enabled)) {
        notify(StateField::Timer);
    }
}

void FormState::setTimerPeriodMs(int periodMs) {
    if (assign(timerPeriodMs_, periodMs)) {
        notify(StateField::Timer);
    }
}

void FormState::setInputsEnabled(bool enabled) {
    if (assign(inputsEnabled_, enabled)) {
        notify(StateField::InputsEnabled);
    }
}

void FormState::setVisibleTrueChecked(bool checked) {
    if (assign(visibleTrueChecked_, checked)) {
        notify(StateField::Menus);
    }
}

void FormState::setVisibleFalseChecked(bool checked) {
    if (assign(visibleFalseChecked_, checked)) {
        notify(StateField::Menus);
    }
}

void FormState::setStopTimerChecked(bool checked) {
    if (assign(stopTimerChecked_, checked)) {
        notify(StateField::Menus);
    }
}

void FormState::setPlainDateCopyChecked(bool checked) {
    if (assign(plainDateCopyChecked_, checked)) {
        notify(StateField::Menus);
    }
}

void FormState::setDateCopyCompressChecked(bool checked) {
    if (assign(dateCopyCompressChecked_, checked)) {
        notify(StateField::Menus);
    }
}

void FormState::setCopyAtReadOnlyChecked(bool checked) {
    if (assign(copyAtReadOnlyChecked_, checked)) {
        notify(StateField::Menus);
    }
}

void FormState::setDateCopyTag(std::string tag) {
    if (assign(dateCopyTag_, std::move(tag))) {
        notify(StateField::Menus);
    }
}

void FormState::setDateCopyCaption(std::string caption) {
    if (assign(dateCopyCaption_, std::move(caption))) {
        notify(StateField::Menus);
    }
}

void FormState::setWindowVisible(bool visible) {
    if (assign(windowVisible_, visible)) {
        notify(StateField::Visibility);
    }
}

void FormState::setKeepCopyDates(bool keep) {
    if (assign(keepCopyDates_, keep)) {
        notify(StateField::FormDate);
    }
}

void FormState::setTextDate(int index, std::string text) {
    if (assign(textDate_.at(static_cast<std::size_t>(index)), std::move(text))) {
        notify(StateField::FormDate);
        if (onTextDateChange) {
            onTextDateChange(index);
        }
    }
}

void FormState::setDateFieldsEnabled(bool enabled) {
    if (assign(dateFieldsEnabled_, enabled)) {
        notify(StateField::FormDate);
    }
}

void FormState::setFormDateVisible(bool visible) {
    if (assign(formDateVisible_, visible)) {
        notify(StateField::FormDate);
    }
}

void FormState::resetFormDate() {
    keepCopyDates_ = true;
    textDate_ = {};
    dateFieldsEnabled_ = false;
    formDateVisible_ = false;
    notify(StateField::FormDate);
}

} // namespace tolvane
