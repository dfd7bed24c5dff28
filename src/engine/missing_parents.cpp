#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace tolvane::engine {

void MirrorEngine::createMissingParents(const std::string& path) {
    // Without the folders above the copy nothing of the run can be written:
    // a failure here stops the run.
    std::string drive;
    try {
        auto position = platform::nextSeparator(path);
        if (position == std::string::npos) {
            throw platform::Failure::invalidArgument("No folder in path: " + path);
        }
        drive = platform::driveOf(path);
        if (platform::driveExists(drive)) {
            while (position != std::string::npos) {
                const std::string prefix = path.substr(0, position);
                // An empty prefix is the root itself.
                if (!prefix.empty() && !platform::folderExists(prefix)) {
                    platform::createFolder(prefix);
                }
                position = platform::nextSeparator(path, position + 1);
            }
            return;
        }
    } catch (const platform::Failure& failure) {
        stopRun(std::string("makeLongDir") + text::kUnexpectedError + text::kLineBreak +
                text::kFolderLine + path + text::kLineBreak + failure.description());
    }
    stopRun(std::string(text::kNoDrive) + text::kLineBreak + "Drive=" + drive);
}

} // namespace tolvane::engine
