#include "platform/files.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

namespace tolvane::platform {

void renameReplacing(const std::string& from, const std::string& to) {
    if (!::MoveFileExW(systemPath(from).c_str(), systemPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throwLastFailure(to);
    }
}

bool syncFolder(const std::string& folder) {
    // MOVEFILE_WRITE_THROUGH has already made the rename durable; a folder
    // cannot be flushed by itself here.
    return folderExists(folder.empty() ? "." : folder);
}

bool removeFile(const std::string& path) noexcept {
    try {
        const std::wstring wide = systemPath(path);
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return meansMissing(::GetLastError());
        }
        // A link to a folder is itself a folder entry and goes as one.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            return ::RemoveDirectoryW(wide.c_str()) != 0;
        }
        // The read-only mark guards the content, not the name: as on POSIX,
        // the file still goes.
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            ::SetFileAttributesW(wide.c_str(),
                                 attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
        }
        if (::DeleteFileW(wide.c_str())) {
            return true;
        }
        const unsigned long error = ::GetLastError();
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            ::SetFileAttributesW(wide.c_str(), attributes);
        }
        return meansMissing(error);
    } catch (...) {
        return false;
    }
}

} // namespace tolvane::platform
