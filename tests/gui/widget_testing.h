#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace tolvane::testing {

// One QApplication for the whole test program, made on first use so test
// discovery runs without a display.
inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "tolvane-widget-test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Never destroyed: Qt's own statics go first at exit, and a QApplication
    // that outlives them crashes in its destructor.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The child of `parent` with the given object name; a missing one fails the
// test (the test framework reports the exception).
template <typename Child> Child* child(const QObject* parent, const QString& name) {
    auto* found = parent->findChild<Child*>(name);
    if (found == nullptr) {
        throw std::logic_error("no child named " + name.toStdString());
    }
    return found;
}

// The one top-level widget of a type, or nullptr.
template <typename Window> Window* topLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<Window*>(widget)) {
            return found;
        }
    }
    return nullptr;
}

inline void moveOver(QWidget* widget, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     QPoint at = QPoint(3, 3)) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(widget, &move);
}

// Press and release of the left button.
inline void click(QWidget* widget, QPoint at = QPoint(2, 2)) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

// Press, release, double click, release: what the window system delivers.
inline void doubleClick(QWidget* widget, QPoint at = QPoint(2, 2)) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

} // namespace tolvane::testing
