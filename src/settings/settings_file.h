#pragma once

#include "history/date_copy_menu.h"
#include "monitor/monitor.h"
#include "settings/module_ini.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <string>

namespace tolvane::settings {

// The two settings files' names: "<executable name>.Ini" and "Tolvane.dat".
std::string iniFileName(const std::string& executableBaseName);
std::string dataFileName();

// The settings INI file (section "Tolvane", seven keys) and the data file
// (the target list), both in the settings folder (see settings_location.h).
// The settings are the window's own state: loading writes it, saving reads
// it.
class SettingsFile {
  public:
    SettingsFile(FormState& state, Shell& shell, monitor::Monitor& monitor,
                 history::DateCopyMenu& dateMenu, ModuleINI& ini, std::string settingsFolder,
                 std::string executableBaseName);

    // Empties the list and the three text fields; the menu switches stay.
    void clearConfig();

    // Clears the window and fills it from the two files. A missing data file
    // is created empty and ends the program at once (the first start). An INI
    // file that cannot be read gives every key its default; a data file that
    // cannot be read (or is no regular file of a sane size) throws, and that
    // is not caught here.
    void load();

    // Writes both files, each one whole or not at all. A failure shows a
    // message, pauses monitoring and keeps configChanged as it was.
    void save();

    std::string iniFilePath() const;
    std::string dataFilePath() const;

  private:
    // Creates the data file empty and ends the program at once.
    void createMissingDataFile(const std::string& path);

    FormState& state_;
    Shell& shell_;
    monitor::Monitor& monitor_;
    history::DateCopyMenu& dateMenu_;
    ModuleINI& ini_;
    std::string settingsFolder_;
    std::string executableBaseName_;
};

} // namespace tolvane::settings
