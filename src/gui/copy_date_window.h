#pragma once

#include "history/copy_date_dialog.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tolvane::gui {

// The copy-date dialog: one fixed date-time for copied files. It draws the
// dialog's fields in the state model and forwards its events to the dialog's
// logic; it is shown and hidden as the model says.
class CopyDateWindow : public QWidget {
    Q_OBJECT

  public:
    CopyDateWindow(FormState& state, history::CopyDateDialog& dialog, Shell& shell);

    // Draws the model.
    void refresh();
    // Raises the dialog when it is already open.
    void bringForward();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    FormState& state_;
    history::CopyDateDialog& dialog_;
    Shell& shell_;
    QLabel* timeStampLabel_ = nullptr;
    std::array<QLineEdit*, 6> fields_{};
    std::array<QLabel*, 6> unitLabels_{};
    QCheckBox* keepDatesBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    bool refreshing_ = false;
};

} // namespace tolvane::gui
