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
// object of the program's logic and wires their hooks to each other. Its
// forwarders are the one map from the window's controls, menu items and
// events (named after them) to what they do; the front end calls them and
// draws state().
class FormTolvane {
  public:
    FormTolvane(Shell& shell, settings::WindowHooks& hooks, FileDialog& fileDialog,
                std::string settingsFolder, std::string executableBaseName);
    FormTolvane(const FormTolvane&) = delete;
    FormTolvane& operator=(const FormTolvane&) = delete;

    FormState& state() { return state_; }
    const FormState& state() const { return state_; }

    // Start-up and unload.
    void Form_Load() { lifecycle_.startUp(); }
    settings::UnloadDecision Form_QueryUnload(UnloadMode mode) {
        return lifecycle_.queryUnload(mode);
    }

    // The 操作 menu.
    void VisibleTrue_Click() { visibility_.show(); }
    void VisibleFalse_Click() { visibility_.hide(); }
    void M_Exec_Click() { engine_.runCopy(); }
    void StopTimer_Click() { monitor_.pause(); }
    void ReleaseTimer_Click() { monitor_.resume(); }
    void END_Click() { lifecycle_.exitRequested(); }
    // "キャンセル" only closes the pop-up menu.
    void Cancel_Click() {}

    // The 設定 menu.
    void SaveConfig_Click() { settings_.save(); }
    void LoadConfig_Click() { settings_.load(); }
    // The date-history submenu's parent only opens the submenu.
    void DateCopy_Click() {}
    void DateCopyNomal_Click() { dateCopyMenu_.togglePlainDateCopy(); }
    void DateCopyCompress_Click() { dateCopyMenu_.toggleCompressedDateCopy(); }
    void DateCopyRelease_Click() { dateCopyMenu_.turnDateCopyOff(); }
    void CopyAtReadOnly_Click() { dateCopyMenu_.toggleReadOnlyCopies(); }
    void setCopyDate_Click() { dateCopyMenu_.showCopyDateDialog(); }

    // The timer and the interval box.
    void TimerInterval_Timer() { monitor_.countdownTick(); }
    void TextInterval_Change() { monitor_.intervalTextChanged(); }
    void TextInterval_LostFocus() { monitor_.intervalEditFinished(); }

    // The target list, the staging box and the destination box.
    void CommandAddTarget_Click() { editing_.addStagedTarget(); }
    void TextTargetFolder_KeyPress(int keyCode) { editing_.addOnEnter(keyCode); }
    void CommandRemoveTarget_Click() { editing_.editSelectedTarget(); }
    void ListTargets_DblClick() { editing_.editSelectedTarget(); }
    void CommandSelect_Click() { editing_.browseForTarget(); }
    void CommandSelectSaveAt_Click() { editing_.browseForDestination(); }
    void ListTargets_OLEDragDrop(const DroppedFiles& dropped) {
        editing_.addDroppedTargets(dropped);
    }
    void TextTargetFolder_OLEDragDrop(const DroppedFiles& dropped) {
        editing_.stageDroppedPath(dropped);
    }
    void TextSaveAt_OLEDragDrop(const DroppedFiles& dropped) {
        editing_.setDroppedDestination(dropped);
    }
    void TextSaveAt_Change() { editing_.destinationChanged(); }
    void TextTargetFolder_LostFocus() { editing_.trimStagedPath(); }
    void TextSaveAt_LostFocus() { editing_.trimDestination(); }

    // The copy-date dialog's fields.
    void TextDate_Change(int index) { copyDateDialog_.normaliseDateField(index); }

    // A notification of the tray icon: true when it opens the Control menu.
    static bool trayOpensMenu(int mouseCode) { return trayNotificationOpensMenu(mouseCode); }

    history::CopyDateDialog& copyDateDialog() { return copyDateDialog_; }
    history::DateCopyMenu& dateCopyMenu() { return dateCopyMenu_; }
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
