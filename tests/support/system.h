#pragma once

// What the system under test answers where the POSIX and the Windows build
// differ: failure numbers, and whether symbolic links can be made.

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tolvane::testing {

#ifdef _WIN32
inline constexpr int kFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
inline constexpr int kFolderNotFound = 3; // ERROR_PATH_NOT_FOUND
inline constexpr int kAccessDenied = 5;   // ERROR_ACCESS_DENIED
inline constexpr int kInvalidArgument = 87;
inline constexpr int kNotAFolder = 3;   // a file stands where a folder is named
inline constexpr int kIsAFolder = 5;    // a folder stands where a file is named
inline constexpr int kFileExists = 183; // ERROR_ALREADY_EXISTS
#else
inline constexpr int kFileNotFound = ENOENT;
inline constexpr int kFolderNotFound = ENOENT;
inline constexpr int kAccessDenied = EACCES;
inline constexpr int kInvalidArgument = EINVAL;
inline constexpr int kNotAFolder = ENOTDIR;
inline constexpr int kIsAFolder = EISDIR;
inline constexpr int kFileExists = EEXIST;
#endif

// Whether a symbolic link made in `folder` really is one. Wine refuses to
// make some and reports others as made without making them; a test of links
// shows nothing true there.
inline bool symlinksWork(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / "symlink-probe";
    std::error_code ec;
    std::filesystem::create_symlink("target", probe, ec);
    const bool works = !ec && std::filesystem::is_symlink(probe, ec);
    std::filesystem::remove(probe, ec);
    return works;
}

} // namespace tolvane::testing

#define SKIP_WITHOUT_SYMLINKS(folder)                                                              \
    if (!::tolvane::testing::symlinksWork(folder))                                                 \
    GTEST_SKIP() << "this system makes no symbolic links (Wine reports them made but makes none)"
