#include "window/form_tolvane.h"

#include <utility>

namespace tolvane::window {

FormTolvane::FormTolvane(Shell& shell, settings::WindowHooks& hooks, FileDialog& fileDialog,
                         std::string settingsFolder, std::string executableBaseName)
    : visibility_(state_), engine_(state_, shell), monitor_(state_, [this] { engine_.runCopy(); }),
      dateCopyMenu_(state_, shell), copyDateDialog_(state_),
      archiveStep_(state_, shell, dateCopyMenu_,
                   [this](const std::string& path) { engine_.finishCopiedFile(path); }),
      editing_(
          state_, shell, [this] { monitor_.pause(); }, fileDialog),
      moduleIni_(settingsFolder), settings_(state_, shell, monitor_, dateCopyMenu_, moduleIni_,
                                            settingsFolder, std::move(executableBaseName)),
      lifecycle_(state_, shell, settings_, monitor_, hooks) {
    state_.onTextIntervalChange = [this] { TextInterval_Change(); };
    state_.onTextSaveAtChange = [this] { TextSaveAt_Change(); };
    state_.onTextDateChange = [this](int index) { TextDate_Change(index); };
    engine_.compressPastDateFolders = [this] {
        archiveStep_.compressPastDateFolders();
        return archiveStep_.lastOutcome();
    };
    // The run record lives with the settings files.
    engine_.setRecordFolder(settingsFolder);
}

} // namespace tolvane::window
