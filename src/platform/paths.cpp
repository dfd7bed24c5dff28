#include "platform/paths.h"

namespace tolvane::platform {

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == separator) {
        return folder + name;
    }
    return folder + separator + name;
}

bool isRoot(const std::string& path) {
    return path.size() == 1 && path[0] == separator;
}

std::string driveOf(const std::string& path) {
    if (!path.empty() && path[0] == separator) {
        return std::string(1, separator);
    }
    return path.substr(0, path.find(separator));
}

bool driveExists(const std::string& drive) {
    return isRoot(drive);
}

bool destinationNotSpecified(const std::string& destination) {
    return destination.empty();
}

std::string trimOneTrailingSeparator(const std::string& path) {
    if (path.size() > 1 && path.back() == separator) {
        return path.substr(0, path.size() - 1);
    }
    return path;
}

std::string removeTrailingSeparators(const std::string& path) {
    std::string result = path;
    while (result.size() > 1 && result.back() == separator) {
        result.pop_back();
    }
    return result;
}

std::string lastName(const std::string& path) {
    const std::string trimmed = removeTrailingSeparators(path);
    if (isRoot(trimmed)) {
        return {};
    }
    const auto at = trimmed.rfind(separator);
    return at == std::string::npos ? trimmed : trimmed.substr(at + 1);
}

std::string folderOfPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace tolvane::platform
