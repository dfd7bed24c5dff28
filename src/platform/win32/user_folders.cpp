#include "platform/user_folders.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/temporary_file.h"
#include "platform/win32/wide.h"

#include <shlobj.h>
#include <windows.h>

namespace tolvane::platform {

std::string userConfigFolder() {
    // %APPDATA% as the user's session sets it, else where the system keeps it.
    DWORD needed = ::GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (needed > 1) {
        std::wstring value(needed, L'\0');
        const DWORD length = ::GetEnvironmentVariableW(L"APPDATA", value.data(), needed);
        if (length > 0 && length < needed) {
            value.resize(length);
            const std::string folder = narrow(value);
            if (!rootOf(folder).empty()) {
                return removeTrailingSeparators(folder);
            }
        }
    }
    wchar_t* known = nullptr;
    std::string folder;
    if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known) == S_OK) {
        folder = narrow(known);
    }
    ::CoTaskMemFree(known);
    return folder;
}

bool folderWritable(const std::string& path) {
    if (!folderExists(path)) {
        return false;
    }
    // The system's access rules are many; trying is the one sure answer.
    try {
        TemporaryFile probe = createTemporaryBeside(joinPath(path, "probe"));
        probe.handle.close();
        removeFile(probe.path);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

void createFolders(const std::string& path) {
    if (path.empty() || folderExists(path)) {
        return;
    }
    const std::string parent = folderOfPath(removeTrailingSeparators(path));
    if (parent != path && parent != "." && !isRoot(path)) {
        createFolders(parent);
    }
    if (!::CreateDirectoryW(systemPath(path).c_str(), nullptr)) {
        const unsigned long error = ::GetLastError();
        // A file of that name shows when the level below it is made.
        if (error != ERROR_ALREADY_EXISTS) {
            throwFailure(error, path);
        }
    }
}

} // namespace tolvane::platform
