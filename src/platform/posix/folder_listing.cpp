#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/folder_reader.h"
#include "platform/posix/system_failure.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace tolvane::platform {

std::vector<FolderEntry> listFolder(const std::string& path) {
    FolderReader reader(path);
    std::vector<FolderEntry> entries;
    while (const dirent* entry = reader.next()) {
        unsigned char type = entry->d_type;
        struct stat st {};
        bool haveStatus = false;
        // Folders need their identity; unknown types need a look.
        if (type == DT_DIR || type == DT_UNKNOWN) {
            if (::fstatat(reader.fd(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno == ENOENT) {
                    continue; // gone since the folder was read
                }
                throwFailure(errno, joinPath(path, entry->d_name));
            }
            haveStatus = true;
            type = IFTODT(st.st_mode);
        }
        FolderEntry item;
        item.name = entry->d_name;
        switch (type) {
        case DT_REG:
            item.kind = FileKind::File;
            break;
        case DT_DIR:
            item.kind = FileKind::Folder;
            break;
        case DT_LNK:
            item.kind = FileKind::Link;
            break;
        default:
            continue; // sockets, pipes and devices are not copied
        }
        if (haveStatus) {
            item.id = {static_cast<std::uint64_t>(st.st_dev),
                       static_cast<std::uint64_t>(st.st_ino)};
        }
        entries.push_back(std::move(item));
    }
    return entries;
}

std::vector<std::string> listFolderNames(const std::string& path) {
    FolderReader reader(path);
    std::vector<std::string> names;
    while (const dirent* entry = reader.next()) {
        names.emplace_back(entry->d_name);
    }
    return names;
}

} // namespace tolvane::platform
