#include "gui/main_window.h"

#include "gui/about_box.h"
#include "window/default_error.h"
#include "window/tooltips.h"
#include "gui/drop_line_edit.h"
#include "gui/form_date.h"
#include "gui/qt_text.h"
#include "gui/target_list.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>

namespace tolvane::gui {

namespace {

using window::pixelsOfTwips;

void place(QWidget* widget, const window::TwipRect& r) {
    widget->setGeometry(pixelsOfTwips(r.left), pixelsOfTwips(r.top), pixelsOfTwips(r.width),
                        pixelsOfTwips(r.height));
}

} // namespace

FormTolvane::FormTolvane(Shell& shell, window::FileDialog& fileDialog, std::string executableFolder,
                         std::string executableBaseName)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      shell_(shell),
      core_(shell, *this, fileDialog, std::move(executableFolder), std::move(executableBaseName)) {
    setWindowIcon(applicationIcon());
    createControls();
    createMenus();

    TimerInterval_.setTimerType(Qt::PreciseTimer);
    connect(&TimerInterval_, &QTimer::timeout, this,
            [this] { handle([this] { core_.TimerInterval_Timer(); }); });

    tray_ = std::make_unique<QSystemTrayIcon>(windowIcon());
    tray_->setToolTip(QString::fromUtf8(window::kTrayTipText));
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { trayActivated(reason); });

    formDate_ = std::make_unique<FormDate>(state(), core_.copyDateDialog(), shell_);
    formDate_->setWindowIcon(windowIcon());

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

FormTolvane::~FormTolvane() {
    // The controls call into the program's logic (a list that empties reports
    // its selection, for one); they go while that logic is still there.
    delete takeCentralWidget();
}

int FormTolvane::clientHeight() const {
    return menuBar()->sizeHint().height() + window::clientPixelsOfOuterHeight(window::kOuterHeight);
}

void FormTolvane::handle(const std::function<void()>& handler) {
    window::runHandler(shell_, handler);
}

void FormTolvane::createControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    Frame_ = new QGroupBox(client);
    TextInterval_ = new DropLineEdit(Frame_);
    TextTargetFolder_ = new DropLineEdit(Frame_);
    LabelInterval_ =
        new QLabel(QStringLiteral("SeekInterval　(ms)      Max : 2147483647ms"), Frame_);
    LabelTargetFolder_ = new QLabel(QStringLiteral("TargetFolder"), Frame_);
    TextSaveAt_ = new DropLineEdit(Frame_);
    LabelSaveAt_ = new QLabel(QStringLiteral("SaveAt"), Frame_);
    CommandSelect_ = new QPushButton(Frame_);
    CommandSelectSaveAt_ = new QPushButton(Frame_);
    ListTargets_ = new TargetList(Frame_);
    CommandAddTarget_ = new QPushButton(QStringLiteral("▽"), Frame_);
    CommandRemoveTarget_ = new QPushButton(QStringLiteral("△"), Frame_);

    // The browse buttons carry no caption; a folder picture tells what they do.
    const QIcon folder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (QPushButton* browse : {CommandSelect_, CommandSelectSaveAt_}) {
        browse->setIcon(folder);
        browse->setIconSize(QSize(12, 12));
    }
    for (QPushButton* button :
         {CommandSelect_, CommandSelectSaveAt_, CommandAddTarget_, CommandRemoveTarget_}) {
        button->setAutoDefault(false);
    }

    TextInterval_->setToolTip(QString::fromUtf8(window::kTipTextInterval));
    TextTargetFolder_->setToolTip(QString::fromUtf8(window::kTipTextTargetFolder));
    TextSaveAt_->setToolTip(QString::fromUtf8(window::kTipTextSaveAt));
    ListTargets_->setToolTip(QString::fromUtf8(window::kTipListTargets));
    CommandAddTarget_->setToolTip(QString::fromUtf8(window::kTipAddTarget));
    CommandRemoveTarget_->setToolTip(QString::fromUtf8(window::kTipRemoveTarget));
    TextTargetFolder_->tipText = [this] { return window::textTargetFolderTip(state()); };
    TextSaveAt_->tipText = [this] { return window::textSaveAtTip(state()); };
    ListTargets_->tipText = [this] { return window::listTargetsTip(state()); };

