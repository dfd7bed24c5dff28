#include "platform/disk_flush.h"

#include "platform/posix/descriptor.h"
#include "platform/posix/system_failure.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tolvane::platform {

void flushFileSystem(const std::string& folder) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        throwFailure(errno, folder);
    }
    // One call for the whole file system: far cheaper than flushing each
    // copy, and it reports a write-back error any of them met.
    if (::syncfs(fd.get()) != 0) {
        throwFailure(errno, folder);
    }
}

} // namespace tolvane::platform
