#include "gui/main_window.h"

#include "gui/about_box.h"
#include "gui/copy_date_window.h"
#include "gui/drop_line_edit.h"
#include "gui/qt_text.h"
#include "gui/target_list.h"
#include "window/default_error.h"
#include "window/tooltips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTimer>

namespace tolvane::gui {

namespace {

using window::pixelsOfTwips;

void place(QWidget* widget, const window::TwipRect& r) {
    widget->setGeometry(pixelsOfTwips(r.left), pixelsOfTwips(r.top), pixelsOfTwips(r.width),
                        pixelsOfTwips(r.height));
}

// The designed control name, by which the tests find a widget.
template <typename Object> Object* named(Object* object, const char* name) {
    object->setObjectName(QString::fromUtf8(name));
    return object;
}

} // namespace

MainWindow::MainWindow(Shell& shell, window::FileDialog& fileDialog, std::string settingsFolder,
                       std::string executableBaseName)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      shell_(shell),
      core_(shell, *this, fileDialog, std::move(settingsFolder), std::move(executableBaseName)) {
    setWindowIcon(applicationIcon());
    createControls();
    connectControls();
    createMenus();

    intervalTimer_ = named(new QTimer(this), "TimerInterval");
    intervalTimer_->setTimerType(Qt::PreciseTimer);
    connect(intervalTimer_, &QTimer::timeout, this,
            [this] { handle([this] { core_.TimerInterval_Timer(); }); });

    tray_ = named(new QSystemTrayIcon(windowIcon(), this), "Tray");
    tray_->setToolTip(QString::fromUtf8(window::kTrayTipText));
    // The menu goes with the icon so that a desktop showing it over D-Bus
    // (StatusNotifierItem) can offer it too.
    tray_->setContextMenu(controlMenu_);
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { trayActivated(reason); });

    copyDateWindow_ = std::make_unique<CopyDateWindow>(state(), core_.copyDateDialog(), shell_);
    copyDateWindow_->setWindowIcon(windowIcon());

    state().subscribe([this](StateField field) { refresh(field); });
    for (StateField field :
         {StateField::Caption, StateField::ListTargets, StateField::TextTargetFolder,
          StateField::TextSaveAt, StateField::TextInterval, StateField::Menus, StateField::Timer,
          StateField::InputsEnabled}) {
        refresh(field);
    }

    setFixedHeight(clientHeight());
    setMinimumWidth(window::clientPixelsOfOuterWidth(window::kMinOuterWidth));
    // Designed 4695 twips wide; the resize rule widens it to its minimum.
    resize(pixelsOfTwips(4695), clientHeight());
    applyLayout();
}

MainWindow::~MainWindow() {
    // The controls call into the program's logic (a list that empties reports
    // its selection, for one); they go while that logic is still there.
    delete takeCentralWidget();
}

int MainWindow::clientHeight() const {
    return menuBar()->sizeHint().height() + window::clientPixelsOfOuterHeight(window::kOuterHeight);
}

void MainWindow::handle(const std::function<void()>& handler) {
    window::runHandler(shell_, handler);
}

void MainWindow::createControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    frame_ = named(new QGroupBox(client), "Frame");
    intervalBox_ = named(new DropLineEdit(frame_), "TextInterval");
    targetFolderBox_ = named(new DropLineEdit(frame_), "TextTargetFolder");
    intervalLabel_ =
        named(new QLabel(QStringLiteral("SeekInterval　(ms)      Max : 2147483647ms"), frame_),
              "LabelInterval");
    targetFolderLabel_ =
        named(new QLabel(QStringLiteral("TargetFolder"), frame_), "LabelTargetFolder");
    saveAtBox_ = named(new DropLineEdit(frame_), "TextSaveAt");
    saveAtLabel_ = named(new QLabel(QStringLiteral("SaveAt"), frame_), "LabelSaveAt");
    browseTargetButton_ = named(new QPushButton(frame_), "CommandSelect");
    browseSaveAtButton_ = named(new QPushButton(frame_), "CommandSelectSaveAt");
    targetList_ = named(new TargetList(frame_), "ListTargets");
    addTargetButton_ = named(new QPushButton(QStringLiteral("▽"), frame_), "CommandAddTarget");
    removeTargetButton_ =
        named(new QPushButton(QStringLiteral("△"), frame_), "CommandRemoveTarget");

    // The browse buttons carry no caption; a folder picture tells what they do.
    const QIcon folder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (QPushButton* browse : {browseTargetButton_, browseSaveAtButton_}) {
        browse->setIcon(folder);
        browse->setIconSize(QSize(12, 12));
    }
    for (QPushButton* button :
         {browseTargetButton_, browseSaveAtButton_, addTargetButton_, removeTargetButton_}) {
        button->setAutoDefault(false);
    }

    intervalBox_->setToolTip(QString::fromUtf8(window::kTipTextInterval));
    targetFolderBox_->setToolTip(QString::fromUtf8(window::kTipTextTargetFolder));
    saveAtBox_->setToolTip(QString::fromUtf8(window::kTipTextSaveAt));
    targetList_->setToolTip(QString::fromUtf8(window::kTipListTargets));
    addTargetButton_->setToolTip(QString::fromUtf8(window::kTipAddTarget));
    removeTargetButton_->setToolTip(QString::fromUtf8(window::kTipRemoveTarget));
    targetFolderBox_->tipText = [this] { return window::textTargetFolderTip(state()); };
    saveAtBox_->tipText = [this] { return window::textSaveAtTip(state()); };
    targetList_->tipText = [this] { return window::listTargetsTip(state()); };

    // Tab order as designed: the interval box receives the focus first.
    QWidget* order[] = {intervalBox_,        targetFolderBox_,    saveAtBox_,
                        browseTargetButton_, browseSaveAtButton_, targetList_,
                        addTargetButton_,    removeTargetButton_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
    intervalBox_->setFocus();
}

