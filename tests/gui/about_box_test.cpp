#include "gui/about_box.h"
#include "widget_testing.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace tolvane::gui {
namespace {

using testing::child;
using testing::click;
using testing::doubleClick;
using testing::moveOver;

QLabel* label(const AboutBox& about, const char* name) {
    return child<QLabel>(&about, QString::fromUtf8(name));
}

TEST(AboutBox, ShowsTheCaptionsOfThisVersion) {
    testing::qtApp();
    AboutBox about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Tolvaneのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(label(about, "lblVersion")->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.1.6"));
    EXPECT_EQ(label(about, "lblTitle")->text(), QStringLiteral("Tolvane"));
    EXPECT_EQ(label(about, "LabelTitle")->text(), QStringLiteral("【　Tolvane　】"));
    EXPECT_EQ(child<QPushButton>(&about, "cmdOK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(child<QPushButton>(&about, "cmdSysInfo")->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    EXPECT_TRUE(label(about, "picIcon")->isHidden());
    EXPECT_TRUE(label(about, "LabelTitle")->isHidden());
    EXPECT_EQ(label(about, "picIcon")->pixmap().size(), QSize(400, 100));
}

TEST(AboutBox, ThePictureNeedsShiftAloneDuringTheLastMove) {
    testing::qtApp();
    AboutBox about;
    about.show();
    QLabel* title = label(about, "lblTitle");
    QLabel* picture = label(about, "picIcon");

    moveOver(title, Qt::NoModifier);
    doubleClick(title);
    EXPECT_TRUE(picture->isHidden());

    moveOver(title, Qt::ShiftModifier | Qt::ControlModifier);
    doubleClick(title);
    EXPECT_TRUE(picture->isHidden()) << "Shift with Ctrl does not arm";

    moveOver(title, Qt::ShiftModifier);
    moveOver(title, Qt::NoModifier);
    doubleClick(title);
    EXPECT_TRUE(picture->isHidden()) << "the last move decides";

    moveOver(title, Qt::ShiftModifier);
    doubleClick(title);
    EXPECT_FALSE(picture->isHidden());
    EXPECT_FALSE(label(about, "LabelTitle")->isHidden());
    EXPECT_EQ(picture->pos(), QPoint(0, 39));

    click(picture);
    EXPECT_TRUE(picture->isHidden());
    EXPECT_TRUE(label(about, "LabelTitle")->isHidden());

    doubleClick(title);
    EXPECT_TRUE(picture->isHidden()) << "one showing per arming";
}

TEST(AboutBox, ArmingOutlivesTheWindow) {
    testing::qtApp();
    {
        AboutBox first;
        moveOver(label(first, "lblTitle"), Qt::ShiftModifier);
    }
    AboutBox second;
    EXPECT_TRUE(label(second, "picIcon")->isHidden()) << "a fresh box starts without the picture";
    doubleClick(label(second, "lblTitle"));
    EXPECT_FALSE(label(second, "picIcon")->isHidden()) << "still armed from the first box";
}

TEST(AboutBox, WithoutASystemInformationProgramItSaysSo) {
    testing::qtApp();
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", "/nonexistent-folder");
    AboutBox about;
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
    child<QPushButton>(&about, "cmdSysInfo")->click();
    qputenv("PATH", savedPath);
    EXPECT_EQ(shown, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
    EXPECT_EQ(title, QStringLiteral("Tolvane"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
}

} // namespace
} // namespace tolvane::gui
