#pragma once

#include <string>

namespace tolvane::settings {

// The name of the program's own folder below the user's settings folder.
inline constexpr const char* kUserSettingsFolderName = "tolvane";

// What decides where the settings live.
struct SettingsPlace {
    std::string executableFolder;
    bool holdsIniFile = false;  // "<executable name>.Ini" is there
    bool holdsDataFile = false; // "Tolvane.dat" is there
    bool executableFolderWritable = false;
    std::string userConfigFolder;
};

// Settings stay beside the executable (a portable copy) when that folder
// already holds either settings file or the user may write there; otherwise
// (a system install) they go to "<user config folder>/tolvane".
std::string chooseSettingsFolder(const SettingsPlace& place);

// The folder whose two settings files the program uses, looked up on this
// system. A chosen user folder is created when missing; should that fail,
// creating the data file in it fails next and says so with its path.
std::string settingsFolder(const std::string& executableFolder,
                           const std::string& executableBaseName);

} // namespace tolvane::settings