    // Tab order as designed: the interval box receives the focus first.
    QWidget* order[] = {TextInterval_,     TextTargetFolder_,    TextSaveAt_,
                        CommandSelect_,    CommandSelectSaveAt_, ListTargets_,
                        CommandAddTarget_, CommandRemoveTarget_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
    TextInterval_->setFocus();

    window::TargetEditing& editing = core_.editing();
    connect(CommandAddTarget_, &QPushButton::clicked, this,
            [this, &editing] { handle([&] { editing.CommandAddTarget_Click(); }); });
    connect(CommandRemoveTarget_, &QPushButton::clicked, this,
            [this, &editing] { handle([&] { editing.CommandRemoveTarget_Click(); }); });
    connect(CommandSelect_, &QPushButton::clicked, this,
            [this, &editing] { handle([&] { editing.CommandSelect_Click(); }); });
    connect(CommandSelectSaveAt_, &QPushButton::clicked, this,
            [this, &editing] { handle([&] { editing.CommandSelectSaveAt_Click(); }); });
    connect(ListTargets_, &QListWidget::itemDoubleClicked, this,
            [this, &editing] { handle([&] { editing.ListTargets_DblClick(); }); });
    connect(ListTargets_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = ListTargets_->selectedItems();
        const int index = selected.isEmpty() ? -1 : ListTargets_->row(selected.first());
        handle([&] { state().setListIndex(index); });
    });
    ListTargets_->onDrop = [this, &editing](const window::DroppedFiles& dropped) {
        handle([&] { editing.ListTargets_OLEDragDrop(dropped); });
    };
    TextTargetFolder_->onDrop = [this, &editing](const window::DroppedFiles& dropped) {
        handle([&] { editing.TextTargetFolder_OLEDragDrop(dropped); });
    };
    TextSaveAt_->onDrop = [this, &editing](const window::DroppedFiles& dropped) {
        handle([&] { editing.TextSaveAt_OLEDragDrop(dropped); });
    };

    connect(TextTargetFolder_, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle([&] { state().setTextTargetFolder(fromQt(text)); });
    });
    connect(TextSaveAt_, &QLineEdit::textEdited, this,
            [this](const QString& text) { handle([&] { state().setTextSaveAt(fromQt(text)); }); });
    connect(TextInterval_, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle([&] { state().setTextInterval(fromQt(text)); });
    });
    connect(TextTargetFolder_, &QLineEdit::returnPressed, this, [this, &editing] {
        handle([&] { editing.TextTargetFolder_KeyPress(window::kEnterKeyCode); });
    });
    TextTargetFolder_->onLostFocus = [this, &editing] {
        handle([&] { editing.TextTargetFolder_LostFocus(); });
    };
    TextSaveAt_->onLostFocus = [this, &editing] {
        handle([&] { editing.TextSaveAt_LostFocus(); });
    };
    TextInterval_->onLostFocus = [this] { handle([this] { core_.TextInterval_LostFocus(); }); };
}

QAction* FormTolvane::addItem(QMenu* menu, const char* caption,
                              void (window::FormTolvane::*handler)(), const QKeySequence& shortcut,
                              bool checkable) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setShortcut(shortcut);
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, [this, handler] {
        handle([&] { (core_.*handler)(); });
        // A click toggles a checkable item by itself; the model decides.
        refreshMenus();
    });
    return action;
}

