#include "history/copy_date_dialog.h"

#include "state/number_text.h"

namespace tolvane::history {

namespace {

constexpr int kDateFieldCount = 6;

} // namespace

CopyDateDialog::CopyDateDialog(FormState& state) : state_(state) {}

void CopyDateDialog::applyKeepDatesBox() {
    setFieldsEnabled(!state_.keepCopyDates());
}

void CopyDateDialog::setFieldsEnabled(bool enabled) {
    state_.setDateFieldsEnabled(enabled);
}

void CopyDateDialog::normaliseDateField(int index) {
    if (index < 0 || index >= kDateFieldCount) {
        return;
    }
    // The assignment raises this handler once more, and then the text is
    // already normal, so it stops there.
    state_.setTextDate(index, textOfNumber(valueOfText(state_.textDate(index))));
}

void CopyDateDialog::accept() {
    state_.setFormDateVisible(false);
}

void CopyDateDialog::discardEntries() {
    state_.resetFormDate();
}

} // namespace tolvane::history
