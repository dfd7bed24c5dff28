#include "platform/posix/folder_reader.h"

#include "platform/posix/system_failure.h"
#include "platform/posix/system_path.h"

#include <cerrno>
#include <cstring>

namespace tolvane::platform {

FolderReader::FolderReader(const std::string& path) : path_(path) {
    dir_ = ::opendir(systemPath(path));
    if (dir_ == nullptr) {
        throwFailure(errno, path);
    }
}

FolderReader::~FolderReader() {
    if (dir_ != nullptr) {
        ::closedir(dir_);
    }
}

const dirent* FolderReader::next() {
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir_);
        if (entry == nullptr) {
            if (errno != 0) {
                throwFailure(errno, path_);
            }
            return nullptr;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        return entry;
    }
}

int FolderReader::fd() const {
    return ::dirfd(dir_);
}

} // namespace tolvane::platform
