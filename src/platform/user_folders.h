#pragma once

#include <string>

namespace tolvane::platform {

// Where a user's own files go when the program's folder is not theirs.

// The folder for per-user settings of every program on this system.
std::string userConfigFolder();

// True when the current user may create and replace files in the folder.
// Never throws; a missing folder is not writable.
bool folderWritable(const std::string& path);

// Creates the folder and any missing parents; new levels are private to the
// user. An existing folder is no failure. Throws Failure.
void createFolders(const std::string& path);

} // namespace tolvane::platform