void FormTolvane::createMenus() {
    using F = window::FormTolvane;
    Control_ = menuBar()->addMenu(QStringLiteral("操作"));
    VisibleTrue_ = addItem(Control_, "表示", &F::VisibleTrue_Click, {}, true);
    VisibleFalse_ = addItem(Control_, "非表示", &F::VisibleFalse_Click,
                            QKeySequence(Qt::CTRL | Qt::Key_H), true);
    Control_->addSeparator();
    addItem(Control_, "手動実行", &F::M_Exec_Click, QKeySequence(Qt::CTRL | Qt::Key_F));
    Control_->addSeparator();
    StopTimer_ = addItem(Control_, "一時停止", &F::StopTimer_Click,
                         QKeySequence(Qt::CTRL | Qt::Key_S), true);
    addItem(Control_, "監視再開", &F::ReleaseTimer_Click, QKeySequence(Qt::CTRL | Qt::Key_R));
    Control_->addSeparator();
    addItem(Control_, "終了", &F::END_Click, QKeySequence(Qt::CTRL | Qt::Key_F4));
    addItem(Control_, "キャンセル", &F::Cancel_Click, QKeySequence(Qt::CTRL | Qt::Key_F5));

    Config_ = menuBar()->addMenu(QStringLiteral("設定"));
    addItem(Config_, "設定保存", &F::SaveConfig_Click, QKeySequence(Qt::Key_F2));
    addItem(Config_, "設定読込", &F::LoadConfig_Click, QKeySequence(Qt::Key_F3));
    Config_->addSeparator();
    DateCopy_ = Config_->addMenu(QString());
    connect(DateCopy_, &QMenu::aboutToShow, this,
            [this] { handle([this] { core_.DateCopy_Click(); }); });
    DateCopyNomal_ = addItem(DateCopy_, "通常", &F::DateCopyNomal_Click, {}, true);
    DateCopyCompress_ = addItem(DateCopy_, "前日のフォルダを検出時自動的に圧縮する",
                                &F::DateCopyCompress_Click, {}, true);
    DateCopy_->addSeparator();
    addItem(DateCopy_, "解除", &F::DateCopyRelease_Click);
    CopyAtReadOnly_ =
        addItem(Config_, "読み取り専用としてコピーする", &F::CopyAtReadOnly_Click, {}, true);
    Config_->addSeparator();
    QAction* setCopyDate = addItem(Config_, "コピー後更新日付を指定する", &F::setCopyDate_Click);
    connect(setCopyDate, &QAction::triggered, this, [this] { formDate_->bringForward(); });

    Help_ = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    QAction* version = Help_->addAction(QStringLiteral("バージョン情報"));
    connect(version, &QAction::triggered, this, [this] { handle([this] { Version_Click(); }); });
}

void FormTolvane::applyLayout() {
    // Labels show their whole text even where this platform's fonts run wider
    // than the design allowed; they have no visible edge to keep.
    for (QLabel* label : {LabelInterval_, LabelTargetFolder_, LabelSaveAt_}) {
        label->setMinimumWidth(label->sizeHint().width());
    }
    place(Frame_, layout_.frame);
    place(TextInterval_, layout_.textInterval);
    place(TextTargetFolder_, layout_.textTargetFolder);
    place(LabelInterval_, layout_.labelInterval);
    place(LabelTargetFolder_, layout_.labelTargetFolder);
    place(TextSaveAt_, layout_.textSaveAt);
    place(LabelSaveAt_, layout_.labelSaveAt);
    place(CommandSelect_, layout_.commandSelect);
    place(CommandSelectSaveAt_, layout_.commandSelectSaveAt);
    place(ListTargets_, layout_.listTargets);
    place(CommandAddTarget_, layout_.commandAddTarget);
    place(CommandRemoveTarget_, layout_.commandRemoveTarget);
}

void FormTolvane::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const window::OuterSize size =
        window::Form_Resize(layout_, window::outerWidthOfClientPixels(width()));
    applyLayout();
    const int wantedWidth = window::clientPixelsOfOuterWidth(size.width);
    if (wantedWidth != width() || height() != clientHeight()) {
        resize(wantedWidth, clientHeight());
    }
}

void FormTolvane::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    int cancel = 0;
    handle([&] { core_.Form_QueryUnload(cancel, settings::kUnloadCloseBox); });
    if (cancel != 0) {
        event->ignore();
    } else {
        event->accept();
    }
}

void FormTolvane::startUp() {
    core_.Form_Load();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        core_.VisibleTrue_Click();
    }
}

void FormTolvane::unloadByProgram(int unloadMode) {
    unloading_ = true;
    int cancel = 0;
    core_.Form_QueryUnload(cancel, unloadMode);
    TimerInterval_.stop();
}

