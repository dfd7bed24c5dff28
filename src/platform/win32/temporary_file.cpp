#include "platform/win32/temporary_file.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/temporaries.h"
#include "platform/temporary_names.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

#include <optional>

namespace tolvane::platform {

namespace {

// A writer marks its temporary as held with a lock on one byte far beyond
// any content, so readers of the file never meet it.
constexpr DWORD kHeldByteHigh = 0x40000000;

bool lockHeldByte(HANDLE file) {
    OVERLAPPED at{};
    at.OffsetHigh = kHeldByteHigh;
    return ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

void unlockHeldByte(HANDLE file) {
    OVERLAPPED at{};
    at.OffsetHigh = kHeldByteHigh;
    ::UnlockFileEx(file, 0, 1, 0, &at);
}

// The writer's process id a temporary's name carries.
std::optional<DWORD> writerOf(const std::string& name) {
    const auto process = temporaryWriterOf(name);
    if (!process) {
        return std::nullopt;
    }
    return static_cast<DWORD>(*process);
}

bool processAlive(DWORD process) {
    const HANDLE handle = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (handle == nullptr) {
        // Access denied: it exists, it is only someone else's.
        return ::GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const bool running = !::GetExitCodeProcess(handle, &code) || code == STILL_ACTIVE;
    ::CloseHandle(handle);
    return running;
}

bool staleTemporary(const std::string& path) {
    const auto writer = writerOf(lastName(path));
    // Our own number: either ours in the making or an earlier process's,
    // which a later run removes.
    if (!writer || *writer == ::GetCurrentProcessId() || processAlive(*writer)) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(systemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return true; // a link temporary holds no lock
    }
    // A writer holds its file open either without letting it be deleted or
    // with its held byte locked; either says it is at work.
    const HANDLE file = ::CreateFileW(systemPath(path).c_str(), GENERIC_READ | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // Otherwise unreadable to us: the dead writer's number decides.
        return ::GetLastError() != ERROR_SHARING_VIOLATION;
    }
    const bool free = lockHeldByte(file);
    if (free) {
        unlockHeldByte(file);
    }
    ::CloseHandle(file);
    return free;
}

} // namespace

std::string temporaryNameBeside(const std::string& target) {
    return temporaryNameIn(folderOfPath(target), ::GetCurrentProcessId());
}

TemporaryFile createTemporaryBeside(const std::string& target) {
    // A name left by an earlier process of the same number is stepped over.
    for (int attempt = 0;; ++attempt) {
        std::string path = temporaryNameBeside(target);
        Handle file(::CreateFileW(systemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) {
            // Held until the handle closes, so no cleaner takes the file for
            // a leftover even if the process number says otherwise (a writer
            // on another machine sharing the folder).
            lockHeldByte(file.get());
            return {std::move(file), std::move(path)};
        }
        const unsigned long error = ::GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt >= 100) {
            throwFailure(error, target);
        }
    }
}

bool isStaleTemporary(const std::string& path) noexcept {
    try {
        return staleTemporary(path);
    } catch (...) {
        return false;
    }
}

std::size_t removeStaleTemporaries(const std::string& folder) noexcept {
    std::size_t removed = 0;
    try {
        WIN32_FIND_DATAW found{};
        const HANDLE search =
            ::FindFirstFileExW(systemPath(joinPath(folder, "*")).c_str(), FindExInfoBasic, &found,
                               FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE) {
            return 0;
        }
        do {
            const std::string name = narrow(found.cFileName);
            if (!isTemporaryName(name)) {
                continue;
            }
            const std::string path = joinPath(folder, name);
            if (isStaleTemporary(path) && removeFile(path)) {
                ++removed;
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    } catch (...) {
    }
    return removed;
}

} // namespace tolvane::platform
