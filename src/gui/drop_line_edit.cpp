#include "gui/drop_line_edit.h"

#include "gui/file_drop.h"
#include "gui/qt_text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QMimeData>

namespace tolvane::gui {

DropLineEdit::DropLineEdit(QWidget* parent) : QLineEdit(parent) {
    setAcceptDrops(true);
    setMouseTracking(true);
}

void DropLineEdit::refreshTip() {
    if (tipText) {
        setToolTip(toQt(tipText()));
    }
}

bool DropLineEdit::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        refreshTip();
    }
    return QLineEdit::event(event);
}

void DropLineEdit::mouseMoveEvent(QMouseEvent* event) {
    refreshTip();
    QLineEdit::mouseMoveEvent(event);
}

// Only file lists are taken; text dragged here is not inserted.
void DropLineEdit::dragEnterEvent(QDragEnterEvent* event) {
    acceptFileListDrag(event);
}

void DropLineEdit::dragMoveEvent(QDragMoveEvent* event) {
    acceptFileListDrag(event);
}

void DropLineEdit::dropEvent(QDropEvent* event) {
    deliverFileListDrop(event, onDrop);
}

void DropLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu opening or another program taking over is no move to another
    // control of this window.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && onLostFocus) {
        onLostFocus();
    }
}

} // namespace tolvane::gui
