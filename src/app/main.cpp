// Tolvane: the desktop program.

#include "platform/executable.h"
#include "platform/termination_signal.h"
#include "settings/lifecycle.h"
#include "window/default_error.h"
#include "gui/main_window.h"
#include "gui/qt_file_dialog.h"
#include "gui/qt_shell.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <exception>
#include <memory>
#include <string>

namespace {

using tolvane::gui::QtShell;

// The last resort of the event dispatch: a failure that escaped a handler is
// reported with its number and description, then the program ends in order.
class TolvaneApplication : public QApplication {
  public:
    TolvaneApplication(int& argc, char** argv, QtShell& shell)
        : QApplication(argc, argv), shell_(shell) {}

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception&) {
            tolvane::window::endAfterUncaught(shell_);
        }
    }

  private:
    QtShell& shell_;
};

} // namespace

int main(int argc, char** argv) {
    QtShell shell;
    TolvaneApplication app(argc, argv, shell);
    // The program lives on in the notification area with no window open.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    QApplication::setDesktopFileName(QStringLiteral("tolvane"));
    QApplication::setWindowIcon(tolvane::gui::applicationIcon());

    tolvane::gui::QtFileDialog fileDialog;
    std::unique_ptr<tolvane::gui::FormTolvane> window;
    tolvane::window::runHandler(shell, [&] {
        window = std::make_unique<tolvane::gui::FormTolvane>(
            shell, fileDialog, tolvane::platform::executableFolder(),
            tolvane::platform::executableBaseName());
    });
    shell.setUnload([&window](int unloadMode) { window->unloadByProgram(unloadMode); });

    // A session end or a request to terminate: the icon goes, nothing is
    // asked and nothing saved.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&shell](QSessionManager&) { shell.endSession(); });
    // Should the platform quit the event loop itself, the icon still goes.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app,
                     [&window] { window->unloadByProgram(2); });
    std::unique_ptr<QSocketNotifier> terminationNotifier;
    tolvane::window::runHandler(shell, [&] {
        const int readEnd = tolvane::platform::watchTerminationSignals();
        terminationNotifier = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
        QObject::connect(terminationNotifier.get(), &QSocketNotifier::activated, &app,
                         [&shell, readEnd] {
                             tolvane::platform::drainTerminationPipe(readEnd);
                             shell.endSession();
                         });
    });

    tolvane::window::runHandler(shell, [&] { window->startUp(); });
    return QApplication::exec();
}
