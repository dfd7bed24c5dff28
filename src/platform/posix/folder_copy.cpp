#include "platform/folder_copy_steps.h"
#include "platform/posix/system_failure.h"
#include "platform/posix/system_path.h"

#include <cerrno>
#include <sys/stat.h>

namespace tolvane::platform {

FileId openFolderCopy(const std::string& from, const std::string& to) {
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
            throwNamingFailure(error, to);
        }
    }
    return {static_cast<std::uint64_t>(source.st_dev), static_cast<std::uint64_t>(source.st_ino)};
}

void finishFolderCopy(const std::string& from, const std::string& to) {
    struct stat source {};
    if (::stat(systemPath(from), &source) == 0) {
        ::chmod(systemPath(to), (source.st_mode & 07777) | S_IRWXU);
    }
}

} // namespace tolvane::platform
