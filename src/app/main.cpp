// Tolvane: the desktop program.

#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/qt_file_dialog.h"
#include "gui/qt_shell.h"

#include <memory>

int main(int argc, char** argv) {
    tolvane::gui::QtShell shell;
    tolvane::gui::Application app(argc, argv, shell);
    if (app.handedOverToRunningProgram()) {
        return 0;
    }
    tolvane::gui::QtFileDialog fileDialog;
    const std::unique_ptr<tolvane::gui::MainWindow> window = app.createMainWindow(fileDialog);
    app.startUp(*window);
    return QApplication::exec();
}
