#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/system_failure.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::platform {

namespace {

void removeFolder(const std::string& path, mode_t mode) {
    // Without write and search permission its entries could not go.
    if ((mode & S_IRWXU) != S_IRWXU && ::chmod(path.c_str(), mode | S_IRWXU) != 0) {
        throwFailure(errno, path);
    }
    for (const std::string& name : listFolderNames(path)) {
        removeTree(joinPath(path, name));
    }
    if (::rmdir(path.c_str()) != 0) {
        throwFailure(errno, path);
    }
}

} // namespace

void removeTree(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return;
        }
        throwFailure(errno, path);
    }
    if (S_ISDIR(st.st_mode)) {
        removeFolder(path, st.st_mode);
    } else if (!removeFile(path)) {
        throwFailure(errno, path);
    }
}

} // namespace tolvane::platform
