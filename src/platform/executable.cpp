#include "platform/executable.h"

namespace tolvane::platform {

std::string baseNameOfPath(const std::string& path) {
    std::string name = lastName(path);
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
