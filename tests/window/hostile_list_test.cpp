// A list file whose lines hold bytes no path can hold, loaded as start-up
// loads it and then run.
#include "support/fake_shell.h"
#include "support/files.h"
#include "support/scripted_file_dialog.h"
#include "support/temp_dir.h"
#include "window/form_tolvane.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tolvane::window {
namespace {

struct NoHooks : settings::WindowHooks {
    void hideWindow() override {}
    void setTrayIcon(bool) override {}
};

class HostileList : public ::testing::Test {
  protected:
    // Loads the settings with this list file, runs once and expects the run
    // to come back having copied nothing and refused every entry it showed.
    void loadAndRun(const std::string& listBytes) {
        testing::writeFile(home / "src/a.txt", "a");
        std::filesystem::create_directory(home / "dest");
        testing::writeFile(home / "Tolvane.Ini",
                           "[Tolvane]\r\nInterval=60000\r\nSaveAt=" + (home / "dest") + "\r\n");
        testing::writeFile(home / "Tolvane.dat", listBytes);
        FormTolvane form(shell, hooks, dialog, home.str(), "Tolvane");
        form.settingsFile().load();
        ASSERT_FALSE(form.state().listTargets().empty());

        form.engine().runCopy();

        EXPECT_FALSE(shell.ended);
        EXPECT_FALSE(shell.messages.empty());
        for (const std::string& text : shell.texts()) {
            EXPECT_EQ(text.rfind("コピー対象がありません。\r\nTargetFolder=", 0), 0u) << text;
        }
        EXPECT_TRUE(testing::namesIn(home / "dest").empty());
    }

    testing::TempDir home;
    testing::FakeShell shell;
    NoHooks hooks;
    testing::ScriptedFileDialog dialog;
};

TEST_F(HostileList, ALineWithANulIsRefused) {
    loadAndRun((home / "src") + std::string("\0/x", 3) + "\r\n");
}

TEST_F(HostileList, AUtf16ListWithoutByteOrderMarkIsRefused) {
    std::string utf16;
    for (const char c : (home / "src") + "\r\n") {
        utf16 += c;
        utf16 += '\0';
    }
    loadAndRun(utf16);
}

} // namespace
} // namespace tolvane::window
