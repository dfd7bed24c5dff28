#pragma once

#include "history/archiver_probe.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <functional>

namespace tolvane::history {

// The date-history switches of the settings menu, the read-only switch, the
// entry to the copy-date dialog and the archiver check. None of them counts as
// an unsaved settings change.
class DateCopyMenu {
  public:
    DateCopyMenu(FormState& state, Shell& shell,
                 std::function<bool()> archiverProbe = defaultArchiverProbe);

    // "通常": switches to plain date-history mode, or from it to compression.
    void togglePlainDateCopy();
    // "前日のフォルダを検出時自動的に圧縮する": warns when the archiver is
    // missing, then switches to compression, or from it to plain mode.
    void toggleCompressedDateCopy();
    // "解除": date-history mode off.
    void turnDateCopyOff();
    void toggleReadOnlyCopies();
    // Shows the copy-date dialog (or brings it forward).
    void showCopyDateDialog();

    // The mode flag: the tag and the mark at the front of the caption.
    void setDateCopyMark();
    void clearDateCopyMark();

    // Warns once when the archiver cannot be used; the caller goes on.
    void warnIfArchiverMissing();
    bool archiverAvailable();

  private:
    FormState& state_;
    Shell& shell_;
    std::function<bool()> archiverProbe_;
};

} // namespace tolvane::history
