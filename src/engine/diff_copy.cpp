#include "engine/failure_guard.h"
#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"

#include <optional>

namespace tolvane::engine {

namespace {

// The lines that name both ends of one copy.
std::string copyPaths(const std::string& from, const std::string& to) {
    return text::kSourceLine + from + text::kLineBreak + text::kCopyLine + to;
}

} // namespace

void MirrorEngine::copyFileIfChanged(const std::string& from, const std::string& to) {
    shell_.endIfSessionEnding();
    guardProcedure(shell_, "CopyDiffFile", copyPaths(from, to), [&] {
        shell_.serveEvents();
        // The copy's own entry: a link or anything else that is not a
        // regular file is replaced, never compared through.
        const auto copy = platform::linkStatus(to);
        std::optional<platform::SavedAttributes> oldAttributes;
        if (copy && copy->kind == platform::FileKind::File) {
            const platform::FileStatus source = platform::fileStatus(from);
            if (copy->modified == source.modified && copy->size == source.size) {
                return;
            }
            oldAttributes = platform::saveAttributes(to);
            platform::setAttributesNormal(to);
        }
        try {
            platform::copyFile(from, to);
        } catch (const platform::Failure& failure) {
            // The old copy stays as it was, its read-only mark included.
            if (oldAttributes) {
                platform::restoreAttributes(to, *oldAttributes);
            }
            // The fixed text first, then what was copied where and the
            // platform's cause, so the user can tell what to fix.
            shell_.message(std::string(text::kCopyFailed) + text::kLineBreak + "return_code=0" +
                               text::kLineBreak + text::kCannotOverwrite + text::kLineBreak +
                               copyPaths(from, to) + text::kLineBreak + failure.description(),
                           MessageStyle::Ok);
            shell_.endApplication(EndKind::Orderly, EndCause::Failure);
        }
        finishCopiedFile(to);
    });
}

// A link inside a walked folder: copied as a link with the same target text
// when the copy is missing or points elsewhere; never followed.
void MirrorEngine::copyLinkIfChanged(const std::string& from, const std::string& to) {
    shell_.endIfSessionEnding();
    guardProcedure(shell_, "CopyDiffLink", copyPaths(from, to), [&] {
        shell_.serveEvents();
        const auto copy = platform::linkStatus(to);
        if (copy && copy->kind == platform::FileKind::Link &&
            platform::readLink(to) == platform::readLink(from)) {
            return;
        }
        platform::copyLink(from, to);
    });
}

} // namespace tolvane::engine
