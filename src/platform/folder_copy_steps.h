#pragma once

#include "platform/files.h"

#include <string>

namespace tolvane::platform {

// The system's own steps of a folder copy. Private to the platform.

// Checks that `from` is a folder and makes `to` one (an existing folder
// there is taken as it is); returns the source folder's identity.
FileId openFolderCopy(const std::string& from, const std::string& to);

// Gives the finished copy the source folder's marks, always leaving it open
// to its owner, so the next run can bring it up to date.
void finishFolderCopy(const std::string& from, const std::string& to);

} // namespace tolvane::platform
