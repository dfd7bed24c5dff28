#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/temporary_file.h"
#include "platform/win32/wide.h"

#include <cstring>
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

} // namespace

void copyFile(const std::string& from, const std::string& to) {
    const auto source = entryInfo(from);
    if (!source) {
        throwLastFailure(from);
    }
    if (!fileExists(from)) {
        throw Failure::invalidArgument("Not a regular file: " + from);
    }
    const std::wstring wideFrom = systemPath(from);
    const std::wstring wideTo = systemPath(to);

    // With no old copy the file is written under its own name (the system
    // removes a copy it could not finish). Otherwise it goes to a temporary
    // name and replaces the old copy only when complete. The copy carries the
    // content, the attributes and the times.
    if (copyWhole(wideFrom, wideTo)) {
        return;
    }
    const unsigned long error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
        throwFailure(error, to);
    }
    std::string temp;
    for (int attempt = 0;; ++attempt) {
        temp = temporaryNameBeside(to);
        if (copyWhole(wideFrom, systemPath(temp))) {
            break;
        }
        const unsigned long failed = ::GetLastError();
        if ((failed != ERROR_FILE_EXISTS && failed != ERROR_ALREADY_EXISTS) || attempt >= 100) {
            removeFile(temp);
            throwFailure(failed, to);
        }
    }
    // A read-only old copy would refuse to be replaced; it loses the mark
    // only for the swap, and gets it back should the swap fail.
    const DWORD old = ::GetFileAttributesW(wideTo.c_str());
    const bool oldReadOnly = old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY);
    if (oldReadOnly) {
        ::SetFileAttributesW(wideTo.c_str(), old & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (!::MoveFileExW(systemPath(temp).c_str(), wideTo.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const unsigned long failed = ::GetLastError();
        if (oldReadOnly) {
            ::SetFileAttributesW(wideTo.c_str(), old);
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
