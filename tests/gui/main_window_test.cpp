#include "gui/about_box.h"
#include "gui/copy_date_window.h"
#include "gui/drop_line_edit.h"
#include "gui/main_window.h"
#include "gui/qt_file_dialog.h"
#include "gui/target_list.h"
#include "state/form_state.h"
#include "support/fake_shell.h"
#include "support/files.h"
#include "support/scripted_file_dialog.h"
#include "support/temp_dir.h"
#include "widget_testing.h"

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
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tolvane::gui {
namespace {

using testing::child;
using testing::doubleClick;
using ::testing::ElementsAre;
using testing::moveOver;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        testing::qtApp();
        testing::writeFile(home / "Tolvane.dat", "/src/one\r\n/src/two\r\n");
        testing::writeFile(home / "Tolvane.Ini",
                           "[Tolvane]\r\nInterval=60000\r\nSaveAt=/backup\r\n");
        window = std::make_unique<MainWindow>(shell, dialog, home.str(), "Tolvane");
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

    static QMimeData* fileList(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths) {
            urls << QUrl::fromLocalFile(p);
        }
        data->setUrls(urls);
        return data;
    }

    template <typename Child> Child* control(const char* name) {
        return child<Child>(window.get(), QString::fromUtf8(name));
    }

    testing::TempDir home;
    testing::FakeShell shell;
    testing::ScriptedFileDialog dialog;
    std::unique_ptr<MainWindow> window;
    // The controls, found by their designed names.
    QGroupBox* frame() { return control<QGroupBox>("Frame"); }
    DropLineEdit* textInterval() { return control<DropLineEdit>("TextInterval"); }
    DropLineEdit* textTargetFolder() { return control<DropLineEdit>("TextTargetFolder"); }
    DropLineEdit* textSaveAt() { return control<DropLineEdit>("TextSaveAt"); }
    QLabel* labelInterval() { return control<QLabel>("LabelInterval"); }
    QLabel* labelTargetFolder() { return control<QLabel>("LabelTargetFolder"); }
    QLabel* labelSaveAt() { return control<QLabel>("LabelSaveAt"); }
    QPushButton* commandSelect() { return control<QPushButton>("CommandSelect"); }
    QPushButton* commandSelectSaveAt() { return control<QPushButton>("CommandSelectSaveAt"); }
    TargetList* listTargets() { return control<TargetList>("ListTargets"); }
    QPushButton* commandAddTarget() { return control<QPushButton>("CommandAddTarget"); }
    QPushButton* commandRemoveTarget() { return control<QPushButton>("CommandRemoveTarget"); }
    QMenu* controlMenu() { return control<QMenu>("Control"); }
    QMenu* dateCopyMenu() { return control<QMenu>("DateCopy"); }
    QTimer* timerInterval() { return control<QTimer>("TimerInterval"); }
    QSystemTrayIcon* trayIcon() { return control<QSystemTrayIcon>("Tray"); }
};

// The copy-date dialog's controls, found by their designed names.
struct DateControls {
    CopyDateWindow& window = *testing::topLevel<CopyDateWindow>();
    QLineEdit* textDate(int i) const {
        return child<QLineEdit>(&window, QStringLiteral("TextDate%1").arg(i));
    }
    QLabel* unitLabel(int i) const {
        return child<QLabel>(&window, QStringLiteral("LabelUnit%1").arg(i));
    }
    QCheckBox* keepDatesBox() const { return child<QCheckBox>(&window, "CheckKakunin"); }
    QPushButton* commandOK() const { return child<QPushButton>(&window, "CommandOK"); }
    QLabel* labelTimeStamp() const { return child<QLabel>(&window, "LabelTimeStamp"); }
};

