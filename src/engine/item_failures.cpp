#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/paths.h"

#include <utility>

namespace tolvane::engine {

void MirrorEngine::recordFailure(std::vector<std::string> heading, std::vector<std::string> paths,
                                 const platform::Failure& failure, const std::string& from,
                                 const std::string& to) {
    ItemFailure item;
    item.heading = std::move(heading);
    item.paths = std::move(paths);
    item.side = sideOf(failure.subject(), from, to);
    item.cause = failure.cause();
    item.systemText = failure.description();
    report_.failures.push_back(std::move(item));
}

void MirrorEngine::recordCopyFailure(const std::string& from, const std::string& to,
                                     const platform::Failure& failure, bool link) {
    std::vector<std::string> heading;
    if (link) {
        heading.push_back(std::string("CopyDiffLink") + text::kUnexpectedError);
    } else {
        heading.push_back(text::kCopyFailed);
        // The fixed lines blame the copy; they stand only where it is to blame.
        if (sideOf(failure.subject(), from, to) == FailedSide::Copy) {
            heading.push_back("return_code=0");
            heading.push_back(text::kCannotOverwrite);
        }
    }
    recordFailure(std::move(heading), {text::kSourceLine + from, text::kCopyLine + to}, failure,
                  from, to);
}

std::string MirrorEngine::destination() const {
    return platform::readTypedPath(state_.textSaveAt());
}

void MirrorEngine::stopRun(const std::string& text) {
    shell_.message(text, MessageStyle::Ok);
    throw RunStop{};
}

} // namespace tolvane::engine
