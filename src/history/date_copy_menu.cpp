#include "history/date_copy_menu.h"

#include <string>
#include <utility>

namespace tolvane::history {

namespace {

constexpr const char* kArchiverMissing = "unlha32.dllがインストールされていません。\r\n"
                                         "圧縮機能を利用するにはunlha32.dllが必要です。";

bool startsWithMark(const std::string& caption) {
    return caption.starts_with(kDateCopyMark);
}

} // namespace

DateCopyMenu::DateCopyMenu(FormState& state, Shell& shell, std::function<bool()> archiverProbe)
    : state_(state), shell_(shell), archiverProbe_(std::move(archiverProbe)) {}

void DateCopyMenu::togglePlainDateCopy() {
    const bool wasChecked = state_.plainDateCopyChecked();
    state_.setPlainDateCopyChecked(!wasChecked);
    state_.setDateCopyCompressChecked(wasChecked);
    setDateCopyMark();
}

void DateCopyMenu::toggleCompressedDateCopy() {
    warnIfArchiverMissing();
    const bool wasChecked = state_.dateCopyCompressChecked();
    state_.setDateCopyCompressChecked(!wasChecked);
    state_.setPlainDateCopyChecked(wasChecked);
    setDateCopyMark();
}

void DateCopyMenu::turnDateCopyOff() {
    state_.setPlainDateCopyChecked(false);
    state_.setDateCopyCompressChecked(false);
    clearDateCopyMark();
}

void DateCopyMenu::toggleReadOnlyCopies() {
    state_.setCopyAtReadOnlyChecked(!state_.copyAtReadOnlyChecked());
}

void DateCopyMenu::showCopyDateDialog() {
    state_.setFormDateVisible(true);
}

void DateCopyMenu::setDateCopyMark() {
    const std::string caption = state_.dateCopyCaption();
    if (!startsWithMark(caption)) {
        state_.setDateCopyCaption(kDateCopyMark + caption);
        state_.setDateCopyTag(kDateCopyMark);
    }
}

void DateCopyMenu::clearDateCopyMark() {
    const std::string caption = state_.dateCopyCaption();
    if (startsWithMark(caption)) {
        // The mark is one character of several bytes; drop all of them.
        state_.setDateCopyCaption(caption.substr(std::string(kDateCopyMark).size()));
        state_.setDateCopyTag("");
    }
}

void DateCopyMenu::warnIfArchiverMissing() {
    if (!archiverAvailable()) {
        shell_.message(kArchiverMissing, MessageStyle::Ok);
    }
}

bool DateCopyMenu::archiverAvailable() {
    if (!archiverProbe_) {
        return false;
    }
    try {
        return archiverProbe_();
    } catch (...) {
        return false;
    }
}

} // namespace tolvane::history
