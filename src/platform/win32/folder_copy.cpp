#include "platform/folder_copy_steps.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace tolvane::platform {

FileId openFolderCopy(const std::string& from, const std::string& to) {
    if (!folderExists(from)) {
        const auto there = linkStatus(from);
        throwFailure(there ? ERROR_DIRECTORY : ERROR_PATH_NOT_FOUND, from);
    }
    if (!::CreateDirectoryW(systemPath(to).c_str(), nullptr)) {
        const unsigned long error = ::GetLastError();
        const auto there = linkStatus(to);
        if (error != ERROR_ALREADY_EXISTS || !there || there->kind != FileKind::Folder) {
            throwFailure(error, to);
        }
    }
    return fileStatus(from).id;
}

void finishFolderCopy(const std::string& from, const std::string& to) {
    // The folder keeps its attributes but never read-only.
    if (const auto saved = saveAttributes(from)) {
        constexpr DWORD kDropped = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT;
        restoreAttributes(to, {saved->value & ~kDropped});
    }
}

} // namespace tolvane::platform
