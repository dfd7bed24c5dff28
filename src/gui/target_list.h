#pragma once

#include "window/target_editing.h"

#include <QListWidget>
#include <functional>
#include <string>

namespace tolvane::gui {

// The target list: single selection, unsorted, takes dropped file lists, and
// asks for its tooltip whenever the pointer moves over it.
class TargetList : public QListWidget {
    Q_OBJECT

  public:
    explicit TargetList(QWidget* parent = nullptr);

    std::function<void(const window::DroppedFiles&)> onDrop;
    std::function<std::string()> tipText;

  protected:
    bool viewportEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void refreshTip();
};

} // namespace tolvane::gui
