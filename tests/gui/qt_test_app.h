#pragma once

#include <QApplication>

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

} // namespace tolvane::testing
