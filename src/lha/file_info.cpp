#include "lha/file_info.h"

#include <algorithm>
#include <chrono>

#if defined(_WIN32)
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tolvane::lha {

namespace {

std::uint32_t clampTime(long long seconds) {
    return static_cast<std::uint32_t>(std::clamp<long long>(seconds, 0, 0xFFFFFFFFLL));
}

} // namespace

#if defined(_WIN32)

// No owner on this system; the mode is made up from the attributes.
FileInfo inspectFile(const std::filesystem::path& path, bool followLink) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = followLink ? fs::status(path, ec) : fs::symlink_status(path, ec);
    FileInfo info;
    if (ec || !fs::exists(st)) {
        return info;
    }
    const bool writable = (st.permissions() & fs::perms::owner_write) != fs::perms::none;
    if (fs::is_symlink(st)) {
        info.kind = FileKind::Symlink;
        return info;
    }
    if (fs::is_directory(st)) {
        info.kind = FileKind::Directory;
        info.mode = static_cast<std::uint16_t>(0040000 | (writable ? 0755 : 0555));
    } else if (fs::is_regular_file(st)) {
        info.kind = FileKind::Regular;
        info.mode = static_cast<std::uint16_t>(0100000 | (writable ? 0644 : 0444));
        info.size = fs::file_size(path, ec);
    } else {
        info.kind = FileKind::Other;
        return info;
    }
    const auto written = fs::last_write_time(path, ec);
    if (!ec) {
        const auto sys = std::chrono::clock_cast<std::chrono::system_clock>(written);
        info.mtime = clampTime(
            std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count());
    }
    return info;
}

bool syncToDisk(const std::filesystem::path&) {
    return true;
}

bool syncFolderToDisk(const std::filesystem::path&) {
    return true;
}

#else

FileInfo inspectFile(const std::filesystem::path& path, bool followLink) {
    struct stat st {};
    FileInfo info;
    const int rc = followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (rc != 0) {
        return info;
    }
    if (S_ISLNK(st.st_mode)) {
        info.kind = FileKind::Symlink;
    } else if (S_ISDIR(st.st_mode)) {
        info.kind = FileKind::Directory;
    } else if (S_ISREG(st.st_mode)) {
        info.kind = FileKind::Regular;
        info.size = static_cast<std::uint64_t>(st.st_size);
    } else {
        info.kind = FileKind::Other;
    }
    info.mtime = clampTime(static_cast<long long>(st.st_mtime));
    info.mode = static_cast<std::uint16_t>(st.st_mode);
    info.hasOwner = true;
    info.uid = static_cast<std::uint16_t>(st.st_uid);
    info.gid = static_cast<std::uint16_t>(st.st_gid);
    return info;
}

bool syncToDisk(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool syncFolderToDisk(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

#endif

} // namespace tolvane::lha
