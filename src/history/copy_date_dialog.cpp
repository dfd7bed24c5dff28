#include "history/copy_date_dialog.h"

#include "state/number_text.h"

namespace tolvane::history {

namespace {

constexpr int kDateFieldCount = 6;

} // namespace

CopyDateDialog::CopyDateDialog(FormState& state) : state_(state) {}

void CopyDateDialog::CheckKakunin_Click() {
    setEnable(state_.checkKakunin() == 0);
}

void CopyDateDialog::setEnable(bool flag) {
    state_.setDateFieldsEnabled(flag);
}

void CopyDateDialog::TextDate_Change(int index) {
    if (index < 0 || index >= kDateFieldCount) {
        return;
    }
    // The assignment raises this handler once more, and then the text is
    // already normal, so it stops there.
    state_.setTextDate(index, textOfNumber(valueOfText(state_.textDate(index))));
}

void CopyDateDialog::CommandOK_Click() {
    state_.setFormDateVisible(false);
}

void CopyDateDialog::closedByCloseBox() {
    state_.resetFormDate();
}

} // namespace tolvane::history
