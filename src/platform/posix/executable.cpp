#include "platform/executable.h"

#include "platform/posix/system_failure.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace tolvane::platform {

std::string executablePath() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length < 0) {
        throwFailure(errno, "/proc/self/exe");
    }
    if (static_cast<std::size_t>(length) >= sizeof buffer) {
        throwFailure(ENAMETOOLONG, "/proc/self/exe");
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

} // namespace tolvane::platform
