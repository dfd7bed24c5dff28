#include "gui/qt_shell.h"
#include "widget_testing.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

namespace tolvane::gui {
namespace {

// Answers the message box that is about to open with `button`, or closes it
// with Escape when button is NoButton, and records what it showed.
struct BoxAnswer {
    void arm(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            captions.clear();
            for (QAbstractButton* shown : box->buttons()) {
                captions.push_back(shown->text());
            }
            if (button == QMessageBox::NoButton) {
                box->reject();
            } else {
                box->button(button)->click();
            }
        });
    }
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QStringList captions;
};

TEST(QtShell, MessageBoxesCarryTheTitleButtonsAndIcon) {
    testing::qtApp();
    QtShell shell;
    BoxAnswer answer;

    answer.arm(QMessageBox::Ok);
    EXPECT_EQ(shell.message("一行目\r\n二行目", MessageStyle::Ok), Button::Ok);
    EXPECT_EQ(answer.title, QStringLiteral("Tolvane"));
    EXPECT_EQ(answer.text, QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(answer.icon, QMessageBox::NoIcon);
    EXPECT_EQ(answer.buttons, QMessageBox::Ok);

    answer.arm(QMessageBox::Ok);
    shell.message("x", MessageStyle::OkExclamation);
    EXPECT_EQ(answer.icon, QMessageBox::Warning);

    answer.arm(QMessageBox::No);
    EXPECT_EQ(shell.message("q", MessageStyle::YesNoCancel), Button::No);
    EXPECT_EQ(answer.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(answer.captions.contains(QStringLiteral("はい(&Y)")));
    EXPECT_TRUE(answer.captions.contains(QStringLiteral("いいえ(&N)")));
    EXPECT_TRUE(answer.captions.contains(QStringLiteral("キャンセル")));
    EXPECT_EQ(answer.icon, QMessageBox::NoIcon);
    answer.arm(QMessageBox::Yes);
    EXPECT_EQ(shell.message("q", MessageStyle::YesNoCancel), Button::Yes);
    answer.arm(QMessageBox::NoButton);
    EXPECT_EQ(shell.message("q", MessageStyle::YesNoCancel), Button::Cancel)
        << "a box closed otherwise counts as Cancel";

    answer.arm(QMessageBox::No);
    EXPECT_EQ(shell.message("q", MessageStyle::YesNo), Button::No);
    EXPECT_EQ(answer.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(answer.captions.size(), 2);
    EXPECT_TRUE(answer.captions.contains(QStringLiteral("はい(&Y)")));
    EXPECT_TRUE(answer.captions.contains(QStringLiteral("いいえ(&N)")));
    EXPECT_EQ(answer.icon, QMessageBox::NoIcon);
    answer.arm(QMessageBox::Yes);
    EXPECT_EQ(shell.message("q", MessageStyle::YesNo), Button::Yes);
    answer.arm(QMessageBox::NoButton);
    EXPECT_EQ(shell.message("q", MessageStyle::YesNo), Button::No)
        << "a Yes/No box closed otherwise counts as No";
}

TEST(QtShell, ARunReportWaitsForNobodyAndALaterOneTakesItsPlace) {
    testing::qtApp();
    QtShell shell;

    shell.reportRunFailures("一回目\r\nA");
    QMessageBox* box = shell.runReportBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Tolvane"));

    shell.reportRunFailures("二回目");
    EXPECT_EQ(shell.runReportBox(), box);
    EXPECT_EQ(box->text(), QStringLiteral("二回目"));
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        open += qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(open, 1);

    // Closed by the user, the next report opens a new box.
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shell.runReportBox(), nullptr);
    shell.reportRunFailures("三回目");
    ASSERT_NE(shell.runReportBox(), nullptr);
    EXPECT_EQ(shell.runReportBox()->text(), QStringLiteral("三回目"));
    shell.runReportBox()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(QtShell, ServingEventsIsRateLimited) {
    testing::qtApp();
    QtShell shell;
    int delivered = 0;
    QObject receiver;
    const auto post = [&] {
        QMetaObject::invokeMethod(
            &receiver, [&] { ++delivered; }, Qt::QueuedConnection);
    };

    post();
    shell.serveEvents();
    EXPECT_EQ(delivered, 1);

    post();
    shell.serveEvents(); // right after the last look: skipped
    EXPECT_EQ(delivered, 1);

    std::this_thread::sleep_for(QtShell::kServeInterval + std::chrono::milliseconds(2));
    shell.serveEvents();
    EXPECT_EQ(delivered, 2);
}

} // namespace
} // namespace tolvane::gui