TEST_F(MainWindowTest, GeometryAtCreationFollowsTheDesignInPixels) {
    startShown();
    // The design is 4695 twips wide; the resize rule widens it to 4815.
    EXPECT_EQ(window->width(), 315);
    EXPECT_EQ(window->centralWidget()->height(), 354);
    EXPECT_EQ(frame()->geometry(), QRect(8, 0, 299, 345));
    EXPECT_EQ(textInterval()->geometry(), QRect(8, 312, 283, 18));
    EXPECT_EQ(textTargetFolder()->geometry(), QRect(32, 32, 259, 18));
    EXPECT_EQ(textSaveAt()->geometry(), QRect(32, 264, 259, 18));
    EXPECT_EQ(listTargets()->geometry(), QRect(8, 80, 283, 160));
    EXPECT_EQ(commandAddTarget()->geometry(), QRect(80, 56, 49, 17));
    EXPECT_EQ(commandRemoveTarget()->geometry(), QRect(170, 56, 49, 17));
    EXPECT_EQ(commandSelect()->geometry(), QRect(8, 32, 25, 17));
    EXPECT_EQ(commandSelectSaveAt()->geometry(), QRect(8, 264, 25, 17));
    EXPECT_EQ(labelTargetFolder()->pos(), QPoint(8, 16));
    EXPECT_EQ(labelSaveAt()->pos(), QPoint(8, 248));
    EXPECT_EQ(labelInterval()->pos(), QPoint(8, 296));
    EXPECT_EQ(labelInterval()->text(),
              QStringLiteral("SeekInterval　(ms)      Max : 2147483647ms"));
}

TEST_F(MainWindowTest, ResizingWidensFreelyButNeverNarrowsOrChangesHeight) {
    startShown();
    const int height = window->height();

    window->resize(415, height);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->width(), 415);
    EXPECT_EQ(frame()->width(), 399);
    EXPECT_EQ(textTargetFolder()->width(), 359);
    EXPECT_EQ(listTargets()->width(), 383);
    EXPECT_EQ(textInterval()->width(), 383);
    EXPECT_EQ(commandRemoveTarget()->x(), 270);
    EXPECT_EQ(commandAddTarget()->x(), 80) << "▽ stays";

    window->resize(200, height);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->width(), 315);
    EXPECT_EQ(frame()->width(), 299);

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

    const auto control = itemsOf(controlMenu());
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
        SCOPED_TRACE(expected[i].first.toStdString());
        EXPECT_EQ(control[i].caption, expected[i].first);
        EXPECT_EQ(control[i].shortcut, expected[i].second);
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
    for (const Item& item : itemsOf(dateCopyMenu())) {
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
    QList<QAction*> control = controlMenu()->actions();
    EXPECT_TRUE(control[0]->isChecked());
    EXPECT_FALSE(control[1]->isChecked());
    EXPECT_FALSE(control[5]->isChecked()) << "monitoring runs after start-up";

    control[5]->trigger(); // 一時停止
    EXPECT_TRUE(control[5]->isChecked());
    EXPECT_TRUE(window->state().stopTimerChecked());
    EXPECT_FALSE(timerInterval()->isActive());
    control[5]->trigger(); // pausing twice stays paused
    EXPECT_TRUE(control[5]->isChecked());
    control[6]->trigger(); // 監視再開
    EXPECT_FALSE(control[5]->isChecked());
    EXPECT_TRUE(timerInterval()->isActive());
    EXPECT_EQ(timerInterval()->interval(), 1000);

    dateCopyMenu()->actions()[0]->trigger(); // 通常
    EXPECT_EQ(dateCopyMenu()->title(), QStringLiteral("●日付履歴コピーモード"));
    EXPECT_TRUE(dateCopyMenu()->actions()[0]->isChecked());
    dateCopyMenu()->actions()[3]->trigger(); // 解除
    EXPECT_EQ(dateCopyMenu()->title(), QStringLiteral("日付履歴コピーモード"));

    control[1]->trigger(); // 非表示
    EXPECT_TRUE(window->isMinimized()) << "no notification area here: to the taskbar";
    EXPECT_TRUE(control[1]->isChecked());
    EXPECT_FALSE(control[0]->isChecked());
}

