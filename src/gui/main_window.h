#pragma once

#include "settings/lifecycle.h"
#include "state/shell.h"
#include "window/file_dialog.h"
#include "window/form_tolvane.h"
#include "window/layout.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;

namespace tolvane::gui {

class DropLineEdit;
class frmAbout;
class FormDate;
class TargetList;

// The main window's widgets, menus, timer and notification-area icon. They
// draw the state model and forward every event to the program's logic.
class FormTolvane : public QMainWindow, public settings::WindowHooks {
    Q_OBJECT

  public:
    FormTolvane(Shell& shell, window::FileDialog& fileDialog, std::string executableFolder,
                std::string executableBaseName);
    ~FormTolvane() override;

    // The start-up sequence. Where the desktop has no notification area the
    // window is shown afterwards, since nothing else could bring it back.
    void startUp();

    // The program's own unload (mode 1) or a session end (mode 2).
    void unloadByProgram(int unloadMode);

    // The icon reported mouse activity; only a right-button press opens the
    // Control menu.
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    static int trayCodeOf(QSystemTrayIcon::ActivationReason reason);

    void Version_Click();

    // WindowHooks
    void VisibleFalse_Click() override;
    void setTrayIcon(bool add) override;

    window::FormTolvane& core() { return core_; }
    FormState& state() { return core_.state(); }

    // The controls, for the tests and the screenshots.
    QGroupBox* frame() const { return Frame_; }
    DropLineEdit* textInterval() const { return TextInterval_; }
    DropLineEdit* textTargetFolder() const { return TextTargetFolder_; }
    DropLineEdit* textSaveAt() const { return TextSaveAt_; }
    QLabel* labelInterval() const { return LabelInterval_; }
    QLabel* labelTargetFolder() const { return LabelTargetFolder_; }
    QLabel* labelSaveAt() const { return LabelSaveAt_; }
    QPushButton* commandSelect() const { return CommandSelect_; }
    QPushButton* commandSelectSaveAt() const { return CommandSelectSaveAt_; }
    TargetList* listTargets() const { return ListTargets_; }
    QPushButton* commandAddTarget() const { return CommandAddTarget_; }
    QPushButton* commandRemoveTarget() const { return CommandRemoveTarget_; }
    QMenu* controlMenu() const { return Control_; }
    QMenu* dateCopyMenu() const { return DateCopy_; }
    QTimer& timerInterval() { return TimerInterval_; }
    QSystemTrayIcon& trayIcon() { return *tray_; }
    FormDate& formDate() { return *formDate_; }
    int clientHeight() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void createControls();
    void createMenus();
    QAction* addItem(QMenu* menu, const char* caption, void (window::FormTolvane::*handler)(),
                     const QKeySequence& shortcut = {}, bool checkable = false);
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

    QGroupBox* Frame_ = nullptr;
    DropLineEdit* TextInterval_ = nullptr;
    DropLineEdit* TextTargetFolder_ = nullptr;
    DropLineEdit* TextSaveAt_ = nullptr;
    QLabel* LabelInterval_ = nullptr;
    QLabel* LabelTargetFolder_ = nullptr;
    QLabel* LabelSaveAt_ = nullptr;
    QPushButton* CommandSelect_ = nullptr;
    QPushButton* CommandSelectSaveAt_ = nullptr;
    TargetList* ListTargets_ = nullptr;
    QPushButton* CommandAddTarget_ = nullptr;
    QPushButton* CommandRemoveTarget_ = nullptr;
    QTimer TimerInterval_;

    QMenu* Control_ = nullptr;
    QMenu* Config_ = nullptr;
    QMenu* DateCopy_ = nullptr;
    QMenu* Help_ = nullptr;
    QAction* VisibleTrue_ = nullptr;
    QAction* VisibleFalse_ = nullptr;
    QAction* StopTimer_ = nullptr;
    QAction* DateCopyNomal_ = nullptr;
    QAction* DateCopyCompress_ = nullptr;
    QAction* CopyAtReadOnly_ = nullptr;

    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<FormDate> formDate_;
    // The about box while it is open; closing it deletes it.
    QPointer<frmAbout> about_;
};

// The application's icon, in every size it comes in.
QIcon applicationIcon();

} // namespace tolvane::gui
