#pragma once

#include "state/form_state.h"

namespace tolvane::history {

// The behaviour of the copy-date dialog. Its check box, six fields, enabled
// state and visibility live in FormState, where the copy finishing reads them;
// the dialog widget draws them and forwards its events here. The owner wires
// the fields' change hook to normaliseDateField.
class CopyDateDialog {
  public:
    explicit CopyDateDialog(FormState& state);

    // "日付の変更を行わない" was clicked; the front end has already stored the
    // box's new value.
    void applyKeepDatesBox();
    // Enables or disables the six fields and their labels together.
    void setFieldsEnabled(bool enabled);
    // Keeps a field to a plain number: "09" becomes 9, "" becomes 0.
    void normaliseDateField(int index);
    // Hides the dialog; the values stay for every later copy.
    void accept();
    // Closed by its close box: the entries are dropped and the next look at
    // the dialog finds it as freshly loaded (box ticked, fields empty).
    void discardEntries();

  private:
    FormState& state_;
};

} // namespace tolvane::history
