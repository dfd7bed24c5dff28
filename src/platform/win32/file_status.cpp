#include "platform/archive_status.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/file_time.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

namespace tolvane::platform {

namespace {

FileStatus statusOf(const EntryInfo& info) {
    FileStatus status;
    status.kind = kindOf(info.attributes, info.reparseTag);
    status.size = status.kind == FileKind::File ? info.size : 0;
    status.modified = epochSeconds(info.modified);
    status.modifiedNanos = nanosPastSecond(info.modified);
    status.readOnly = (info.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return status;
}

// The status of what a link leads to, read through a handle on it.
std::optional<FileStatus> followedStatus(const std::string& path, unsigned long& error) {
    if (path.find('\0') != std::string::npos) {
        error = ERROR_INVALID_NAME;
        return std::nullopt;
    }
    Handle file(::CreateFileW(systemPath(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    FileStatus status;
    status.kind =
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::File;
    status.size = status.kind == FileKind::File
                      ? static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) |
                                                  info.nFileSizeLow)
                      : 0;
    status.modified = epochSeconds(info.ftLastWriteTime);
    status.modifiedNanos = nanosPastSecond(info.ftLastWriteTime);
    status.readOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    status.id = {info.dwVolumeSerialNumber,
                 (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    return status;
}

} // namespace

std::optional<EntryInfo> entryInfo(const std::string& path) {
    if (path.empty()) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    // A NUL would end the name early: no entry has such a name.
    if (path.find('\0') != std::string::npos) {
        ::SetLastError(ERROR_INVALID_NAME);
        return std::nullopt;
    }
    const std::wstring wide = systemPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    EntryInfo info;
    info.attributes = data.dwFileAttributes;
    info.size =
        static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
    info.modified = data.ftLastWriteTime;
    if (info.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found,
                                                 FindExSearchNameMatch, nullptr, 0);
        if (search != INVALID_HANDLE_VALUE) {
            info.reparseTag = found.dwReserved0;
            ::FindClose(search);
        }
    }
    return info;
}

bool isLinkReparse(DWORD attributes, DWORD reparseTag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (reparseTag == IO_REPARSE_TAG_SYMLINK || reparseTag == IO_REPARSE_TAG_MOUNT_POINT);
}

FileKind kindOf(DWORD attributes, DWORD reparseTag) {
    if (isLinkReparse(attributes, reparseTag)) {
        return FileKind::Link;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return FileKind::Folder;
    }
    if (attributes & FILE_ATTRIBUTE_DEVICE) {
        return FileKind::Other;
    }
    return FileKind::File;
}

bool meansMissing(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_NOT_READY:
        return true;
    default:
        return false;
    }
}

std::optional<FileId> fileIdOf(const std::string& path) {
    unsigned long error = 0;
    const auto status = followedStatus(path, error);
    if (!status) {
        return std::nullopt;
    }
    return status->id;
}

bool folderExists(const std::string& path) {
    const auto info = entryInfo(path);
    if (!info) {
        return false;
    }
    if (!isLinkReparse(info->attributes, info->reparseTag)) {
        return (info->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    unsigned long error = 0;
    const auto followed = followedStatus(path, error);
    return followed && followed->kind == FileKind::Folder;
}

bool fileExists(const std::string& path) {
    const auto info = entryInfo(path);
    if (!info) {
        return false;
    }
    if (!isLinkReparse(info->attributes, info->reparseTag)) {
        return kindOf(info->attributes, 0) == FileKind::File;
    }
    unsigned long error = 0;
    const auto followed = followedStatus(path, error);
    return followed && followed->kind == FileKind::File;
}

FileStatus fileStatus(const std::string& path) {
    const auto info = entryInfo(path);
    if (!info) {
        throwLastFailure(path);
    }
    // Folders need their identity, and links what they lead to: both come
    // through a handle.
    if (isLinkReparse(info->attributes, info->reparseTag) ||
        (info->attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        unsigned long error = 0;
        const auto followed = followedStatus(path, error);
        if (!followed) {
            throwFailure(error, path);
        }
        return *followed;
    }
    return statusOf(*info);
}

std::optional<FileStatus> linkStatus(const std::string& path) {
    const auto info = entryInfo(path);
    if (!info) {
        const unsigned long error = ::GetLastError();
        if (meansMissing(error)) {
            return std::nullopt;
        }
        throwFailure(error, path);
    }
    FileStatus status = statusOf(*info);
    if (status.kind == FileKind::Folder) {
        if (const auto id = fileIdOf(path)) {
            status.id = *id;
        }
    }
    return status;
}

namespace {

// The path with every link on it resolved, as the system finally reaches it.
std::optional<std::string> finalPath(const std::string& path) {
    Handle entry(::CreateFileW(systemPath(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry.valid()) {
        return std::nullopt;
    }
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            entry.get(), name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
        if (length == 0) {
            return std::nullopt;
        }
        if (length < name.size()) {
            name.resize(length);
            // Back to the ordinary forms the path rules know.
            if (name.starts_with(L"\\\\?\\UNC\\")) {
                name = L"\\\\" + name.substr(8);
            } else if (name.starts_with(L"\\\\?\\")) {
                name.erase(0, 4);
            }
            return narrow(name);
        }
        name.resize(length + 1);
    }
}

} // namespace

bool folderLiesWithin(const std::string& path, const FileId& folder) {
    const auto resolved = path.find('\0') == std::string::npos ? finalPath(path) : std::nullopt;
    if (!resolved || !folderExists(*resolved)) {
        return false;
    }
    // Up from the resolved folder to the root, one name at a time.
    std::string step = *resolved;
    for (;;) {
        const auto id = fileIdOf(step);
        if (!id) {
            return false;
        }
        if (*id == folder) {
            return true;
        }
        const std::string parent = folderOfPath(step);
        if (parent == step || isRoot(step)) {
            return false;
        }
        step = parent;
    }
}

std::string entryName(const std::string& path) {
    std::string name = lastName(path);
    if (name == "." || name == "..") {
        name = lastName(absolutePath(path));
    }
    return name;
}

void createFolder(const std::string& path) {
    if (!::CreateDirectoryW(systemPath(path).c_str(), nullptr)) {
        throwLastFailure(path);
    }
}

// Here the saved attributes are the file's attribute bits.
std::optional<SavedAttributes> saveAttributes(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(systemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return SavedAttributes{attributes};
}

bool restoreAttributes(const std::string& path, const SavedAttributes& saved) {
    return ::SetFileAttributesW(systemPath(path).c_str(), saved.value) != 0;
}

bool setAttributesNormal(const std::string& path) {
    return ::SetFileAttributesW(systemPath(path).c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool setAttributesReadOnly(const std::string& path) {
    // Read-only alone: an archive or hidden mark the copy carried goes.
    return ::SetFileAttributesW(systemPath(path).c_str(), FILE_ATTRIBUTE_READONLY) != 0;
}

MarkOutcome markReadOnly(const std::string& path) {
    if (!setAttributesReadOnly(path)) {
        return MarkOutcome::Refused;
    }
    const DWORD attributes = ::GetFileAttributesW(systemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0
               ? MarkOutcome::Kept
               : MarkOutcome::Dropped;
}

void setModificationTime(const std::string& path, std::int64_t seconds, std::int32_t nanos) {
    Handle file(::CreateFileW(systemPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const FILETIME modified = fileTimeOfEpoch(seconds, nanos);
    if (!file.valid() || !::SetFileTime(file.get(), nullptr, nullptr, &modified)) {
        throwLastFailure(path);
    }
}

std::optional<ArchiveStatus> archiveStatus(const std::string& path, bool followLink) {
    std::optional<FileStatus> status;
    if (followLink) {
        unsigned long error = 0;
        status = followedStatus(path, error);
    } else {
        const auto info = entryInfo(path);
        if (info) {
            status = statusOf(*info);
        }
    }
    if (!status) {
        return std::nullopt;
    }
    ArchiveStatus found;
    found.status = *status;
    // The format keeps Unix modes; make one up from the kind and the
    // read-only attribute. Windows has no owner ids to record.
    const std::uint32_t write = status->readOnly ? 0 : 0200;
    switch (status->kind) {
    case FileKind::Folder:
        found.unixMode = 0040000 | 0555 | write;
        break;
    case FileKind::Link:
        found.unixMode = 0120000 | 0777;
        break;
    default:
        found.unixMode = 0100000 | 0444 | write;
        break;
    }
    return found;
}

} // namespace tolvane::platform
