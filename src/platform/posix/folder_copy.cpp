#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/system_failure.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace tolvane::platform {

namespace {

using Excluded = std::vector<FileId>;

bool isExcluded(const Excluded& excluded, const FileId& id) {
    return std::find(excluded.begin(), excluded.end(), id) != excluded.end();
}

void copyTree(const std::string& from, const std::string& to, Excluded& excluded, bool top) {
    struct stat source {};
    if (::stat(from.c_str(), &source) != 0) {
        throwFailure(errno, from);
    }
    if (!S_ISDIR(source.st_mode)) {
        throwFailure(ENOTDIR, from);
    }
    if (::mkdir(to.c_str(), 0700) != 0) {
        const int error = errno;
        const auto there = linkStatus(to);
        if (error != EEXIST || !there || there->kind != FileKind::Folder) {
            throwFailure(error, to);
        }
    }
    if (top) {
        // The copy may lie inside its own source; never copy it into itself.
        excluded.push_back(fileStatus(to).id);
    }
    for (const FolderEntry& entry : listFolder(from)) {
        const std::string source_path = joinPath(from, entry.name);
        const std::string copy_path = joinPath(to, entry.name);
        switch (entry.kind) {
        case FileKind::File:
            copyFile(source_path, copy_path);
            break;
        case FileKind::Link:
            copyLink(source_path, copy_path);
            break;
        case FileKind::Folder:
            if (!isExcluded(excluded, entry.id)) {
                copyTree(source_path, copy_path, excluded, false);
            }
            break;
        case FileKind::Other:
            break;
        }
    }
    // The folder keeps its mode, but its owner can always add to it, so the
    // next run can bring it up to date.
    ::chmod(to.c_str(), (source.st_mode & 07777) | S_IRWXU);
}

} // namespace

void copyFolder(const std::string& from, const std::string& to,
                const std::vector<std::string>& excluded) {
    Excluded ids;
    for (const std::string& path : excluded) {
        if (folderExists(path)) {
            ids.push_back(fileStatus(path).id);
        }
    }
    copyTree(from, to, ids, true);
}

} // namespace tolvane::platform
