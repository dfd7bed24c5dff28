#include "gui/about_box.h"
#include "qt_test_app.h"
#include "state/form_state.h"
#include "support/fake_shell.h"
#include "support/temp_dir.h"
#include "window/tooltips.h"
#include "gui/drop_line_edit.h"
#include "gui/form_date.h"
#include "gui/main_window.h"
#include "gui/qt_file_dialog.h"
#include "gui/target_list.h"

#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <deque>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tolvane::gui {
namespace {

using ::testing::ElementsAre;

struct ScriptedDialog : window::FileDialog {
    std::string showOpen(const std::string&, const std::string& folder) override {
        folders.push_back(folder);
        return next();
    }
    std::string showSave(const std::string&, const std::string& folder) override {
        folders.push_back(folder);
        return next();
    }
    std::string next() {
        if (answers.empty()) {
            return {};
        }
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::string> answers;
    std::vector<std::string> folders;
};

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        testing::qtApp();
        std::ofstream(home / "Tolvane.dat", std::ios::binary) << "/src/one\r\n/src/two\r\n";
        std::ofstream(home / "Tolvane.Ini", std::ios::binary)
            << "[Tolvane]\r\nInterval=60000\r\nSaveAt=/backup\r\n";
        window = std::make_unique<FormTolvane>(shell, dialog, home.str(), "Tolvane");
    }

    void startShown() {
        window->startUp();
        window->core().VisibleTrue_Click();
        QCoreApplication::processEvents();
    }

    // A drag entering the control, then the drop, as a file manager does it.
    static void drop(QWidget* target, QMimeData* data) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }

    // Press, release, double click, release: what the window system delivers.
    static void doubleClick(QWidget* target, QPoint at) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton,
                              down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &event);
        }
    }

    static QMimeData* fileList(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths) {
            urls << QUrl::fromLocalFile(p);
        }
        data->setUrls(urls);
        return data;
    }

    static void moveOver(QWidget* widget) {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

    QString text(const std::string& s) { return QString::fromStdString(s); }

    testing::TempDir home;
    testing::FakeShell shell;
    ScriptedDialog dialog;
    std::unique_ptr<FormTolvane> window;
};

TEST_F(MainWindowTest, GeometryAtCreationFollowsTheDesignInPixels) {
    startShown();
    // The design is 4695 twips wide; the resize rule widens it to 4815.
    EXPECT_EQ(window->width(), 315);
    EXPECT_EQ(window->centralWidget()->height(), 354);
    EXPECT_EQ(window->frame()->geometry(), QRect(8, 0, 299, 345));
    EXPECT_EQ(window->textInterval()->geometry(), QRect(8, 312, 283, 18));
    EXPECT_EQ(window->textTargetFolder()->geometry(), QRect(32, 32, 259, 18));
    EXPECT_EQ(window->textSaveAt()->geometry(), QRect(32, 264, 259, 18));
    EXPECT_EQ(window->listTargets()->geometry(), QRect(8, 80, 283, 160));
    EXPECT_EQ(window->commandAddTarget()->geometry(), QRect(80, 56, 49, 17));
    EXPECT_EQ(window->commandRemoveTarget()->geometry(), QRect(170, 56, 49, 17));
    EXPECT_EQ(window->commandSelect()->geometry(), QRect(8, 32, 25, 17));
    EXPECT_EQ(window->commandSelectSaveAt()->geometry(), QRect(8, 264, 25, 17));
    EXPECT_EQ(window->labelTargetFolder()->pos(), QPoint(8, 16));
    EXPECT_EQ(window->labelSaveAt()->pos(), QPoint(8, 248));
    EXPECT_EQ(window->labelInterval()->pos(), QPoint(8, 296));
    EXPECT_EQ(window->labelInterval()->text(),
              QStringLiteral("SeekInterval　(ms)      Max : 2147483647ms"));
}

TEST_F(MainWindowTest, ResizingWidensFreelyButNeverNarrowsOrChangesHeight) {
    startShown();
    const int height = window->height();

    window->resize(415, height);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->width(), 415);
    EXPECT_EQ(window->frame()->width(), 399);
    EXPECT_EQ(window->textTargetFolder()->width(), 359);
    EXPECT_EQ(window->listTargets()->width(), 383);
    EXPECT_EQ(window->textInterval()->width(), 383);
    EXPECT_EQ(window->commandRemoveTarget()->x(), 270);
    EXPECT_EQ(window->commandAddTarget()->x(), 80) << "▽ stays";

    window->resize(200, height);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->width(), 315);
    EXPECT_EQ(window->frame()->width(), 299);

    window->resize(315, height + 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->height(), height);
}