TEST_F(MainWindowTest, ControlsReachTheirHandlers) {
    startShown();
    FormState& state = window->state();
    EXPECT_EQ(listTargets()->count(), 2);
    EXPECT_EQ(textSaveAt()->text(), QStringLiteral("/backup"));

    QTest::keyClicks(textTargetFolder(), "/src/three");
    EXPECT_EQ(state.textTargetFolder(), "/src/three");
    EXPECT_FALSE(state.stopTimerChecked()) << "typing in the staging box does not pause";
    QTest::mouseClick(commandAddTarget(), Qt::LeftButton);
    ASSERT_EQ(listTargets()->count(), 3);
    EXPECT_EQ(listTargets()->item(2)->text(), QStringLiteral("/src/three"));
    EXPECT_TRUE(state.stopTimerChecked());
    EXPECT_TRUE(state.configChanged);

    QTest::keyClick(textTargetFolder(), Qt::Key_Return);
    EXPECT_EQ(listTargets()->count(), 4) << "Enter adds like ▽";

    TargetList* list = listTargets();
    doubleClick(list->viewport(), list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(textTargetFolder()->text(), QStringLiteral("/src/one"));
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("/src/two"));
    EXPECT_EQ(state.listIndex(), -1);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(state.listIndex(), 1);
    QTest::mouseClick(commandRemoveTarget(), Qt::LeftButton);
    EXPECT_EQ(textTargetFolder()->text(), QStringLiteral("/src/three"));
    EXPECT_EQ(list->count(), 2);

    dialog.answers = {"/mnt/usb/file"};
    QTest::mouseClick(commandSelectSaveAt(), Qt::LeftButton);
    EXPECT_EQ(textSaveAt()->text(), QStringLiteral("/mnt/usb/file"));
    QTest::mouseClick(commandSelect(), Qt::LeftButton); // cancelled
    EXPECT_EQ(textTargetFolder()->text(), QStringLiteral("/src/three"));
    EXPECT_THAT(dialog.initialFolders(), ElementsAre("/backup", "/src/three"));
}

TEST_F(MainWindowTest, LeavingTheBoxesNormalisesThem) {
    startShown();
    window->core().ReleaseTimer_Click();
    QLineEdit* saveAt = textSaveAt();
    saveAt->setFocus();
    saveAt->clear();
    QTest::keyClicks(saveAt, "/data//");
    textInterval()->setFocus(Qt::TabFocusReason);
    saveAt->clearFocus();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(saveAt, &out);
    EXPECT_EQ(saveAt->text(), QStringLiteral("/data"));

    QLineEdit* interval = textInterval();
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
    drop(listTargets()->viewport(), text);
    auto* text2 = new QMimeData;
    text2->setText(QStringLiteral("/not/a/file/list"));
    drop(textSaveAt(), text2);
    auto* web = new QMimeData;
    web->setUrls({QUrl(QStringLiteral("https://example.org/x"))});
    drop(textTargetFolder(), web);
    EXPECT_EQ(listTargets()->count(), 2);
    EXPECT_EQ(state.textSaveAt(), "/backup");
    EXPECT_EQ(state.textTargetFolder(), "");
    EXPECT_FALSE(state.stopTimerChecked());

    QMimeData* three = fileList({"/d/one", "/d/two", "/d/three"});
    drop(listTargets()->viewport(), three);
    EXPECT_THAT(state.listTargets(),
                ElementsAre("/src/one", "/src/two", "/d/one", "/d/two", "/d/three"));
    EXPECT_EQ(textTargetFolder()->text(), QStringLiteral("/d/three"));

    QMimeData* two = fileList({"/e/one", "/e/two"});
    drop(textSaveAt(), two);
    EXPECT_EQ(textSaveAt()->text(), QStringLiteral("/e/two"));
    delete text;
    delete text2;
    delete web;
    delete three;
    delete two;
}

