#include "platform/files.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/system_failure.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tolvane::platform {

void renameReplacing(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        throwFailure(errno, to);
    }
}

bool syncFolder(const std::string& folder) {
    Descriptor fd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    const bool synced = ::fsync(fd.get()) == 0;
    return fd.close() == 0 && synced;
}

bool removeFile(const std::string& path) noexcept {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

} // namespace tolvane::platform
