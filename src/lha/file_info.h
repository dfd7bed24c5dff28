#pragma once

#include <cstdint>
#include <string>

namespace tolvane::lha {

enum class FileKind { Missing, Regular, Directory, Symlink, Other };

// What a header needs to know about a file, read without following a final
// symbolic link unless asked to.
struct FileInfo {
    FileKind kind = FileKind::Missing;
    std::uint64_t size = 0;
    std::uint32_t mtime = 0; // Unix seconds, clamped to 32 bits
    std::uint16_t mode = 0;  // Unix st_mode, as the header stores it
    bool hasOwner = false;
    std::uint16_t uid = 0;
    std::uint16_t gid = 0;
};

FileInfo inspectFile(const std::string& path, bool followLink);

} // namespace tolvane::lha
