#pragma once

#include <optional>
#include <string>

namespace tolvane::platform {

// The name of the file system holding the file or folder at a system path
// ("NTFS", "FAT32", "exFAT", "ReFS"); nothing when it cannot be asked.
std::optional<std::wstring> fileSystemNameOf(const std::wstring& systemPath);

} // namespace tolvane::platform