TEST_F(MainWindowTest, TooltipsFollowTheTextsAndTheSelection) {
    startShown();
    EXPECT_EQ(textInterval()->toolTip(), QStringLiteral("監視時間間隔をミリ秒で指定"));
    EXPECT_EQ(commandAddTarget()->toolTip(), QStringLiteral("リストに追加"));
    EXPECT_EQ(commandRemoveTarget()->toolTip(), QStringLiteral("リストから削除・編集"));

    moveOver(textTargetFolder());
    EXPECT_EQ(textTargetFolder()->toolTip(),
              QStringLiteral("バックアップしたいファイルまたはフォルダを指定"));
    moveOver(textSaveAt());
    EXPECT_EQ(textSaveAt()->toolTip(), QStringLiteral("/backup"));
    moveOver(listTargets()->viewport());
    EXPECT_EQ(listTargets()->toolTip(),
              QStringLiteral("このリストに登録されたファイル・フォルダがコピーされます"));
    listTargets()->setCurrentRow(1);
    moveOver(listTargets()->viewport());
    EXPECT_EQ(listTargets()->toolTip(), QStringLiteral("/src/two"));
}

TEST_F(MainWindowTest, OnlyTheContextActivationOpensTheControlMenu) {
    startShown();
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick,
                        QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown}) {
        window->trayActivated(reason);
        EXPECT_FALSE(controlMenu()->isVisible()) << reason;
    }
    window->trayActivated(QSystemTrayIcon::Context);
    EXPECT_TRUE(controlMenu()->isVisible());
    controlMenu()->hide();
    EXPECT_EQ(trayIcon()->toolTip(), QStringLiteral("Tolvane"));
    // The same menu goes with the icon to desktops that show it themselves.
    EXPECT_EQ(trayIcon()->contextMenu(), controlMenu());
}

TEST_F(MainWindowTest, WithoutANotificationAreaTheWindowStartsShown) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the offscreen platform has none";
    window->startUp();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->state().visibleTrueChecked());
    EXPECT_FALSE(window->state().visibleFalseChecked());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tolvane：待機中   残り待ち時間59秒"));
    EXPECT_TRUE(timerInterval()->isActive());
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
    window->core().engine().setControlsEnabled(false);
    EXPECT_FALSE(listTargets()->isEnabled());
    EXPECT_FALSE(textInterval()->isEnabled());
    EXPECT_FALSE(commandSelect()->isEnabled());
    EXPECT_FALSE(timerInterval()->isActive());
    EXPECT_TRUE(controlMenu()->isEnabled());
    window->core().engine().setControlsEnabled(true);
    EXPECT_TRUE(textSaveAt()->isEnabled());
    EXPECT_TRUE(timerInterval()->isActive());
}

TEST_F(MainWindowTest, TheDateDialogNormalisesAsTyped) {
    startShown();
    const DateControls date;
    EXPECT_FALSE(date.window.isVisible());
    window->core().setCopyDate_Click();
    ASSERT_TRUE(date.window.isVisible());
    EXPECT_EQ(date.window.size(), QSize(404, 46));
    EXPECT_FALSE(date.textDate(0)->isEnabled());

    QTest::mouseClick(date.keepDatesBox(), Qt::LeftButton);
    EXPECT_FALSE(window->state().keepCopyDates());
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(date.textDate(i)->isEnabled());
        EXPECT_TRUE(date.unitLabel(i)->isEnabled());
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
    EXPECT_FALSE(date.window.isVisible());
    window->core().setCopyDate_Click();
    EXPECT_EQ(date.textDate(1)->text(), QStringLiteral("9")) << "OK keeps the values";

    date.window.close();
    EXPECT_FALSE(date.window.isVisible());
    EXPECT_TRUE(window->state().keepCopyDates());
    EXPECT_EQ(window->state().textDate(1), "");
    window->core().setCopyDate_Click();
    EXPECT_TRUE(date.keepDatesBox()->isChecked());
    EXPECT_EQ(date.textDate(1)->text(), QString());
    EXPECT_FALSE(date.textDate(1)->isEnabled());
}

