#include "gui/about_box.h"
#include "gui/qt_test_app.h" // the shared QApplication

#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace tolvane::gui {
namespace {

void moveOver(QWidget* widget, Qt::KeyboardModifiers modifiers) {
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                     Qt::NoButton, Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(widget, &move);
}

void doubleClick(QWidget* widget) {
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2),
                      widget->mapToGlobal(QPointF(2, 2)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &click);
}

void click(QWidget* widget) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

TEST(AboutBox, ShowsTheCaptionsOfThisVersion) {
    testing::qtApp();
    frmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Tolvaneのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(about.lblVersion()->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.1.6"));
    EXPECT_EQ(about.lblTitle()->text(), QStringLiteral("Tolvane"));
    EXPECT_EQ(about.labelTitle()->text(), QStringLiteral("【　Tolvane　】"));
    EXPECT_EQ(about.cmdOK()->text(), QStringLiteral("OK"));
    EXPECT_EQ(about.cmdSysInfo()->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    EXPECT_TRUE(about.picIcon()->isHidden());
    EXPECT_TRUE(about.labelTitle()->isHidden());
    EXPECT_EQ(about.picIcon()->pixmap().size(), QSize(400, 100));
}

TEST(AboutBox, ThePictureNeedsShiftAloneDuringTheLastMove) {
    testing::qtApp();
    frmAbout about;
    about.show();
    QWidget* title = about.lblTitle();

    moveOver(title, Qt::NoModifier);
    doubleClick(title);
    EXPECT_TRUE(about.picIcon()->isHidden());

    moveOver(title, Qt::ShiftModifier | Qt::ControlModifier);
    doubleClick(title);
    EXPECT_TRUE(about.picIcon()->isHidden()) << "Shift with Ctrl does not arm";

    moveOver(title, Qt::ShiftModifier);
    moveOver(title, Qt::NoModifier);
    doubleClick(title);
    EXPECT_TRUE(about.picIcon()->isHidden()) << "the last move decides";

    moveOver(title, Qt::ShiftModifier);
    doubleClick(title);
    EXPECT_FALSE(about.picIcon()->isHidden());
    EXPECT_FALSE(about.labelTitle()->isHidden());
    EXPECT_EQ(about.picIcon()->pos(), QPoint(0, 39));
    EXPECT_FALSE(frmAbout::pictureArmed()) << "one showing per arming";

    click(about.picIcon());
    EXPECT_TRUE(about.picIcon()->isHidden());
    EXPECT_TRUE(about.labelTitle()->isHidden());
}

TEST(AboutBox, ArmingOutlivesTheWindow) {
    testing::qtApp();
    {
        frmAbout first;
        moveOver(first.lblTitle(), Qt::ShiftModifier);
    }
    frmAbout second;
    EXPECT_TRUE(frmAbout::pictureArmed());
    EXPECT_TRUE(second.picIcon()->isHidden()) << "a fresh box starts without the picture";
    second.lblTitle_DblClick();
    EXPECT_FALSE(second.picIcon()->isHidden());
}

TEST(AboutBox, WithoutASystemInformationProgramItSaysSo) {
    testing::qtApp();
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", "/nonexistent-folder");
    frmAbout about;
    QString shown;
    QString title;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        title = box->windowTitle();
        icon = box->icon();
        box->accept();
    });
    about.cmdSysInfo()->click();
    qputenv("PATH", savedPath);
    EXPECT_EQ(shown, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
    EXPECT_EQ(title, QStringLiteral("Tolvane"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
}

} // namespace
} // namespace tolvane::gui
