#pragma once

#include "history/archive_progress_view.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tolvane::gui {

// The window shown while a day folder is archived: the folder, the file at
// hand, a bar of bytes done (writing, then checking the archive) and a
// cancel button. It polls the packer's counters on a timer of its own.
class ArchiveProgressWindow : public QWidget, public history::ArchiveProgressView {
    Q_OBJECT

  public:
    ArchiveProgressWindow();

    void open(lha::PackProgress& progress) override;
    void close() override;

  protected:
    // The close box asks to cancel, like the button; the window goes when
    // the step ends.
    void closeEvent(QCloseEvent* event) override;

  private:
    void refresh();
    void requestCancel();

    lha::PackProgress* progress_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QLabel* phaseLabel_ = nullptr;
    QLabel* fileLabel_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QTimer* poll_ = nullptr;
};

} // namespace tolvane::gui
