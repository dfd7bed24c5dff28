#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <functional>

namespace tolvane::platform {

namespace {

using Excluded = std::vector<FileId>;

bool isExcluded(const Excluded& excluded, const FileId& id) {
    return std::find(excluded.begin(), excluded.end(), id) != excluded.end();
}

// `ancestors`: the folders being copied above this one, so a folder met
// again below itself is not entered.
void copyTree(const std::string& from, const std::string& to, Excluded& excluded,
              Excluded& ancestors, const std::function<void()>& beforeFile, bool top) {
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
    if (top) {
        // The copy may lie inside its own source; never copy it into itself.
        excluded.push_back(fileStatus(to).id);
    }
    ancestors.push_back(fileStatus(from).id);
    for (const FolderEntry& entry : listFolder(from)) {
        const std::string sourcePath = joinPath(from, entry.name);
        const std::string copyPath = joinPath(to, entry.name);
        switch (entry.kind) {
        case FileKind::File:
            if (beforeFile) {
                beforeFile();
            }
            copyFile(sourcePath, copyPath);
            break;
        case FileKind::Link:
            if (beforeFile) {
                beforeFile();
            }
            copyLink(sourcePath, copyPath);
            break;
        case FileKind::Folder:
            if (!isExcluded(excluded, entry.id) && !isExcluded(ancestors, entry.id)) {
                copyTree(sourcePath, copyPath, excluded, ancestors, beforeFile, false);
            }
            break;
        case FileKind::Other:
            break;
        }
    }
    ancestors.pop_back();
    // The folder keeps its attributes but never read-only, so the next run
    // can bring it up to date.
    if (const auto saved = saveAttributes(from)) {
        constexpr DWORD kDropped = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT;
        restoreAttributes(to, {saved->value & ~kDropped});
    }
}

} // namespace

void copyFolder(const std::string& from, const std::string& to,
                const std::vector<std::string>& excluded, const std::function<void()>& beforeFile) {
    Excluded ids;
    for (const std::string& path : excluded) {
        if (folderExists(path)) {
            ids.push_back(fileStatus(path).id);
        }
    }
    Excluded ancestors;
    copyTree(from, to, ids, ancestors, beforeFile, true);
}

} // namespace tolvane::platform
