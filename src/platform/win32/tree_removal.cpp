#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

namespace tolvane::platform {

void removeTree(const std::string& path) {
    const auto info = entryInfo(path);
    if (!info) {
        const unsigned long error = ::GetLastError();
        if (meansMissing(error)) {
            return;
        }
        throwFailure(error, path);
    }
    const std::wstring wide = systemPath(path);
    // A read-only entry cannot be removed until the mark is gone.
    if (info->attributes & FILE_ATTRIBUTE_READONLY) {
        if (!::SetFileAttributesW(wide.c_str(), info->attributes &
                                                    ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
            throwLastFailure(path);
        }
    }
    if (info->attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A link or junction to a folder goes by itself; what it leads to
        // is never entered.
        if (!(info->attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            for (const std::string& name : listFolderNames(path)) {
                removeTree(joinPath(path, name));
            }
        }
        if (!::RemoveDirectoryW(wide.c_str())) {
            throwLastFailure(path);
        }
    } else if (!::DeleteFileW(wide.c_str())) {
        throwLastFailure(path);
    }
}

} // namespace tolvane::platform
