#include "platform/files.h"
#include "platform/paths.h"
#include "platform/temporaries.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/temporary_file.h"
#include "platform/win32/volume_kind.h"
#include "platform/win32/wide.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>
#include <winioctl.h>

namespace tolvane::platform {

namespace {

// The reparse data of a symbolic link or junction, as the system hands it
// out (the declaration lives in the driver kit, not in the SDK headers).
struct ReparseData {
    ULONG tag;
    USHORT dataLength;
    USHORT reserved;
    USHORT substituteOffset;
    USHORT substituteLength;
    USHORT printOffset;
    USHORT printLength;
};

bool copyWhole(const std::wstring& from, const std::wstring& to) {
    BOOL cancel = FALSE;
    return ::CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, &cancel,
                         COPY_FILE_FAIL_IF_EXISTS) != 0;
}

bool exists(unsigned long error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

bool noRoomFor(unsigned long error) {
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

// Failures of a temporary beside the old copy that writing over the old
// copy may not meet: a folder that takes no new files, room for one version.
bool inPlaceMayWork(unsigned long error) {
    return error == ERROR_ACCESS_DENIED || noRoomFor(error);
}

bool sameVersion(const EntryInfo& a, const EntryInfo& b) {
    return a.size == b.size && a.modified.dwLowDateTime == b.modified.dwLowDateTime &&
           a.modified.dwHighDateTime == b.modified.dwHighDateTime;
}

// Sets the copy's modification time one second before `source`'s, so the
// next run takes it for out of date.
void markOutOfDate(const std::wstring& copy, const FILETIME& source) {
    Handle file(::CreateFileW(copy.c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return;
    }
    ULARGE_INTEGER ticks{};
    ticks.LowPart = source.dwLowDateTime;
    ticks.HighPart = source.dwHighDateTime;
    ticks.QuadPart -= 10000000;
    const FILETIME earlier{ticks.LowPart, ticks.HighPart};
    ::SetFileTime(file.get(), nullptr, nullptr, &earlier);
}

// Copies `from` to the new name `to` (the system removes a copy it could not
// finish). A source that changes while it is read is copied again; one that
// keeps changing leaves a copy whose time differs from the source's.
// 0 or the failure's number.
unsigned long copySettled(const std::string& from, const std::wstring& to) {
    const std::wstring wideFrom = systemPath(from);
    auto before = entryInfo(from);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!copyWhole(wideFrom, to)) {
            return ::GetLastError();
        }
        const auto after = entryInfo(from);
        if (!before || !after || sameVersion(*before, *after)) {
            return 0;
        }
        before = after;
        ::SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(to.c_str())) {
            return ::GetLastError();
        }
    }
    if (!copyWhole(wideFrom, to)) {
        return ::GetLastError();
    }
    if (const auto after = entryInfo(from)) {
        const DWORD attributes = ::GetFileAttributesW(to.c_str());
        ::SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
        markOutOfDate(to, after->modified);
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            ::SetFileAttributesW(to.c_str(), attributes);
        }
    }
    return 0;
}

// Whether the volume holding `path` writes new blocks before it lets the old
// ones go (ReFS), so an overwrite in place needs as much room as a new copy.
bool copiesOnWrite(const std::wstring& path) {
    const auto name = fileSystemNameOf(path);
    return !name || *name == L"ReFS"; // unknown: count nothing as freed
}

// The old copy overwritten in place, for when no new file can go beside it.
// The volume must have room for the whole new content in what this user may
// still write plus what the old copy frees; otherwise it fails with the old
// copy untouched.
void overwriteInPlace(const std::string& from, const std::string& to) {
    const auto source = entryInfo(from);
    const auto old = entryInfo(to);
    if (!source || !old) {
        throwFailure(ERROR_FILE_NOT_FOUND, !source ? from : to);
    }
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(systemPath(folderOfPath(to)).c_str(), &available, nullptr,
                               nullptr)) {
        throwLastFailure(to);
    }
    // Some room more for the file system's own bookkeeping.
    const auto length = static_cast<std::uint64_t>(source->size);
    const std::uint64_t needed = length + length / 128 + 64 * 1024;
    const std::uint64_t freed =
        copiesOnWrite(systemPath(to)) ? 0 : static_cast<std::uint64_t>(old->size);
    if (needed > available.QuadPart + freed) {
        throwFailure(ERROR_DISK_FULL, to);
    }
    Handle in(::CreateFileW(systemPath(from).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in.valid()) {
        throwLastFailure(from);
    }
    const std::wstring wideTo = systemPath(to);
    if (old->attributes & FILE_ATTRIBUTE_READONLY) {
        ::SetFileAttributesW(wideTo.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    Handle out(::CreateFileW(wideTo.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid()) {
        const unsigned long error = ::GetLastError();
        ::SetFileAttributesW(wideTo.c_str(), old->attributes);
        throwFailure(error, to);
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                        nullptr)) {
            throwLastFailure(from);
        }
        if (got == 0) {
            break;
        }
        for (DWORD done = 0; done < got;) {
            DWORD written = 0;
            if (!::WriteFile(out.get(), buffer.data() + done, got - done, &written, nullptr)) {
                throwLastFailure(to);
            }
            done += written;
        }
    }
    // Last, so no later write moves the time again.
    FILETIME modified{};
    const bool dated = ::GetFileTime(in.get(), nullptr, nullptr, &modified) &&
                       ::SetFileTime(out.get(), nullptr, nullptr, &modified);
    if (const unsigned long error = out.close(); error != 0 || !dated) {
        throwFailure(error != 0 ? error : ::GetLastError(), to);
    }
    ::SetFileAttributesW(wideTo.c_str(),
                         source->attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT));
}

} // namespace

