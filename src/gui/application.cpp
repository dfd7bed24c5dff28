#include "gui/application.h"

#include "gui/main_window.h"
#include "gui/qt_shell.h"
#include "gui/qt_translations.h"
#include "gui/single_instance.h"
#include "platform/executable.h"
#include "platform/termination_signal.h"
#include "settings/settings_location.h"
#include "window/default_error.h"

#include <QSessionManager>
#include <QSocketNotifier>
#include <exception>

namespace tolvane::gui {

Application::Application(int& argc, char** argv, QtShell& shell)
    : QApplication(argc, argv), shell_(shell) {
    installJapaneseQtTranslations(*this);
    // The program lives on in the notification area with no window open.
    setQuitOnLastWindowClosed(false);
    setApplicationName(QStringLiteral("Tolvane"));
    setDesktopFileName(QStringLiteral("tolvane"));
    setWindowIcon(applicationIcon());
}

Application::~Application() = default;

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception&) {
        window::endAfterUncaught(shell_);
    }
}

const std::string& Application::settingsFolder() {
    if (settingsFolder_.empty()) {
        window::runHandler(shell_, [&] {
            settingsFolder_ = settings::settingsFolder(platform::executableFolder(),
                                                       platform::executableBaseName());
        });
    }
    return settingsFolder_;
}

bool Application::handedOverToRunningProgram() {
    singleInstance_ = std::make_unique<SingleInstance>(settingsFolder());
    return singleInstance_->handedOver();
}

std::unique_ptr<MainWindow> Application::createMainWindow(window::FileDialog& fileDialog) {
    std::unique_ptr<MainWindow> mainWindow;
    window::runHandler(shell_, [&] {
        mainWindow = std::make_unique<MainWindow>(shell_, fileDialog, settingsFolder(),
                                                  platform::executableBaseName());
    });
    MainWindow* shown = mainWindow.get();
    // Windows announces a session's end to top-level windows only; the
    // window, hidden in the notification area from the start, needs its
    // native window to hear it.
    shown->winId();
    shell_.setUnload([shown](UnloadMode mode) { shown->unloadByProgram(mode); });

    // A session end or a request to terminate: the icon goes, nothing is
    // asked and nothing saved.
    connect(this, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { shell_.endSession(); });
    // Should the platform quit the event loop itself, the icon still goes.
    connect(this, &QCoreApplication::aboutToQuit, this,
            [shown] { shown->unloadByProgram(UnloadMode::SessionEnd); });
    watchTerminationSignals();
    return mainWindow;
}

void Application::watchTerminationSignals() {
    window::runHandler(shell_, [&] {
        const int readEnd = platform::watchTerminationSignals();
        if (readEnd < 0) {
            return;
        }
        terminationNotifier_ = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
        connect(terminationNotifier_.get(), &QSocketNotifier::activated, this, [this, readEnd] {
            platform::drainTerminationPipe(readEnd);
            shell_.endSession();
        });
    });
}

void Application::startUp(MainWindow& mainWindow) {
    window::runHandler(shell_, [&] { mainWindow.startUp(); });
    // Only a started program shows its window for another start: during the
    // first start's message there is no window yet. Requests made meanwhile
    // wait until now.
    if (singleInstance_) {
        MainWindow* shown = &mainWindow;
        singleInstance_->onShowRequest([this, shown] {
            window::runHandler(shell_, [shown] { shown->core().VisibleTrue_Click(); });
            if (shown->isMinimized()) {
                shown->showNormal();
            }
            shown->raise();
            shown->activateWindow();
        });
    }
}

} // namespace tolvane::gui