TEST_F(MainWindowTest, TheVersionCommandShowsTheOneAboutBox) {
    startShown();
    auto openBoxes = [] {
        std::vector<AboutBox*> boxes;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<AboutBox*>(w); box != nullptr && box->isVisible()) {
                boxes.push_back(box);
            }
        }
        return boxes;
    };
    QAction* version = window->menuBar()->actions()[2]->menu()->actions()[0];
    version->trigger();
    ASSERT_EQ(openBoxes().size(), 1u);
    AboutBox* first = openBoxes()[0];
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
    QLabel* title = child<QLabel>(openBoxes()[0], "lblTitle");
    moveOver(title, Qt::ShiftModifier);
    doubleClick(title);
    ASSERT_FALSE(child<QLabel>(openBoxes()[0], "picIcon")->isHidden());
    QTest::keyClick(openBoxes()[0], Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openBoxes().empty());
    version->trigger();
    ASSERT_EQ(openBoxes().size(), 1u);
    EXPECT_TRUE(child<QLabel>(openBoxes()[0], "picIcon")->isHidden());
    openBoxes()[0]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(MainWindowTest, TheDateDialogKeepsItsDesignedPlaces) {
    const DateControls date;
    EXPECT_EQ(date.labelTimeStamp()->geometry(), QRect(32, 8, 57, 17));
    EXPECT_EQ(date.textDate(0)->geometry(), QRect(96, 0, 33, 21));
    EXPECT_EQ(date.textDate(5)->geometry(), QRect(340, 0, 29, 21));
    EXPECT_EQ(date.keepDatesBox()->geometry(), QRect(56, 24, 161, 17));
    EXPECT_EQ(date.commandOK()->geometry(), QRect(296, 24, 81, 20));
    // 60 twips below the dialog's top, to the right of each field, 180 wide;
    // 210 high rather than 180, the least that our fonts' glyphs fit.
    const int unitLefts[] = {132, 180, 228, 276, 324, 372};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(date.unitLabel(i)->geometry(), QRect(unitLefts[i], 4, 12, 14));
    }
}

// Ink a label draws, summed over its pixels: darker is more.
double inkOf(QWidget* label) {
    const QImage image = label->grab().toImage();
    const QColor background = label->palette().color(label->backgroundRole());
    double ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += std::abs(qGray(image.pixel(x, y)) - qGray(background.rgb()));
        }
    }
    return ink;
}

TEST_F(MainWindowTest, TheDateDialogsUnitLabelsShowTheirWholeGlyphs) {
    const DateControls date;
    for (int i = 0; i < 6; ++i) {
        QLabel* unit = date.unitLabel(i);
        SCOPED_TRACE(unit->text().toStdString());
        // The same label, larger: the glyph lands on the same pixels, only
        // shifted, and nothing of it is cut off.
        QLabel unclipped(unit->text());
        unclipped.setFont(unit->font());
        unclipped.setAlignment(unit->alignment());
        unclipped.setEnabled(unit->isEnabled());
        unclipped.resize(unit->size() + QSize(20, 20));
        const double whole = inkOf(&unclipped);
        EXPECT_EQ(inkOf(unit), whole);
    }
}

TEST(FileDialogFilter, AllFilesBecomesQtsPattern) {
    EXPECT_EQ(qtFilterOf("すべてのファイル|*.*"), QStringLiteral("すべてのファイル (*)"));
    EXPECT_EQ(qtFilterOf("テキスト|*.txt;*.log|すべて|*.*"),
              QStringLiteral("テキスト (*.txt *.log);;すべて (*)"));
}

} // namespace
} // namespace tolvane::gui
