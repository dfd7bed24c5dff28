#include "platform/archive_status.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/system_failure.h"
#include "platform/posix/system_path.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace tolvane::platform {

namespace {

FileKind kindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileKind::File;
    }
    if (S_ISDIR(mode)) {
        return FileKind::Folder;
    }
    if (S_ISLNK(mode)) {
        return FileKind::Link;
    }
    return FileKind::Other;
}

FileStatus statusOf(const struct stat& st) {
    FileStatus status;
    status.kind = kindOf(st.st_mode);
    status.size = static_cast<std::int64_t>(st.st_size);
    status.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    status.modifiedNanos = static_cast<std::int32_t>(st.st_mtim.tv_nsec);
    status.readOnly = (st.st_mode & 0222) == 0;
    status.id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return status;
}

} // namespace

bool folderExists(const std::string& path) {
    struct stat st {};
    return !holdsNul(path) && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return !holdsNul(path) && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FileStatus fileStatus(const std::string& path) {
    struct stat st {};
    if (::stat(systemPath(path), &st) != 0) {
        throwFailure(errno, path);
    }
    return statusOf(st);
}

std::optional<FileStatus> linkStatus(const std::string& path) {
    struct stat st {};
    if (holdsNul(path)) {
        return std::nullopt;
    }
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) {
            return std::nullopt;
        }
        throwFailure(errno, path);
    }
    return statusOf(st);
}

bool folderLiesWithin(const std::string& path, const FileId& folder) {
    if (holdsNul(path)) {
        return false;
    }
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return false;
    }
    std::string step = real;
    std::free(real);
    struct stat st {};
    if (::stat(step.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    // Up from the resolved folder to the root, one name at a time.
    for (;;) {
        if (statusOf(st).id == folder) {
            return true;
        }
        if (isRoot(step)) {
            return false;
        }
        step = folderOfPath(step);
        if (::stat(step.c_str(), &st) != 0) {
            return false;
        }
    }
}

std::string entryName(const std::string& path) {
    std::string name = lastName(path);
    if (name == "." || name == "..") {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            name = lastName(real);
            std::free(real);
        }
    }
    return name;
}

void createFolder(const std::string& path) {
    if (::mkdir(systemPath(path), 0777) != 0) {
        throwNamingFailure(errno, path);
    }
}

// Here the saved attributes are the permission bits.
std::optional<SavedAttributes> saveAttributes(const std::string& path) {
    struct stat st {};
    if (holdsNul(path) || ::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return SavedAttributes{static_cast<std::uint32_t>(st.st_mode & 07777)};
}

bool restoreAttributes(const std::string& path, const SavedAttributes& saved) {
    return !holdsNul(path) && ::chmod(path.c_str(), static_cast<mode_t>(saved.value & 07777)) == 0;
}

bool setAttributesNormal(const std::string& path) {
    const auto saved = saveAttributes(path);
    return saved && restoreAttributes(path, {saved->value | S_IWUSR});
}

bool setAttributesReadOnly(const std::string& path) {
    const auto saved = saveAttributes(path);
    return saved && restoreAttributes(path, {saved->value & ~static_cast<std::uint32_t>(0222)});
}

namespace {

// NTFS keeps its own read-only attribute, which ntfs-3g shows as the
// big-endian attribute word under this name; Windows reads that, not modes.
constexpr const char* kNtfsAttributes = "system.ntfs_attrib_be";
constexpr std::uint32_t kNtfsReadOnly = 0x1;

std::optional<std::uint32_t> ntfsAttributes(const std::string& path) {
    unsigned char word[4]{};
    if (::getxattr(path.c_str(), kNtfsAttributes, word, sizeof word) != sizeof word) {
        return std::nullopt;
    }
    return (std::uint32_t{word[0]} << 24) | (std::uint32_t{word[1]} << 16) |
           (std::uint32_t{word[2]} << 8) | std::uint32_t{word[3]};
}

bool markNtfsReadOnly(const std::string& path) {
    const auto attributes = ntfsAttributes(path);
    if (!attributes) {
        return false;
    }
    const std::uint32_t marked = *attributes | kNtfsReadOnly;
    const unsigned char word[4]{
        static_cast<unsigned char>(marked >> 24), static_cast<unsigned char>(marked >> 16),
        static_cast<unsigned char>(marked >> 8), static_cast<unsigned char>(marked)};
    if (::setxattr(path.c_str(), kNtfsAttributes, word, sizeof word, 0) != 0) {
        return false;
    }
    const auto after = ntfsAttributes(path);
    return after && (*after & kNtfsReadOnly) != 0;
}

} // namespace

MarkOutcome markReadOnly(const std::string& path) {
    if (!setAttributesReadOnly(path)) {
        return MarkOutcome::Refused;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0) {
        return MarkOutcome::Kept;
    }
    return markNtfsReadOnly(path) ? MarkOutcome::Kept : MarkOutcome::Dropped;
}

void setModificationTime(const std::string& path, std::int64_t seconds, std::int32_t nanos) {
    struct stat st {};
    if (::stat(systemPath(path), &st) != 0) {
        throwFailure(errno, path);
    }
    // Both times at once: some drivers drop a modification time set alone.
    struct timespec times[2]{};
    times[0] = st.st_atim;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = nanos;
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        throwFailure(errno, path);
    }
}

std::optional<ArchiveStatus> archiveStatus(const std::string& path, bool followLink) {
    struct stat st {};
    if (holdsNul(path)) {
        return std::nullopt;
    }
    const int result = followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (result != 0) {
        return std::nullopt;
    }
    ArchiveStatus found;
    found.status = statusOf(st);
    found.unixMode = static_cast<std::uint32_t>(st.st_mode);
    found.owner = ArchiveStatus::Owner{static_cast<std::uint32_t>(st.st_uid),
                                       static_cast<std::uint32_t>(st.st_gid)};
    return found;
}

} // namespace tolvane::platform
