#include "platform/paths.h"

#include "platform/posix/system_failure.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace tolvane::platform {

namespace {

constexpr char kSeparator = '/';

std::string currentFolder() {
    char* folder = ::getcwd(nullptr, 0);
    if (folder == nullptr) {
        throwFailure(errno, ".");
    }
    std::string result(folder);
    std::free(folder);
    return result;
}

} // namespace

bool isSeparator(char c) {
    return c == kSeparator;
}

std::string rootOf(const std::string& path) {
    return !path.empty() && path[0] == kSeparator ? std::string(1, kSeparator) : std::string();
}

std::string driveOf(const std::string& path) {
    const std::string root = rootOf(path);
    return root.empty() ? path.substr(0, nextSeparator(path)) : root;
}

bool driveExists(const std::string& drive) {
    return isRoot(drive);
}

bool samePath(const std::string& a, const std::string& b) {
    return a == b;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && isSeparator(folder.back())) {
        return folder + name;
    }
    return folder + kSeparator + name;
}

std::string absolutePath(const std::string& path) {
    const std::string full = rootOf(path).empty() ? joinPath(currentFolder(), path) : path;
    std::vector<std::string> names;
    for (std::size_t start = 1; start <= full.size();) {
        std::size_t end = nextSeparator(full, start);
        if (end == std::string::npos) {
            end = full.size();
        }
        const std::string name = full.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::string result(1, kSeparator);
    for (const std::string& name : names) {
        result = joinPath(result, name);
    }
    return result;
}

std::string readTypedPath(const std::string& path) {
    return path;
}

} // namespace tolvane::platform