struct Item {
    QString caption;
    QKeySequence shortcut;
    bool checked;
};

std::vector<Item> itemsOf(QMenu* menu) {
    std::vector<Item> items;
    for (QAction* a : menu->actions()) {
        items.push_back(
            {a->isSeparator() ? QStringLiteral("-") : a->text(), a->shortcut(), a->isChecked()});
    }
    return items;
}

TEST_F(MainWindowTest, TheMenuTreeIsCompleteAndInOrder) {
    QStringList top;
    for (QAction* a : window->menuBar()->actions()) {
        top << a->text();
    }
    EXPECT_EQ(top, (QStringList{"操作", "設定", "ヘルプ"}));

    const auto control = itemsOf(window->controlMenu());
    const std::vector<std::pair<QString, QKeySequence>> expected = {
        {"表示", {}},
        {"非表示", QKeySequence(Qt::CTRL | Qt::Key_H)},
        {"-", {}},
        {"手動実行", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"-", {}},
        {"一時停止", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"監視再開", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"-", {}},
        {"終了", QKeySequence(Qt::CTRL | Qt::Key_F4)},
        {"キャンセル", QKeySequence(Qt::CTRL | Qt::Key_F5)},
    };
    ASSERT_EQ(control.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(control[i].caption, expected[i].first) << i;
        EXPECT_EQ(control[i].shortcut, expected[i].second) << i;
    }
    // Marks at creation: both visibility items and the pause.
    EXPECT_TRUE(control[0].checked);
    EXPECT_TRUE(control[1].checked);
    EXPECT_TRUE(control[5].checked);
    EXPECT_FALSE(control[6].checked);

    QMenu* config = window->menuBar()->actions()[1]->menu();
    QStringList configCaptions;
    for (const Item& item : itemsOf(config)) {
        configCaptions << item.caption;
    }
    EXPECT_EQ(configCaptions,
              (QStringList{"設定保存", "設定読込", "-", "日付履歴コピーモード",
                           "読み取り専用としてコピーする", "-", "コピー後更新日付を指定する"}));
    EXPECT_EQ(config->actions()[0]->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(config->actions()[1]->shortcut(), QKeySequence(Qt::Key_F3));
    QStringList dateCaptions;
    for (const Item& item : itemsOf(window->dateCopyMenu())) {
        dateCaptions << item.caption;
    }
    EXPECT_EQ(dateCaptions,
              (QStringList{"通常", "前日のフォルダを検出時自動的に圧縮する", "-", "解除"}));
    QMenu* help = window->menuBar()->actions()[2]->menu();
    ASSERT_EQ(help->actions().size(), 1);
    EXPECT_EQ(help->actions()[0]->text(), QStringLiteral("バージョン情報"));
}

TEST_F(MainWindowTest, MenuMarksFollowTheModel) {
    startShown();
    QList<QAction*> control = window->controlMenu()->actions();
    EXPECT_TRUE(control[0]->isChecked());
    EXPECT_FALSE(control[1]->isChecked());
    EXPECT_FALSE(control[5]->isChecked()) << "monitoring runs after start-up";

    control[5]->trigger(); // 一時停止
    EXPECT_TRUE(control[5]->isChecked());
    EXPECT_TRUE(window->state().stopTimerChecked());
    EXPECT_FALSE(window->timerInterval().isActive());
    control[5]->trigger(); // pausing twice stays paused
    EXPECT_TRUE(control[5]->isChecked());
    control[6]->trigger(); // 監視再開
    EXPECT_FALSE(control[5]->isChecked());
    EXPECT_TRUE(window->timerInterval().isActive());
    EXPECT_EQ(window->timerInterval().interval(), 1000);

    window->dateCopyMenu()->actions()[0]->trigger(); // 通常
    EXPECT_EQ(window->dateCopyMenu()->title(), QStringLiteral("●日付履歴コピーモード"));
    EXPECT_TRUE(window->dateCopyMenu()->actions()[0]->isChecked());
    window->dateCopyMenu()->actions()[3]->trigger(); // 解除
    EXPECT_EQ(window->dateCopyMenu()->title(), QStringLiteral("日付履歴コピーモード"));

    control[1]->trigger(); // 非表示
    EXPECT_TRUE(window->isMinimized()) << "no notification area here: to the taskbar";
    EXPECT_TRUE(control[1]->isChecked());
    EXPECT_FALSE(control[0]->isChecked());
}

TEST_F(MainWindowTest, ControlsReachTheirHandlers) {
    startShown();
    FormState& state = window->state();
    EXPECT_EQ(window->listTargets()->count(), 2);
    EXPECT_EQ(window->textSaveAt()->text(), QStringLiteral("/backup"));

    QTest::keyClicks(window->textTargetFolder(), "/src/three");
    EXPECT_EQ(state.textTargetFolder(), "/src/three");
    EXPECT_FALSE(state.stopTimerChecked()) << "typing in the staging box does not pause";
    QTest::mouseClick(window->commandAddTarget(), Qt::LeftButton);
    ASSERT_EQ(window->listTargets()->count(), 3);
    EXPECT_EQ(window->listTargets()->item(2)->text(), QStringLiteral("/src/three"));
    EXPECT_TRUE(state.stopTimerChecked());
    EXPECT_TRUE(state.configChanged);

    QTest::keyClick(window->textTargetFolder(), Qt::Key_Return);
    EXPECT_EQ(window->listTargets()->count(), 4) << "Enter adds like ▽";

    TargetList* list = window->listTargets();
    doubleClick(list->viewport(), list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(window->textTargetFolder()->text(), QStringLiteral("/src/one"));
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("/src/two"));
    EXPECT_EQ(state.listIndex(), -1);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(state.listIndex(), 1);
    QTest::mouseClick(window->commandRemoveTarget(), Qt::LeftButton);
    EXPECT_EQ(window->textTargetFolder()->text(), QStringLiteral("/src/three"));
    EXPECT_EQ(list->count(), 2);

    dialog.answers = {"/mnt/usb/file"};
    QTest::mouseClick(window->commandSelectSaveAt(), Qt::LeftButton);
    EXPECT_EQ(window->textSaveAt()->text(), QStringLiteral("/mnt/usb/file"));
    QTest::mouseClick(window->commandSelect(), Qt::LeftButton); // cancelled
    EXPECT_EQ(window->textTargetFolder()->text(), QStringLiteral("/src/three"));
    EXPECT_THAT(dialog.folders, ElementsAre("/backup", "/src/three"));
}

TEST_F(MainWindowTest, LeavingTheBoxesNormalisesThem) {
    startShown();
    window->core().ReleaseTimer_Click();
    QLineEdit* saveAt = window->textSaveAt();
    saveAt->setFocus();
    saveAt->clear();
    QTest::keyClicks(saveAt, "/data//");
    window->textInterval()->setFocus(Qt::TabFocusReason);
    saveAt->clearFocus();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(saveAt, &out);
    EXPECT_EQ(saveAt->text(), QStringLiteral("/data"));

    QLineEdit* interval = window->textInterval();
    interval->clear();
    QTest::keyClicks(interval, "0060000");
    QFocusEvent intervalOut(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(interval, &intervalOut);
    EXPECT_EQ(interval->text(), QStringLiteral("60000"));

    // Opening a menu takes the focus without leaving the box.
    QTest::keyClicks(saveAt, "/");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(saveAt, &popup);
    EXPECT_EQ(saveAt->text(), QStringLiteral("/data/"));
}

TEST_F(MainWindowTest, DropsTakeFileListsAndIgnoreText) {
    startShown();
    FormState& state = window->state();
    auto* text = new QMimeData;
    text->setText(QStringLiteral("/not/a/file/list"));
    drop(window->listTargets()->viewport(), text);
    auto* text2 = new QMimeData;
    text2->setText(QStringLiteral("/not/a/file/list"));
    drop(window->textSaveAt(), text2);
    auto* web = new QMimeData;
    web->setUrls({QUrl(QStringLiteral("https://example.org/x"))});
    drop(window->textTargetFolder(), web);
    EXPECT_EQ(window->listTargets()->count(), 2);
    EXPECT_EQ(state.textSaveAt(), "/backup");
    EXPECT_EQ(state.textTargetFolder(), "");
    EXPECT_FALSE(state.stopTimerChecked());

    QMimeData* three = fileList({"/d/one", "/d/two", "/d/three"});
    drop(window->listTargets()->viewport(), three);
    EXPECT_THAT(state.listTargets(),
                ElementsAre("/src/one", "/src/two", "/d/one", "/d/two", "/d/three"));
    EXPECT_EQ(window->textTargetFolder()->text(), QStringLiteral("/d/three"));

    QMimeData* two = fileList({"/e/one", "/e/two"});
    drop(window->textSaveAt(), two);
    EXPECT_EQ(window->textSaveAt()->text(), QStringLiteral("/e/two"));
    delete text;
    delete text2;
    delete web;
    delete three;
    delete two;
}

TEST_F(MainWindowTest, TooltipsFollowTheTextsAndTheSelection) {
    startShown();
    EXPECT_EQ(window->textInterval()->toolTip(), QStringLiteral("監視時間間隔をミリ秒で指定"));
    EXPECT_EQ(window->commandAddTarget()->toolTip(), QStringLiteral("リストに追加"));
    EXPECT_EQ(window->commandRemoveTarget()->toolTip(), QStringLiteral("リストから削除・編集"));

    moveOver(window->textTargetFolder());
    EXPECT_EQ(window->textTargetFolder()->toolTip(),
              QStringLiteral("バックアップしたいファイルまたはフォルダを指定"));
    moveOver(window->textSaveAt());
    EXPECT_EQ(window->textSaveAt()->toolTip(), QStringLiteral("/backup"));
    moveOver(window->listTargets()->viewport());
    EXPECT_EQ(window->listTargets()->toolTip(),
              QStringLiteral("このリストに登録されたファイル・フォルダがコピーされます"));
    window->listTargets()->setCurrentRow(1);
    moveOver(window->listTargets()->viewport());
    EXPECT_EQ(window->listTargets()->toolTip(), QStringLiteral("/src/two"));
}

TEST_F(MainWindowTest, OnlyTheContextActivationOpensTheControlMenu) {
    startShown();
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick,
                        QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown}) {
        window->trayActivated(reason);
        EXPECT_FALSE(window->controlMenu()->isVisible()) << reason;
    }
    window->trayActivated(QSystemTrayIcon::Context);
    EXPECT_TRUE(window->controlMenu()->isVisible());
    window->controlMenu()->hide();
    EXPECT_EQ(window->trayIcon().toolTip(), QStringLiteral("Tolvane"));
}