void copyFile(const std::string& from, const std::string& to) {
    const auto source = entryInfo(from);
    if (!source) {
        throwLastFailure(from);
    }
    if (!fileExists(from)) {
        throw Failure::invalidArgument("Not a regular file: " + from);
    }
    // A source another program holds without read sharing fails here, on
    // its own name, rather than inside the copy, where it would look like
    // a failure of the copy.
    {
        const Handle probe(::CreateFileW(systemPath(from).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe.valid()) {
            throwLastFailure(from);
        }
    }
    const std::wstring wideTo = systemPath(to);
    removeStaleTemporariesOnce(folderOfPath(to));

    // New or not, the copy is written to a temporary name beside its place
    // and moved there only when complete, so no kill leaves a half-written
    // file under the copy's name. Where that cannot work and an old copy
    // exists, the old copy is overwritten in place instead. The copy carries
    // the content, the attributes and the times.
    const auto old = entryInfo(to);
    const bool oldIsFile = old && kindOf(old->attributes, old->reparseTag) == FileKind::File;
    std::string temp;
    for (int attempt = 0;; ++attempt) {
        temp = temporaryNameBeside(to);
        const unsigned long failed = copySettled(from, systemPath(temp));
        if (failed == 0) {
            break;
        }
        if (exists(failed) && attempt < 100) {
            continue;
        }
        removeFile(temp);
        if (oldIsFile && inPlaceMayWork(failed)) {
            overwriteInPlace(from, to);
            return;
        }
        throwFailure(failed, to);
    }
    // A read-only old copy would refuse to be replaced; it loses the mark
    // only for the swap, and gets it back should the swap fail.
    const DWORD oldAttributes = ::GetFileAttributesW(wideTo.c_str());
    const bool oldReadOnly =
        oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_READONLY);
    if (oldReadOnly) {
        ::SetFileAttributesW(wideTo.c_str(),
                             oldAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (!::MoveFileExW(systemPath(temp).c_str(), wideTo.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const unsigned long failed = ::GetLastError();
        if (oldReadOnly) {
            ::SetFileAttributesW(wideTo.c_str(), oldAttributes);
        }
        // The temporary copy may carry the read-only mark of its source.
        ::SetFileAttributesW(systemPath(temp).c_str(), FILE_ATTRIBUTE_NORMAL);
        removeFile(temp);
        throwFailure(failed, to);
    }
}

std::string readLink(const std::string& path) {
    Handle link(::CreateFileW(systemPath(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!link.valid()) {
        throwLastFailure(path);
    }
    std::vector<unsigned char> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD got = 0;
    if (!::DeviceIoControl(link.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                           static_cast<DWORD>(buffer.size()), &got, nullptr)) {
        throwLastFailure(path);
    }
    ReparseData head{};
    if (got < sizeof head) {
        throwFailure(ERROR_INVALID_REPARSE_DATA, path);
    }
    std::memcpy(&head, buffer.data(), sizeof head);
    // A symbolic link carries a flags word before its names; a junction not.
    std::size_t names = sizeof head;
    if (head.tag == IO_REPARSE_TAG_SYMLINK) {
        names += sizeof(ULONG);
    } else if (head.tag != IO_REPARSE_TAG_MOUNT_POINT) {
        throwFailure(ERROR_NOT_A_REPARSE_POINT, path);
    }
    // The name as it was given (the print name), else the substitute one.
    USHORT offset = head.printOffset;
    USHORT length = head.printLength;
    if (length == 0) {
        offset = head.substituteOffset;
        length = head.substituteLength;
    }
    if (names + offset + length > got) {
        throwFailure(ERROR_INVALID_REPARSE_DATA, path);
    }
    std::wstring target(length / sizeof(wchar_t), L'\0');
    std::memcpy(target.data(), buffer.data() + names + offset, length);
    std::string text = narrow(target);
    if (text.starts_with("\\??\\")) {
        text.erase(0, 4);
    }
    return text;
}

void copyLink(const std::string& from, const std::string& to) {
    const std::string target = readLink(from);
    const bool toFolder = folderExists(from);
    for (int attempt = 0;; ++attempt) {
        const std::string temp = temporaryNameBeside(to);
        DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
        if (toFolder) {
            flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
        }
        if (!::CreateSymbolicLinkW(widen(temp).c_str(), widen(target).c_str(), flags)) {
            const unsigned long error = ::GetLastError();
            if ((error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) && attempt < 100) {
                continue;
            }
            throwFailure(error, to);
        }
        if (!::MoveFileExW(systemPath(temp).c_str(), systemPath(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING)) {
            const unsigned long error = ::GetLastError();
            removeFile(temp);
            throwFailure(error, to);
        }
        return;
    }
}

} // namespace tolvane::platform
