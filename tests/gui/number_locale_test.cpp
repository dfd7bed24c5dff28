// Numbers under a desktop whose locale writes decimals with a comma. Qt's
// application object sets the C library's locale from the environment, so
// these tests set a comma locale before the first one is made: this program
// holds no other test.

#include "engine/mirror_engine.h"
#include "gui/main_window.h"
#include "state/number_text.h"
#include "support/fake_shell.h"
#include "support/files.h"
#include "support/scripted_file_dialog.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"
#include "widget_testing.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace tolvane::gui {
namespace {

class CommaLocale : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // build.sh generates this locale for the tests.
        ::setenv("LC_ALL", "de_DE.UTF-8", 1);
        testing::qtApp();
    }

    void SetUp() override {
        ASSERT_STREQ(std::localeconv()->decimal_point, ",")
            << "no comma-decimal locale is active (is de_DE.UTF-8 generated?)";
    }
};

TEST_F(CommaLocale, ConversionsKeepThePoint) {
    EXPECT_EQ(valueOfText("2500.5"), 2500.5);
    EXPECT_EQ(valueOfText("2,5"), 2) << "a comma ends the number";
    EXPECT_EQ(valueOfText("25E-1"), 2.5);
    EXPECT_EQ(textOfNumber(0.5), "0.5");
    EXPECT_EQ(textOfNumber(-1234.25), "-1234.25");
    EXPECT_EQ(textOfNumber(1e15), "1E+15");
    EXPECT_EQ(textOfNumber(1.5e-7), "1.5E-07");
    EXPECT_EQ(countdownCaption("Tolvane：待機中", 500), "Tolvane：待機中   残り待ち時間0.5秒");
}

TEST_F(CommaLocale, TheIntervalBoxAndTheCaptionUseThePoint) {
    testing::TempDir home;
    testing::writeFile(home / "Tolvane.dat", "");
    testing::writeFile(home / "Tolvane.Ini", "[Tolvane]\r\nInterval=60000\r\n");
    testing::FakeShell shell;
    testing::ScriptedFileDialog dialog;
    MainWindow window(shell, dialog, home.str(), "Tolvane");
    window.startUp();

    auto* interval = testing::child<QLineEdit>(&window, "TextInterval");
    interval->clear();
    QTest::keyClicks(interval, "2500.5");
    EXPECT_EQ(window.state().monitorInterval, 2500.5);
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("Tolvane：監視一時停止中   残り待ち時間2.5005秒"));

    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(interval, &out);
    EXPECT_EQ(interval->text(), QStringLiteral("2500.5"));
}

TEST_F(CommaLocale, ACopyDateWithAFractionIsStillANumber) {
    testing::ZoneScope zone(testing::kCentralEurope);
    testing::TempDir dir;
    testing::writeFile(dir / "src.txt", "content");
    FormState state;
    testing::FakeShell shell;
    engine::MirrorEngine engine(state, shell, [] { return platform::LocalDate{2026, 12, 8}; });
    state.setKeepCopyDates(false);
    const char* fields[] = {"2026", "12", "8", "9", "30", "0.5"};
    for (int i = 0; i < 6; ++i) {
        state.setTextDate(i, fields[i]);
    }
    engine.copyFileIfChanged(dir / "src.txt", dir / "copy.txt");
    EXPECT_TRUE(shell.messages.empty()) << shell.messages.front().text;
    // 0.5 rounds half to even: 0 seconds.
    EXPECT_EQ(testing::modifiedOf(dir / "copy.txt"), testing::utcSeconds(2026, 12, 8, 8, 30, 0));
}

} // namespace
} // namespace tolvane::gui
