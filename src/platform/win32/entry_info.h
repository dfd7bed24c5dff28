#pragma once

#include "platform/files.h"

#include <optional>
#include <string>
#include <windows.h>

namespace tolvane::platform {

// What the system says of an entry itself, a link not followed; nothing
// when there is none. Private to the Win32 files.
struct EntryInfo {
    DWORD attributes = 0;
    std::int64_t size = 0;
    FILETIME modified{};
    DWORD reparseTag = 0; // for a reparse point
};
std::optional<EntryInfo> entryInfo(const std::string& path);

// Symbolic links and junctions are links; other reparse points (a file kept
// in the cloud, a deduplicated file) are what they stand for.
bool isLinkReparse(DWORD attributes, DWORD reparseTag);

FileKind kindOf(DWORD attributes, DWORD reparseTag);

// Whether the last failure says that nothing is there (or can be).
bool meansMissing(unsigned long error);

// Volume serial and file index of what the path names, links followed.
std::optional<FileId> fileIdOf(const std::string& path);

} // namespace tolvane::platform