int FormTolvane::trayCodeOf(QSystemTrayIcon::ActivationReason reason) {
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

void FormTolvane::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (window::FormTolvane::trayOpensMenu(trayCodeOf(reason))) {
        Control_->popup(QCursor::pos());
    }
}

void FormTolvane::Version_Click() {
    // Modeless and without an owner: the main window stays usable. There is
    // one about box; choosing the command again brings it forward.
    if (about_ == nullptr) {
        about_ = new frmAbout(nullptr);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void FormTolvane::VisibleFalse_Click() {
    core_.VisibleFalse_Click();
}

void FormTolvane::setTrayIcon(bool add) {
    // The desktop may refuse the icon; the program runs on without one.
    tray_->setVisible(add);
}

void FormTolvane::refresh(StateField field) {
    switch (field) {
    case StateField::Caption:
        setWindowTitle(toQt(state().caption()));
        break;
    case StateField::ListTargets:
        refreshList();
        break;
    case StateField::TextTargetFolder:
        if (TextTargetFolder_->text() != toQt(state().textTargetFolder())) {
            TextTargetFolder_->setText(toQt(state().textTargetFolder()));
        }
        break;
    case StateField::TextSaveAt:
        if (TextSaveAt_->text() != toQt(state().textSaveAt())) {
            TextSaveAt_->setText(toQt(state().textSaveAt()));
        }
        break;
    case StateField::TextInterval:
        if (TextInterval_->text() != toQt(state().textInterval())) {
            TextInterval_->setText(toQt(state().textInterval()));
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

void FormTolvane::refreshList() {
    const std::vector<std::string>& entries = state().listTargets();
    QSignalBlocker block(ListTargets_);
    bool same = ListTargets_->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < ListTargets_->count(); ++i) {
        same = ListTargets_->item(i)->text() == toQt(entries[static_cast<std::size_t>(i)]);
    }
    if (!same) {
        ListTargets_->clear();
        for (const std::string& entry : entries) {
            ListTargets_->addItem(toQt(entry));
        }
    }
    const int index = state().listIndex();
    if (index < 0) {
        ListTargets_->clearSelection();
        ListTargets_->setCurrentRow(-1);
    } else if (ListTargets_->currentRow() != index || !ListTargets_->item(index)->isSelected()) {
        ListTargets_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
}

void FormTolvane::refreshMenus() {
    VisibleTrue_->setChecked(state().visibleTrueChecked());
    VisibleFalse_->setChecked(state().visibleFalseChecked());
    StopTimer_->setChecked(state().stopTimerChecked());
    DateCopyNomal_->setChecked(state().dateCopyNomalChecked());
    DateCopyCompress_->setChecked(state().dateCopyCompressChecked());
    CopyAtReadOnly_->setChecked(state().copyAtReadOnlyChecked());
    DateCopy_->setTitle(toQt(state().dateCopyCaption()));
}

void FormTolvane::refreshTimer() {
    const int period = state().timerPeriodMs();
    if (TimerInterval_.interval() != period) {
        TimerInterval_.setInterval(period);
    }
    if (state().timerEnabled() && !TimerInterval_.isActive()) {
        TimerInterval_.start();
    } else if (!state().timerEnabled()) {
        TimerInterval_.stop();
    }
}

void FormTolvane::refreshInputs() {
    const bool enabled = state().inputsEnabled();
    for (QWidget* control : std::initializer_list<QWidget*>{
             CommandAddTarget_, CommandRemoveTarget_, ListTargets_, TextTargetFolder_,
             CommandSelect_, CommandSelectSaveAt_, TextSaveAt_, TextInterval_}) {
        control->setEnabled(enabled);
    }
}

void FormTolvane::refreshVisibility() {
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

void FormTolvane::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Brought back from the taskbar: the window is shown again, and the
    // check marks say so.
    if (event->type() == QEvent::WindowStateChange && !isMinimized() && isVisible() &&
        !state().windowVisible()) {
        handle([this] { core_.VisibleTrue_Click(); });
    }
}

} // namespace tolvane::gui
