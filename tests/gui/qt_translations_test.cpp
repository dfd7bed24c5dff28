#include "gui/qt_translations.h"
#include "widget_testing.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace tolvane::gui {
namespace {

QString withoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

// Whatever the desktop's language, Qt's own widgets speak Japanese once the
// translations are in: a standard button and a text box's context menu.
TEST(QtTranslations, StandardTextsBecomeJapanese) {
    QApplication& app = testing::qtApp();
    QDialogButtonBox before(QDialogButtonBox::Cancel);
    ASSERT_EQ(withoutMnemonic(before.button(QDialogButtonBox::Cancel)->text()), "Cancel");

    ASSERT_TRUE(installJapaneseQtTranslations(app));

    QDialogButtonBox after(QDialogButtonBox::Cancel);
    EXPECT_EQ(after.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_TRUE(menu->actions().first()->text().startsWith(QStringLiteral("元に戻す")))
        << menu->actions().first()->text().toStdString();
}

} // namespace
} // namespace tolvane::gui
