#include "platform/executable.h"

#include "platform/posix_failure.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace tolvane::platform {

namespace {

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

} // namespace

std::string baseNameOfPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // A leading dot starts a hidden name, not an extension.
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

std::string executableFolder() {
    return folderOfPath(executablePath());
}

std::string executableBaseName() {
    return baseNameOfPath(executablePath());
}

} // namespace tolvane::platform
