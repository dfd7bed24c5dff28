#include "gui/target_list.h"

#include "gui/file_drop.h"
#include "gui/qt_text.h"

#include <QDragEnterEvent>
#include <QDropEvent>

namespace tolvane::gui {

TargetList::TargetList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setMouseTracking(true);
}

void TargetList::refreshTip() {
    if (tipText) {
        setToolTip(toQt(tipText()));
    }
}

bool TargetList::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::ToolTip) {
        refreshTip();
    }
    return QListWidget::viewportEvent(event);
}

void TargetList::dragEnterEvent(QDragEnterEvent* event) {
    acceptFileListDrag(event);
}

void TargetList::dragMoveEvent(QDragMoveEvent* event) {
    acceptFileListDrag(event);
}

void TargetList::dropEvent(QDropEvent* event) {
    deliverFileListDrop(event, onDrop);
}

} // namespace tolvane::gui
