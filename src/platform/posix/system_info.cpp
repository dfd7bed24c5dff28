#include "platform/system_info.h"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::platform {

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

} // namespace

const std::vector<std::string>& systemInfoCandidates() {
    static const std::vector<std::string> candidates = {
        "hardinfo2",
        "hardinfo",
        "kinfocenter",
        "gnome-system-monitor",
        "plasma-systemmonitor",
        "mate-system-monitor",
        "xfce4-taskmanager",
        "lxtask",
    };
    return candidates;
}

std::string findOnSearchPath(const std::string& name, const std::string& searchPath) {
    if (name.empty() || name.find('/') != std::string::npos) {
        return {};
    }
    std::string::size_type start = 0;
    for (;;) {
        const auto end = searchPath.find(':', start);
        const std::string_view folder =
            std::string_view(searchPath)
                .substr(start, end == std::string::npos ? end : end - start);
        std::string candidate(folder.empty() ? std::string_view(".") : folder);
        candidate += '/';
        candidate += name;
        if (isExecutableFile(candidate)) {
            return candidate;
        }
        if (end == std::string::npos) {
            return {};
        }
        start = end + 1;
    }
}

std::string findSystemInfoProgram() {
    const char* path = std::getenv("PATH");
    if (path == nullptr) {
        return {};
    }
    for (const std::string& name : systemInfoCandidates()) {
        std::string found = findOnSearchPath(name, path);
        if (!found.empty()) {
            return found;
        }
    }
    return {};
}

} // namespace tolvane::platform
