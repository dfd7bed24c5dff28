#include "engine/failure_guard.h"
#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <optional>

namespace tolvane::engine {

void MirrorEngine::createMissingParents(const std::string& path) {
    // The drive the path names when it is missing, else nothing.
    const auto missingDrive = guardProcedure(
        shell_, "makeLongDir", text::kFolderLine + path, [&]() -> std::optional<std::string> {
            auto position = platform::nextSeparator(path);
            if (position == std::string::npos) {
                throw platform::Failure::invalidArgument("No folder in path: " + path);
            }
            const std::string drive = platform::driveOf(path);
            if (!platform::driveExists(drive)) {
                return drive;
            }
            while (position != std::string::npos) {
                const std::string prefix = path.substr(0, position);
                // An empty prefix is the root itself.
                if (!prefix.empty() && !platform::folderExists(prefix)) {
                    platform::createFolder(prefix);
                }
                position = platform::nextSeparator(path, position + 1);
            }
            return std::nullopt;
        });
    if (missingDrive) {
        shell_.message(std::string(text::kNoDrive) + text::kLineBreak + "Drive=" + *missingDrive,
                       MessageStyle::Ok);
        // The program is on its way out; the copy that would follow cannot
        // reach a path without a drive, so fail it here, for the caller to
        // report and end.
        throw platform::Failure::notFound("No such drive: " + *missingDrive + " (" + path + ")");
    }
}

} // namespace tolvane::engine
