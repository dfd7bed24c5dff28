#pragma once

#include <QApplication>
#include <memory>
#include <string>

class QSocketNotifier;

namespace tolvane::window {
class FileDialog;
}

namespace tolvane::gui {

class MainWindow;
class QtShell;
class SingleInstance;

// The desktop program's application object: its names and icon, Qt's own
// texts in Japanese, a life in the notification area with no window open,
// and the last resort of the event dispatch.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv, QtShell& shell);
    ~Application() override;

    // A failure that escaped a handler is reported with its number and
    // description, then the program ends in order.
    bool notify(QObject* receiver, QEvent* event) override;

    // Another program already runs on this start's settings folder: it has
    // been asked to show its window, and this start ends with status 0.
    bool handedOverToRunningProgram();

    // Makes the main window and ties the ends of the process to it: the
    // program's own end, a session end, a termination signal.
    std::unique_ptr<MainWindow> createMainWindow(window::FileDialog& fileDialog);

    // The window's start-up sequence, under the handlers' failure guard.
    void startUp(MainWindow& mainWindow);

  private:
    void watchTerminationSignals();
    const std::string& settingsFolder();

    QtShell& shell_;
    std::string settingsFolder_;
    std::unique_ptr<SingleInstance> singleInstance_;
    std::unique_ptr<QSocketNotifier> terminationNotifier_;
};

} // namespace tolvane::gui