TEST_F(MainWindowTest, WithoutANotificationAreaTheWindowStartsShown) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the offscreen platform has none";
    window->startUp();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->state().visibleTrueChecked());
    EXPECT_FALSE(window->state().visibleFalseChecked());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tolvane：待機中   残り待ち時間59秒"));
    EXPECT_TRUE(window->timerInterval().isActive());
}

TEST_F(MainWindowTest, TheCloseBoxOnlyHides) {
    startShown();
    ASSERT_TRUE(window->isVisible());
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->state().visibleFalseChecked());
    EXPECT_FALSE(shell.ended);
    EXPECT_TRUE(shell.messages.empty());

    // Brought back from the taskbar, the marks follow.
    window->showNormal();
    EXPECT_TRUE(window->state().windowVisible());
    EXPECT_TRUE(window->state().visibleTrueChecked());
    EXPECT_FALSE(window->state().visibleFalseChecked());
}

TEST_F(MainWindowTest, ARunDisablesTheInputsAndTheTimer) {
    startShown();
    window->core().engine().ItemEnable(false);
    EXPECT_FALSE(window->listTargets()->isEnabled());
    EXPECT_FALSE(window->textInterval()->isEnabled());
    EXPECT_FALSE(window->commandSelect()->isEnabled());
    EXPECT_FALSE(window->timerInterval().isActive());
    EXPECT_TRUE(window->controlMenu()->isEnabled());
    window->core().engine().ItemEnable(true);
    EXPECT_TRUE(window->textSaveAt()->isEnabled());
    EXPECT_TRUE(window->timerInterval().isActive());
}