void MainWindow::connectControls() {
    using F = window::FormTolvane;
    const auto onClick = [this](QPushButton* button, void (F::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { handle([&] { (core_.*handler)(); }); });
    };
    onClick(addTargetButton_, &F::CommandAddTarget_Click);
    onClick(removeTargetButton_, &F::CommandRemoveTarget_Click);
    onClick(browseTargetButton_, &F::CommandSelect_Click);
    onClick(browseSaveAtButton_, &F::CommandSelectSaveAt_Click);
    connect(targetList_, &QListWidget::itemDoubleClicked, this,
            [this] { handle([this] { core_.ListTargets_DblClick(); }); });
    connect(targetList_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = targetList_->selectedItems();
        const int index = selected.isEmpty() ? -1 : targetList_->row(selected.first());
        handle([&] { state().setListIndex(index); });
    });
    targetList_->onDrop = [this](const window::DroppedFiles& dropped) {
        handle([&] { core_.ListTargets_OLEDragDrop(dropped); });
    };
    targetFolderBox_->onDrop = [this](const window::DroppedFiles& dropped) {
        handle([&] { core_.TextTargetFolder_OLEDragDrop(dropped); });
    };
    saveAtBox_->onDrop = [this](const window::DroppedFiles& dropped) {
        handle([&] { core_.TextSaveAt_OLEDragDrop(dropped); });
    };

    connect(targetFolderBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle([&] { state().setTextTargetFolder(fromQt(text)); });
    });
    connect(saveAtBox_, &QLineEdit::textEdited, this,
            [this](const QString& text) { handle([&] { state().setTextSaveAt(fromQt(text)); }); });
    connect(intervalBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle([&] { state().setTextInterval(fromQt(text)); });
    });
    connect(targetFolderBox_, &QLineEdit::returnPressed, this,
            [this] { handle([this] { core_.TextTargetFolder_KeyPress(window::kEnterKeyCode); }); });
    targetFolderBox_->onLostFocus = [this] {
        handle([this] { core_.TextTargetFolder_LostFocus(); });
    };
    saveAtBox_->onLostFocus = [this] { handle([this] { core_.TextSaveAt_LostFocus(); }); };
    intervalBox_->onLostFocus = [this] { handle([this] { core_.TextInterval_LostFocus(); }); };
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, const char* caption,
                             void (window::FormTolvane::*handler)(), const QKeySequence& shortcut,
                             bool checkable) {
    QAction* action = named(menu->addAction(QString::fromUtf8(caption)), name);
    action->setShortcut(shortcut);
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, [this, handler] {
        handle([&] { (core_.*handler)(); });
        // A click toggles a checkable item by itself; the model decides.
        refreshMenus();
    });
    return action;
}

