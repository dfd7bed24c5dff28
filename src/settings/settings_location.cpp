#include "settings/settings_location.h"

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/user_folders.h"
#include "settings/settings_file.h"

namespace tolvane::settings {

std::string chooseSettingsFolder(const SettingsPlace& place) {
    if (place.holdsIniFile || place.holdsDataFile || place.executableFolderWritable) {
        return place.executableFolder;
    }
    return platform::joinPath(place.userConfigFolder, kUserSettingsFolderName);
}

std::string settingsFolder(const std::string& executableFolder,
                           const std::string& executableBaseName) {
    SettingsPlace place;
    place.executableFolder = executableFolder;
    place.holdsIniFile =
        platform::fileExists(platform::joinPath(executableFolder, iniFileName(executableBaseName)));
    place.holdsDataFile =
        platform::fileExists(platform::joinPath(executableFolder, dataFileName()));
    place.executableFolderWritable = platform::folderWritable(executableFolder);
    place.userConfigFolder = platform::userConfigFolder();

    const std::string folder = chooseSettingsFolder(place);
    if (folder != executableFolder) {
        try {
            platform::createFolders(folder);
        } catch (const platform::Failure&) {
            // Reported when the data file cannot be created there.
        }
    }
    return folder;
}

} // namespace tolvane::settings
