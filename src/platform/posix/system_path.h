#pragma once

#include "platform/posix/system_failure.h"

#include <cerrno>
#include <string>

namespace tolvane::platform {

// The system calls read a path up to its first NUL, so a text holding one
// would name another entry than the one meant.
inline bool holdsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

// The path as the system calls take it; a path holding a NUL is refused.
inline const char* systemPath(const std::string& path) {
    if (holdsNul(path)) {
        throwFailure(EINVAL, path);
    }
    return path.c_str();
}

} // namespace tolvane::platform
