#include "settings/lifecycle.h"
#include "support/fake_shell.h"
#include "support/files.h"
#include "support/scripted_file_dialog.h"
#include "support/temp_dir.h"
#include "window/form_tolvane.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tolvane::window {
namespace {

using ::testing::ElementsAre;
using testing::writeFile;

struct RecordingHooks : settings::WindowHooks {
    void hideWindow() override {
        calls.push_back("hide");
        if (form) {
            form->VisibleFalse_Click();
        }
    }
    void setTrayIcon(bool add) override { calls.push_back(add ? "icon+" : "icon-"); }
    std::vector<std::string> calls;
    FormTolvane* form = nullptr;
};

// The whole program without widgets, started from a folder of its own.
class FormTolvaneTest : public ::testing::Test {
  protected:
    void prepare(const std::string& interval) {
        std::filesystem::create_directory(home / "src");
        writeFile(home / "src/a.txt", "alpha");
        writeFile(home / "Tolvane.Ini",
                  "[Tolvane]\r\nInterval=" + interval + "\r\nSaveAt=" + (home / "dest") + "\r\n");
        writeFile(home / "Tolvane.dat", (home / "src") + "\r\n");
        std::filesystem::create_directory(home / "dest");
    }

    testing::TempDir home;
    testing::FakeShell shell;
    RecordingHooks hooks;
    // Never answered: every showing counts as cancelled.
    testing::ScriptedFileDialog dialog;
};

TEST_F(FormTolvaneTest, StartUpLoadsHidesAddsTheIconAndMonitors) {
    prepare("3000");
    FormTolvane form(shell, hooks, dialog, home.str(), "Tolvane");
    hooks.form = &form;
    form.Form_Load();

    const FormState& state = form.state();
    EXPECT_THAT(state.listTargets(), ElementsAre(home / "src"));
    EXPECT_EQ(state.textSaveAt(), home / "dest");
    EXPECT_THAT(hooks.calls, ElementsAre("hide", "icon+"));
    EXPECT_FALSE(state.windowVisible());
    EXPECT_TRUE(state.visibleFalseChecked());
    EXPECT_FALSE(state.configChanged) << "loading's change marks are discarded";
    EXPECT_TRUE(state.timerEnabled());
    EXPECT_EQ(state.caption(), "Tolvane：待機中   残り待ち時間2秒");

    // The ticks run down to a copy through monitor and engine.
    form.TimerInterval_Timer();
    form.TimerInterval_Timer();
    EXPECT_TRUE(std::filesystem::exists(home / "dest/src/a.txt"));
    EXPECT_EQ(state.remainingTime, 3000);
}

TEST_F(FormTolvaneTest, TheChangeHooksAreWired) {
    prepare("60000");
    FormTolvane form(shell, hooks, dialog, home.str(), "Tolvane");
    hooks.form = &form;
    form.Form_Load();
    FormState& state = form.state();

    state.setTextSaveAt(home / "elsewhere");
    EXPECT_TRUE(state.stopTimerChecked());
    EXPECT_TRUE(state.configChanged);

    form.ReleaseTimer_Click();
    state.setTextInterval("5000");
    EXPECT_TRUE(state.stopTimerChecked());
    EXPECT_EQ(state.monitorInterval, 5000);

    state.setKeepCopyDates(false);
    form.copyDateDialog().applyKeepDatesBox();
    state.setTextDate(1, "09");
    EXPECT_EQ(state.textDate(1), "9");
    state.setTextDate(0, "2024");
    state.setTextDate(0, "");
    EXPECT_EQ(state.textDate(0), "0") << "an emptied field shows 0";
}

TEST_F(FormTolvaneTest, TheCloseBoxOnlyHidesAndTheExitRemovesTheIcon) {
    prepare("60000");
    FormTolvane form(shell, hooks, dialog, home.str(), "Tolvane");
    hooks.form = &form;
    form.Form_Load();
    form.VisibleTrue_Click();
    hooks.calls.clear();

    EXPECT_EQ(form.Form_QueryUnload(UnloadMode::CloseBox), settings::UnloadDecision::Cancel);
    EXPECT_FALSE(form.state().windowVisible());
    EXPECT_THAT(hooks.calls, ElementsAre("hide"));
    EXPECT_TRUE(shell.messages.empty());

    EXPECT_THROW(form.END_Click(), testing::ApplicationEnded);
    EXPECT_EQ(shell.endKind, EndKind::Orderly);
    EXPECT_EQ(shell.endCause, EndCause::Requested);
}

TEST_F(FormTolvaneTest, TheSubmenuParentAndCancelChangeNothing) {
    prepare("60000");
    FormTolvane form(shell, hooks, dialog, home.str(), "Tolvane");
    hooks.form = &form;
    form.Form_Load();
    form.VisibleTrue_Click();
    const std::string caption = form.state().caption();

    form.DateCopy_Click();
    form.Cancel_Click();

    EXPECT_FALSE(form.state().dateHistoryMode());
    EXPECT_TRUE(form.state().windowVisible());
    EXPECT_FALSE(form.state().visibleFalseChecked());
    EXPECT_FALSE(form.state().configChanged);
    EXPECT_EQ(form.state().caption(), caption);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(FormTolvaneTest, FirstStartCreatesTheDataFileAndEndsBeforeAnyIcon) {
    FormTolvane form(shell, hooks, dialog, home.str(), "Tolvane");
    hooks.form = &form;
    EXPECT_THROW(form.Form_Load(), testing::ApplicationEnded);
    EXPECT_EQ(shell.endKind, EndKind::Immediate);
    EXPECT_TRUE(std::filesystem::exists(home / "Tolvane.dat"));
    EXPECT_TRUE(hooks.calls.empty());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_THAT(shell.messages[0].text, ::testing::HasSubstr("データファイルがありません"));
}

} // namespace
} // namespace tolvane::window
