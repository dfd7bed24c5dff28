#include "platform/user_folders.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/system_failure.h"
#include "platform/posix/user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tolvane::platform {
namespace {

std::optional<std::string> environmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

// $HOME, else the account's entry; empty when neither names one.
std::string homeFolder() {
    if (auto home = environmentValue("HOME"); home && !home->empty()) {
        return *home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

} // namespace

std::string userConfigFolderOf(const std::optional<std::string>& configured,
                               const std::string& home) {
    // A relative or empty value is to be ignored, as if it were unset.
    if (configured && configured->starts_with('/')) {
        return removeTrailingSeparators(*configured);
    }
    return joinPath(home, ".config");
}

std::string userConfigFolder() {
    return userConfigFolderOf(environmentValue("XDG_CONFIG_HOME"), homeFolder());
}

bool folderWritable(const std::string& path) {
    return folderExists(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

void createFolders(const std::string& path) {
    if (path.empty() || folderExists(path)) {
        return;
    }
    const std::string parent = folderOfPath(removeTrailingSeparators(path));
    if (parent != path && parent != ".") {
        createFolders(parent);
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        throwFailure(errno, path);
    }
}

} // namespace tolvane::platform
