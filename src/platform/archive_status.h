#pragma once

#include "platform/files.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tolvane::platform {

// What an archive records of an entry: its status, a Unix-style mode (the
// type and permission bits the format stores; made up from the kind and the
// read-only attribute where the system keeps none) and the owner's ids where
// the system has them.
struct ArchiveStatus {
    struct Owner {
        std::uint32_t user = 0;
        std::uint32_t group = 0;
    };
    FileStatus status;
    std::uint32_t unixMode = 0;
    std::optional<Owner> owner;
};

// The entry at `path`, the link itself unless `followLink`; nothing when it
// cannot be read. Never throws.
std::optional<ArchiveStatus> archiveStatus(const std::string& path, bool followLink);

} // namespace tolvane::platform
