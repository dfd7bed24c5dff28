#pragma once

#include <cstdint>
#include <filesystem>

namespace tolvane::lha {

enum class FileKind { Missing, Regular, Directory, Symlink, Other };

// What a header needs to know about a file, read without following a final
// symbolic link unless asked to.
struct FileInfo {
    FileKind kind = FileKind::Missing;
    std::uint64_t size = 0;
    std::uint32_t mtime = 0; // Unix seconds, clamped to 32 bits
    std::uint16_t mode = 0;  // Unix st_mode
    bool hasOwner = false;
    std::uint16_t uid = 0;
    std::uint16_t gid = 0;
};

FileInfo inspectFile(const std::filesystem::path& path, bool followLink);

// Pushes a written file to the disk, as far as the system allows, before the
// caller reports it safe (the source is deleted right after).
bool syncToDisk(const std::filesystem::path& path);

// The same for a folder's entries, so a rename into it survives a crash.
bool syncFolderToDisk(const std::filesystem::path& folder);

} // namespace tolvane::lha
