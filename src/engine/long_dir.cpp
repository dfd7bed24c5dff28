#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <cerrno>

namespace tolvane::engine {

void MirrorEngine::makeLongDir(const std::string& fullPath) {
    std::string drive;
    bool driveMissing = false;
    try {
        auto position = fullPath.find(platform::separator);
        if (position == std::string::npos) {
            throw platform::Failure(EINVAL, "No folder in path: " + fullPath);
        }
        drive = platform::driveOf(fullPath);
        if (!platform::driveExists(drive)) {
            driveMissing = true;
        } else {
            while (position != std::string::npos) {
                const std::string prefix = fullPath.substr(0, position);
                // An empty prefix is the root itself.
                if (!prefix.empty() && !platform::folderExists(prefix)) {
                    platform::createFolder(prefix);
                }
                position = fullPath.find(platform::separator, position + 1);
            }
        }
    } catch (const std::exception& failure) {
        endAfterFailure("makeLongDir", failure);
    }
    if (driveMissing) {
        shell_.message(std::string(text::kNoDrive) + text::kLineBreak + "Drive=" + drive,
                       MessageStyle::Ok);
        // The program is on its way out; the copy that would follow cannot
        // reach a path without a drive, so fail it here, for the caller to
        // report and end.
        throw platform::Failure(ENOENT, "No such drive: " + drive + " (" + fullPath + ")");
    }
}

} // namespace tolvane::engine
