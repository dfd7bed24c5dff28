#pragma once

#include "settings/lifecycle.h"
#include "state/shell.h"
#include "window/file_dialog.h"
#include "window/form_tolvane.h"
#include "window/layout.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace tolvane::gui {

class AboutBox;
class CopyDateWindow;
class DropLineEdit;
class TargetList;

// The main window's widgets, menus, timer and notification-area icon. They
// draw the state model and forward every event to the program's logic. The
// widgets carry their designed control names as object names.
class MainWindow : public QMainWindow, public settings::WindowHooks {
    Q_OBJECT

  public:
    MainWindow(Shell& shell, window::FileDialog& fileDialog, std::string settingsFolder,
               std::string executableBaseName);
    ~MainWindow() override;

    // The start-up sequence. Where the desktop has no notification area the
    // window is shown afterwards, since nothing else could bring it back.
    void startUp();

    // The program's own unload or a session end; never cancelled.
    void unloadByProgram(UnloadMode mode);

    // The icon reported mouse activity; only a right-button press opens the
    // Control menu.
    void trayActivated(QSystemTrayIcon::ActivationReason reason);

    // WindowHooks
    void hideWindow() override;
    void setTrayIcon(bool add) override;

    window::FormTolvane& core() { return core_; }
    FormState& state() { return core_.state(); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    static int trayCodeOf(QSystemTrayIcon::ActivationReason reason);
    // There is one about box; choosing the command again brings it forward.
    void showAboutBox();

    void createControls();
    void connectControls();
    void createMenus();
    QAction* addItem(QMenu* menu, const char* name, const char* caption,
                     void (window::FormTolvane::*handler)(), const QKeySequence& shortcut = {},
                     bool checkable = false);
    int clientHeight() const;
    void applyLayout();
    void handle(const std::function<void()>& handler);

    void refresh(StateField field);
    void refreshList();
    void refreshMenus();
    void refreshTimer();
    void refreshInputs();
    void refreshVisibility();

    Shell& shell_;
    window::FormTolvane core_;
    window::MainLayout layout_ = window::creationLayout();
    bool unloading_ = false;

    QGroupBox* frame_ = nullptr;
    DropLineEdit* intervalBox_ = nullptr;
    DropLineEdit* targetFolderBox_ = nullptr;
    DropLineEdit* saveAtBox_ = nullptr;
    QLabel* intervalLabel_ = nullptr;
    QLabel* targetFolderLabel_ = nullptr;
    QLabel* saveAtLabel_ = nullptr;
    QPushButton* browseTargetButton_ = nullptr;
    QPushButton* browseSaveAtButton_ = nullptr;
    TargetList* targetList_ = nullptr;
    QPushButton* addTargetButton_ = nullptr;
    QPushButton* removeTargetButton_ = nullptr;
    QTimer* intervalTimer_ = nullptr;

    QMenu* controlMenu_ = nullptr;
    QMenu* configMenu_ = nullptr;
    QMenu* dateCopyMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* showItem_ = nullptr;
    QAction* hideItem_ = nullptr;
    QAction* pauseItem_ = nullptr;
    QAction* dateCopyNormalItem_ = nullptr;
    QAction* dateCopyCompressItem_ = nullptr;
    QAction* readOnlyItem_ = nullptr;

    QSystemTrayIcon* tray_ = nullptr;
    std::unique_ptr<CopyDateWindow> copyDateWindow_;
    // The about box while it is open; closing it deletes it.
    QPointer<AboutBox> about_;
};

// The application's icon, in every size it comes in.
QIcon applicationIcon();

} // namespace tolvane::gui