void MainWindow::createMenus() {
    using F = window::FormTolvane;
    controlMenu_ = named(menuBar()->addMenu(QStringLiteral("操作")), "Control");
    showItem_ = addItem(controlMenu_, "VisibleTrue", "表示", &F::VisibleTrue_Click, {}, true);
    hideItem_ = addItem(controlMenu_, "VisibleFalse", "非表示", &F::VisibleFalse_Click,
                        QKeySequence(Qt::CTRL | Qt::Key_H), true);
    controlMenu_->addSeparator();
    addItem(controlMenu_, "M_Exec", "手動実行", &F::M_Exec_Click,
            QKeySequence(Qt::CTRL | Qt::Key_F));
    controlMenu_->addSeparator();
    pauseItem_ = addItem(controlMenu_, "StopTimer", "一時停止", &F::StopTimer_Click,
                         QKeySequence(Qt::CTRL | Qt::Key_S), true);
    addItem(controlMenu_, "ReleaseTimer", "監視再開", &F::ReleaseTimer_Click,
            QKeySequence(Qt::CTRL | Qt::Key_R));
    controlMenu_->addSeparator();
    addItem(controlMenu_, "END", "終了", &F::END_Click, QKeySequence(Qt::CTRL | Qt::Key_F4));
    addItem(controlMenu_, "Cancel", "キャンセル", &F::Cancel_Click,
            QKeySequence(Qt::CTRL | Qt::Key_F5));

    configMenu_ = named(menuBar()->addMenu(QStringLiteral("設定")), "Config");
    addItem(configMenu_, "SaveConfig", "設定保存", &F::SaveConfig_Click, QKeySequence(Qt::Key_F2));
    addItem(configMenu_, "LoadConfig", "設定読込", &F::LoadConfig_Click, QKeySequence(Qt::Key_F3));
    configMenu_->addSeparator();
    dateCopyMenu_ = named(configMenu_->addMenu(QString()), "DateCopy");
    connect(dateCopyMenu_, &QMenu::aboutToShow, this,
            [this] { handle([this] { core_.DateCopy_Click(); }); });
    dateCopyNormalItem_ =
        addItem(dateCopyMenu_, "DateCopyNomal", "通常", &F::DateCopyNomal_Click, {}, true);
    dateCopyCompressItem_ =
        addItem(dateCopyMenu_, "DateCopyCompress", "前日のフォルダを検出時自動的に圧縮する",
                &F::DateCopyCompress_Click, {}, true);
    dateCopyMenu_->addSeparator();
    addItem(dateCopyMenu_, "DateCopyRelease", "解除", &F::DateCopyRelease_Click);
    readOnlyItem_ = addItem(configMenu_, "CopyAtReadOnly", "読み取り専用としてコピーする",
                            &F::CopyAtReadOnly_Click, {}, true);
    configMenu_->addSeparator();
    QAction* setCopyDate =
        addItem(configMenu_, "setCopyDate", "コピー後更新日付を指定する", &F::setCopyDate_Click);
    connect(setCopyDate, &QAction::triggered, this, [this] { copyDateWindow_->bringForward(); });

    helpMenu_ = named(menuBar()->addMenu(QStringLiteral("ヘルプ")), "Help");
    QAction* version = named(helpMenu_->addAction(QStringLiteral("バージョン情報")), "Version");
    connect(version, &QAction::triggered, this, [this] { handle([this] { showAboutBox(); }); });
}

void MainWindow::applyLayout() {
    // Labels show their whole text even where this platform's fonts run wider
    // than the design allowed; they have no visible edge to keep.
    for (QLabel* label : {intervalLabel_, targetFolderLabel_, saveAtLabel_}) {
        label->setMinimumWidth(label->sizeHint().width());
    }
    place(frame_, layout_.frame);
    place(intervalBox_, layout_.textInterval);
    place(targetFolderBox_, layout_.textTargetFolder);
    place(intervalLabel_, layout_.labelInterval);
    place(targetFolderLabel_, layout_.labelTargetFolder);
    place(saveAtBox_, layout_.textSaveAt);
    place(saveAtLabel_, layout_.labelSaveAt);
    place(browseTargetButton_, layout_.commandSelect);
    place(browseSaveAtButton_, layout_.commandSelectSaveAt);
    place(targetList_, layout_.listTargets);
    place(addTargetButton_, layout_.commandAddTarget);
    place(removeTargetButton_, layout_.commandRemoveTarget);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const window::OuterSize size =
        window::resizeLayout(layout_, window::outerWidthOfClientPixels(width()));
    applyLayout();
    const int wantedWidth = window::clientPixelsOfOuterWidth(size.width);
    if (wantedWidth != width() || height() != clientHeight()) {
        resize(wantedWidth, clientHeight());
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    settings::UnloadDecision decision = settings::UnloadDecision::Proceed;
    handle([&] { decision = core_.Form_QueryUnload(UnloadMode::CloseBox); });
    if (decision == settings::UnloadDecision::Cancel) {
        event->ignore();
    } else {
        event->accept();
    }
}

void MainWindow::startUp() {
    core_.Form_Load();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        core_.VisibleTrue_Click();
    }
}

void MainWindow::unloadByProgram(UnloadMode mode) {
    unloading_ = true;
    core_.Form_QueryUnload(mode);
    intervalTimer_->stop();
}

