#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/system_failure.h"
#include "platform/posix/system_path.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace tolvane::platform {

namespace {

using Folders = std::vector<FileId>;

bool contains(const Folders& folders, const FileId& id) {
    return std::find(folders.begin(), folders.end(), id) != folders.end();
}

struct TreeCopy {
    Folders excluded;
    // The source folders from the top down to the one being copied: one met
    // again below itself (a mount of a folder inside itself) is not entered.
    Folders onPath;
    const std::function<void()>& beforeFile;

    void copy(const std::string& from, const std::string& to, bool top) {
        struct stat source {};
        if (::stat(systemPath(from), &source) != 0) {
            throwFailure(errno, from);
        }
        if (!S_ISDIR(source.st_mode)) {
            throwFailure(ENOTDIR, from);
        }
        if (::mkdir(systemPath(to), 0700) != 0) {
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
        onPath.push_back(
            {static_cast<std::uint64_t>(source.st_dev), static_cast<std::uint64_t>(source.st_ino)});
        for (const FolderEntry& entry : listFolder(from)) {
            const std::string source_path = joinPath(from, entry.name);
            const std::string copy_path = joinPath(to, entry.name);
            switch (entry.kind) {
            case FileKind::File:
                announceFile();
                copyFile(source_path, copy_path);
                break;
            case FileKind::Link:
                announceFile();
                copyLink(source_path, copy_path);
                break;
            case FileKind::Folder:
                if (!contains(excluded, entry.id) && !contains(onPath, entry.id)) {
                    copy(source_path, copy_path, false);
                }
                break;
            case FileKind::Other:
                break;
            }
        }
        onPath.pop_back();
        // The folder keeps its mode, but its owner can always add to it, so the
        // next run can bring it up to date.
        ::chmod(to.c_str(), (source.st_mode & 07777) | S_IRWXU);
    }

    void announceFile() const {
        if (beforeFile) {
            beforeFile();
        }
    }
};

} // namespace

void copyFolder(const std::string& from, const std::string& to,
                const std::vector<std::string>& excluded, const std::function<void()>& beforeFile) {
    TreeCopy tree{{}, {}, beforeFile};
    for (const std::string& path : excluded) {
        if (folderExists(path)) {
            tree.excluded.push_back(fileStatus(path).id);
        }
    }
    tree.copy(from, to, true);
}

} // namespace tolvane::platform
