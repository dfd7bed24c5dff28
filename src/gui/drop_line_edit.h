#pragma once

#include "window/target_editing.h"

#include <QLineEdit>
#include <functional>
#include <string>

namespace tolvane::gui {

// A single-line box that takes dropped file lists (and nothing else), reports
// losing the focus to another control, and asks for its tooltip whenever the
// pointer moves over it.
class DropLineEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit DropLineEdit(QWidget* parent = nullptr);

    std::function<void(const window::DroppedFiles&)> onDrop;
    std::function<void()> onLostFocus;
    std::function<std::string()> tipText;

  protected:
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void refreshTip();
};

} // namespace tolvane::gui
