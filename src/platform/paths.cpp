#include "platform/paths.h"

namespace tolvane::platform {

std::size_t nextSeparator(const std::string& path, std::size_t from) {
    for (std::size_t at = from; at < path.size(); ++at) {
        if (isSeparator(path[at])) {
            return at;
        }
    }
    return std::string::npos;
}

bool isRoot(const std::string& path) {
    return !path.empty() && path == rootOf(path);
}

bool destinationNotSpecified(const std::string& destination) {
    return destination.empty();
}

std::string trimOneTrailingSeparator(const std::string& path) {
    if (path.size() > rootOf(path).size() && isSeparator(path.back())) {
        return path.substr(0, path.size() - 1);
    }
    return path;
}

std::string removeTrailingSeparators(const std::string& path) {
    std::string result = path;
    const std::size_t keep = rootOf(path).size();
    while (result.size() > keep && isSeparator(result.back())) {
        result.pop_back();
    }
    return result;
}

std::string lastName(const std::string& path) {
    const std::string trimmed = removeTrailingSeparators(path);
    if (isRoot(trimmed)) {
        return {};
    }
    for (std::size_t at = trimmed.size(); at > 0; --at) {
        if (isSeparator(trimmed[at - 1])) {
            return trimmed.substr(at);
        }
    }
    return trimmed;
}

std::string folderOfPath(const std::string& path) {
    const std::string root = rootOf(path);
    for (std::size_t at = path.size(); at > 0; --at) {
        if (isSeparator(path[at - 1])) {
            return at - 1 < root.size() ? root : path.substr(0, at - 1);
        }
    }
    return ".";
}

} // namespace tolvane::platform
