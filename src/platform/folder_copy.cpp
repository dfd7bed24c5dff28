#include "platform/files.h"
#include "platform/folder_copy_steps.h"
#include "platform/paths.h"

#include <algorithm>

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
    const FolderCopyEvents& events;

    void copy(const std::string& from, const std::string& to, bool top) {
        const FileId source = openFolderCopy(from, to);
        if (top) {
            // The copy may lie inside its own source; never copy it into itself.
            excluded.push_back(fileStatus(to).id);
        }
        onPath.push_back(source);
        std::vector<FolderEntry> entries = listFolder(from);
        if (events.sortOut) {
            events.sortOut(from, to, entries);
        }
        for (const FolderEntry& entry : entries) {
            const std::string sourcePath = joinPath(from, entry.name);
            const std::string copyPath = joinPath(to, entry.name);
            try {
                copyEntry(entry, sourcePath, copyPath);
            } catch (const Failure& failure) {
                if (!events.failed) {
                    throw;
                }
                events.failed(entry.kind, sourcePath, copyPath, failure);
            }
        }
        onPath.pop_back();
        finishFolderCopy(from, to);
    }

    void copyEntry(const FolderEntry& entry, const std::string& from, const std::string& to) {
        switch (entry.kind) {
        case FileKind::File:
        case FileKind::Link:
            if (events.beforeFile) {
                events.beforeFile();
            }
            if (entry.kind == FileKind::File) {
                copyFile(from, to);
            } else {
                copyLink(from, to);
            }
            if (events.copied) {
                events.copied();
            }
            break;
        case FileKind::Folder:
            if (!contains(excluded, entry.id) && !contains(onPath, entry.id)) {
                copy(from, to, false);
            }
            break;
        case FileKind::Other:
            break;
        }
    }
};

} // namespace

void copyFolder(const std::string& from, const std::string& to,
                const std::vector<std::string>& excluded, const FolderCopyEvents& events) {
    TreeCopy tree{{}, {}, events};
    for (const std::string& path : excluded) {
        if (folderExists(path)) {
            tree.excluded.push_back(fileStatus(path).id);
        }
    }
    tree.copy(from, to, true);
}

} // namespace tolvane::platform
