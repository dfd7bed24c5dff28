#pragma once

#include "history/date_copy_menu.h"
#include "monitor/monitor.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/private_profile.h"
#include "platform/text_file.h"
#include "settings/lifecycle.h"
#include "settings/module_ini.h"
#include "settings/settings_file.h"
#include "state/form_state.h"
#include "support/fake_shell.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tolvane::settings::testing {

using tolvane::testing::ApplicationEnded;
using tolvane::testing::FakeShell;
using tolvane::testing::namesIn;
using tolvane::testing::readFile;
using tolvane::testing::TempDir;
using tolvane::testing::writeFile;

// The window's side of start-up and shut-down, recorded.
class RecordingHooks : public WindowHooks {
  public:
    explicit RecordingHooks(FormState& state) : state_(state) {}
    void hideWindow() override {
        calls.push_back("hide");
        state_.setWindowVisible(false);
        state_.setVisibleFalseChecked(true);
        state_.setVisibleTrueChecked(false);
    }
    void setTrayIcon(bool add) override { calls.push_back(add ? "icon+" : "icon-"); }
    std::vector<std::string> calls;

  private:
    FormState& state_;
};

// The program's core objects around one settings folder, wired the way the
// window wires them.
struct Program {
    explicit Program(std::string settingsFolder)
        : folder(std::move(settingsFolder)), monitor(state, [this] { copyRun(); }),
          dateMenu(state, shell, [] { return true; }),
          ini(folder,
              [this](const std::string& path) {
                  iniReads.push_back(path);
                  return platform::PrivateProfile::load(path);
              }),
          settings(state, shell, monitor, dateMenu, ini, folder, "Tolvane"), hooks(state),
          lifecycle(state, shell, settings, monitor, hooks) {
        state.onTextIntervalChange = [this] { monitor.intervalTextChanged(); };
        state.onTextSaveAtChange = [this] {
            monitor.pause();
            state.configChanged = true;
        };
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    std::string iniPath() const { return platform::joinPath(folder, "Tolvane.Ini"); }
    std::string dataPath() const { return platform::joinPath(folder, "Tolvane.dat"); }

    // The copy run the countdown starts; records whether monitoring was
    // paused at that moment.
    void copyRun() {
        ++copyRuns;
        pausedAtCopy.push_back(state.stopTimerChecked());
    }

    std::string folder;
    FormState state;
    FakeShell shell;
    int copyRuns = 0;
    std::vector<bool> pausedAtCopy;
    monitor::Monitor monitor;
    history::DateCopyMenu dateMenu;
    // Every INI file the module read, in order.
    std::vector<std::string> iniReads;
    ModuleINI ini;
    SettingsFile settings;
    RecordingHooks hooks;
    Lifecycle lifecycle;
};

class SettingsTest : public ::testing::Test {
  protected:
    TempDir dir;
    Program p{dir.str()};
};

inline std::string missingDataFileText(const std::string& path) {
    return "データファイルがありません\r\nDataFile=" + path + "\r\n新規に作成します";
}

inline const std::string kSaved = "設定を保存しました。";
inline const std::string kSaveFailed = "[設定の保存]：対象の監視を中止します\r\n";

} // namespace tolvane::settings::testing