TEST_F(MainWindowTest, TheDateDialogNormalisesAsTyped) {
    startShown();
    FormDate& date = window->formDate();
    EXPECT_FALSE(date.isVisible());
    window->core().setCopyDate_Click();
    ASSERT_TRUE(date.isVisible());
    EXPECT_EQ(date.size(), QSize(404, 46));
    EXPECT_FALSE(date.textDate(0)->isEnabled());

    QTest::mouseClick(date.checkKakunin(), Qt::LeftButton);
    EXPECT_EQ(window->state().checkKakunin(), 0);
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(date.textDate(i)->isEnabled()) << i;
        EXPECT_TRUE(date.unitLabels()[static_cast<std::size_t>(i)]->isEnabled()) << i;
    }
    EXPECT_TRUE(date.labelTimeStamp()->isEnabled());

    QTest::keyClicks(date.textDate(0), "2024");
    EXPECT_EQ(date.textDate(0)->text(), QStringLiteral("2024"));
    QTest::keyClicks(date.textDate(1), "09");
    EXPECT_EQ(date.textDate(1)->text(), QStringLiteral("9"));
    EXPECT_EQ(date.textDate(1)->cursorPosition(), 1);
    QTest::keyClicks(date.textDate(2), "1.");
    EXPECT_EQ(date.textDate(2)->text(), QStringLiteral("1"));
    QTest::keyClicks(date.textDate(3), "7x");
    EXPECT_EQ(date.textDate(3)->text(), QStringLiteral("7"));
    date.textDate(0)->selectAll();
    QTest::keyClick(date.textDate(0), Qt::Key_Backspace);
    EXPECT_EQ(date.textDate(0)->text(), QStringLiteral("0"));
    EXPECT_EQ(window->state().textDate(1), "9");

    QTest::mouseClick(date.commandOK(), Qt::LeftButton);
    EXPECT_FALSE(date.isVisible());
    window->core().setCopyDate_Click();
    EXPECT_EQ(date.textDate(1)->text(), QStringLiteral("9")) << "OK keeps the values";

    date.close();
    EXPECT_FALSE(date.isVisible());
    EXPECT_EQ(window->state().checkKakunin(), 1);
    EXPECT_EQ(window->state().textDate(1), "");
    window->core().setCopyDate_Click();
    EXPECT_TRUE(date.checkKakunin()->isChecked());
    EXPECT_EQ(date.textDate(1)->text(), QString());
    EXPECT_FALSE(date.textDate(1)->isEnabled());
}