int MainWindow::trayCodeOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Context:
        return window::kTrayRightDown;
    case QSystemTrayIcon::Trigger:
        return window::kTrayLeftUp;
    case QSystemTrayIcon::DoubleClick:
        return window::kTrayLeftDoubleClick;
    case QSystemTrayIcon::MiddleClick:
        return window::kTrayMiddleUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return window::kTrayMouseMove;
}

void MainWindow::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    // An icon in an X11 tray opens its menu itself before reporting the
    // press; a desktop that only reports the press gets it opened here.
    if (window::FormTolvane::trayOpensMenu(trayCodeOf(reason)) && !controlMenu_->isVisible()) {
        controlMenu_->popup(QCursor::pos());
    }
}

void MainWindow::showAboutBox() {
    // Modeless and without an owner: the main window stays usable.
    if (about_ == nullptr) {
        about_ = new AboutBox(nullptr);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::hideWindow() {
    core_.VisibleFalse_Click();
}

void MainWindow::setTrayIcon(bool add) {
    // The desktop may refuse the icon; the program runs on without one.
    tray_->setVisible(add);
}

void MainWindow::refresh(StateField field) {
    switch (field) {
    case StateField::Caption:
        setWindowTitle(toQt(state().caption()));
        break;
    case StateField::ListTargets:
        refreshList();
        break;
    case StateField::TextTargetFolder:
        if (targetFolderBox_->text() != toQt(state().textTargetFolder())) {
            targetFolderBox_->setText(toQt(state().textTargetFolder()));
        }
        break;
    case StateField::TextSaveAt:
        if (saveAtBox_->text() != toQt(state().textSaveAt())) {
            saveAtBox_->setText(toQt(state().textSaveAt()));
        }
        break;
    case StateField::TextInterval:
        if (intervalBox_->text() != toQt(state().textInterval())) {
            intervalBox_->setText(toQt(state().textInterval()));
        }
        break;
    case StateField::Menus:
        refreshMenus();
        break;
    case StateField::Timer:
        refreshTimer();
        break;
    case StateField::InputsEnabled:
        refreshInputs();
        break;
    case StateField::Visibility:
        refreshVisibility();
        break;
    case StateField::FormDate:
        break; // the dialog draws itself
    }
}

void MainWindow::refreshList() {
    const std::vector<std::string>& entries = state().listTargets();
    QSignalBlocker block(targetList_);
    bool same = targetList_->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < targetList_->count(); ++i) {
        same = targetList_->item(i)->text() == toQt(entries[static_cast<std::size_t>(i)]);
    }
    if (!same) {
        targetList_->clear();
        for (const std::string& entry : entries) {
            targetList_->addItem(toQt(entry));
        }
    }
    const int index = state().listIndex();
    if (index < 0) {
        targetList_->clearSelection();
        targetList_->setCurrentRow(-1);
    } else if (targetList_->currentRow() != index || !targetList_->item(index)->isSelected()) {
        targetList_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
}

void MainWindow::refreshMenus() {
    showItem_->setChecked(state().visibleTrueChecked());
    hideItem_->setChecked(state().visibleFalseChecked());
    pauseItem_->setChecked(state().stopTimerChecked());
    dateCopyNormalItem_->setChecked(state().plainDateCopyChecked());
    dateCopyCompressItem_->setChecked(state().dateCopyCompressChecked());
    readOnlyItem_->setChecked(state().copyAtReadOnlyChecked());
    dateCopyMenu_->setTitle(toQt(state().dateCopyCaption()));
}

void MainWindow::refreshTimer() {
    const int period = state().timerPeriodMs();
    if (intervalTimer_->interval() != period) {
        intervalTimer_->setInterval(period);
    }
    if (state().timerEnabled() && !intervalTimer_->isActive()) {
        intervalTimer_->start();
    } else if (!state().timerEnabled()) {
        intervalTimer_->stop();
    }
}

void MainWindow::refreshInputs() {
    const bool enabled = state().inputsEnabled();
    for (QWidget* control : std::initializer_list<QWidget*>{
             addTargetButton_, removeTargetButton_, targetList_, targetFolderBox_,
             browseTargetButton_, browseSaveAtButton_, saveAtBox_, intervalBox_}) {
        control->setEnabled(enabled);
    }
}

void MainWindow::refreshVisibility() {
    if (state().windowVisible()) {
        showNormal();
        raise();
        activateWindow();
    } else if (QSystemTrayIcon::isSystemTrayAvailable()) {
        hide();
    } else {
        // With no notification area a hidden window could never be reached
        // again; it goes to the taskbar instead.
        showMinimized();
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Brought back from the taskbar: the window is shown again, and the
    // check marks say so.
    if (event->type() == QEvent::WindowStateChange && !isMinimized() && isVisible() &&
        !state().windowVisible()) {
        handle([this] { core_.VisibleTrue_Click(); });
    }
}

} // namespace tolvane::gui
