#pragma once

#include "engine/mirror_engine.h"
#include "history/archive_step.h"
#include "history/copy_date_dialog.h"
#include "history/date_copy_menu.h"
#include "monitor/monitor.h"
#include "settings/lifecycle.h"
#include "settings/module_ini.h"
#include "settings/settings_file.h"
#include "state/form_state.h"
#include "state/shell.h"
#include "window/file_dialog.h"
#include "window/target_editing.h"
#include "window/visibility.h"

#include <string>

namespace tolvane::window {

// The main window without its widgets: it owns the state model and every
// object of the program's logic and wires their hooks to each other. The
// front end forwards events to the handlers below and draws state().
class FormTolvane {
  public:
    FormTolvane(Shell& shell, settings::WindowHooks& hooks, FileDialog& fileDialog,
                std::string executableFolder, std::string executableBaseName);
    FormTolvane(const FormTolvane&) = delete;
    FormTolvane& operator=(const FormTolvane&) = delete;

    FormState& state() { return state_; }
    const FormState& state() const { return state_; }

    // Start-up and unload.
    void Form_Load() { lifecycle_.Form_Load(); }
    void Form_QueryUnload(int& cancel, int unloadMode) {
        lifecycle_.Form_QueryUnload(cancel, unloadMode);
    }

    // The Control menu.
    void VisibleTrue_Click() { visibility_.VisibleTrue_Click(); }
    void VisibleFalse_Click() { visibility_.VisibleFalse_Click(); }
    void M_Exec_Click() { engine_.M_Exec_Click(); }
    void StopTimer_Click() { monitor_.StopTimer_Click(); }
    void ReleaseTimer_Click() { monitor_.ReleaseTimer_Click(); }
    void END_Click() { lifecycle_.END_Click(); }
    void Cancel_Click() { visibility_.Cancel_Click(); }

    // The Config menu.
    void SaveConfig_Click() { settings_.SaveConfig_Click(); }
    void LoadConfig_Click() { settings_.LoadConfig_Click(); }
    void DateCopy_Click() { dateCopyMenu_.DateCopy_Click(); }
    void DateCopyNomal_Click() { dateCopyMenu_.DateCopyNomal_Click(); }
    void DateCopyCompress_Click() { dateCopyMenu_.DateCopyCompress_Click(); }
    void DateCopyRelease_Click() { dateCopyMenu_.DateCopyRelease_Click(); }
    void CopyAtReadOnly_Click() { dateCopyMenu_.CopyAtReadOnly_Click(); }
    void setCopyDate_Click() { dateCopyMenu_.setCopyDate_Click(); }

    // The timer and the interval box.
    void TimerInterval_Timer() { monitor_.TimerInterval_Timer(); }
    void TextInterval_LostFocus() { monitor_.TextInterval_LostFocus(); }

    // A notification of the tray icon: true when it opens the Control menu.
    static bool trayOpensMenu(int mouseCode) { return trayNotificationOpensMenu(mouseCode); }

    TargetEditing& editing() { return editing_; }
    history::CopyDateDialog& copyDateDialog() { return copyDateDialog_; }
    monitor::Monitor& monitor() { return monitor_; }
    engine::MirrorEngine& engine() { return engine_; }
    history::ArchiveStep& archiveStep() { return archiveStep_; }
    settings::SettingsFile& settingsFile() { return settings_; }

  private:
    FormState state_;
    WindowVisibility visibility_;
    engine::MirrorEngine engine_;
    monitor::Monitor monitor_;
    history::DateCopyMenu dateCopyMenu_;
    history::CopyDateDialog copyDateDialog_;
    history::ArchiveStep archiveStep_;
    TargetEditing editing_;
    settings::ModuleINI moduleIni_;
    settings::SettingsFile settings_;
    settings::Lifecycle lifecycle_;
};

} // namespace tolvane::window