TEST_F(MainWindowTest, TheVersionCommandShowsTheOneAboutBox) {
    startShown();
    auto openBoxes = [] {
        std::vector<frmAbout*> boxes;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<frmAbout*>(w); box != nullptr && box->isVisible()) {
                boxes.push_back(box);
            }
        }
        return boxes;
    };
    QAction* version = window->menuBar()->actions()[2]->menu()->actions()[0];
    version->trigger();
    ASSERT_EQ(openBoxes().size(), 1u);
    frmAbout* first = openBoxes()[0];
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(first->parentWidget(), nullptr);

    version->trigger();
    ASSERT_EQ(openBoxes().size(), 1u) << "a second choice brings the open box forward";
    EXPECT_EQ(openBoxes()[0], first);

    // Closed, it is gone; the next choice loads it afresh.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openBoxes().empty());
    version->trigger();
    ASSERT_EQ(openBoxes().size(), 1u);
    // Escape closes it too: the next showing starts without the picture.
    openBoxes()[0]->lblTitle_MouseMove(Qt::ShiftModifier);
    openBoxes()[0]->lblTitle_DblClick();
    QTest::keyClick(openBoxes()[0], Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openBoxes().empty());
    version->trigger();
    ASSERT_EQ(openBoxes().size(), 1u);
    EXPECT_TRUE(openBoxes()[0]->picIcon()->isHidden());
    openBoxes()[0]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(MainWindowTest, TheDateDialogKeepsItsDesignedPlaces) {
    FormDate& date = window->formDate();
    EXPECT_EQ(date.labelTimeStamp()->geometry(), QRect(32, 8, 57, 17));
    EXPECT_EQ(date.textDate(0)->geometry(), QRect(96, 0, 33, 21));
    EXPECT_EQ(date.textDate(5)->geometry(), QRect(340, 0, 29, 21));
    EXPECT_EQ(date.checkKakunin()->geometry(), QRect(56, 24, 161, 17));
    EXPECT_EQ(date.commandOK()->geometry(), QRect(296, 24, 81, 20));
}

TEST(FileDialogFilter, AllFilesBecomesQtsPattern) {
    EXPECT_EQ(qtFilterOf("すべてのファイル|*.*"), QStringLiteral("すべてのファイル (*)"));
    EXPECT_EQ(qtFilterOf("テキスト|*.txt;*.log|すべて|*.*"),
              QStringLiteral("テキスト (*.txt *.log);;すべて (*)"));
}

} // namespace
} // namespace tolvane::gui
