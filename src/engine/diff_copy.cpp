#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"

#include <optional>

namespace tolvane::engine {

void MirrorEngine::copyFileIfChanged(const std::string& from, const std::string& to) {
    shell_.endIfSessionEnding();
    shell_.serveEvents();
    std::optional<platform::SavedAttributes> oldAttributes;
    try {
        // The copy's own entry: a link or anything else that is not a
        // regular file is replaced, never compared through.
        const auto copy = platform::linkStatus(to);
        const bool oldCopy = copy && copy->kind == platform::FileKind::File;
        if (oldCopy || disk_.largestFile) {
            const platform::FileStatus source = platform::fileStatus(from);
            // The source's time as the destination would keep it: FAT keeps
            // steps of 2 seconds, and a copy is never seen as changed for that.
            if (oldCopy && copy->size == source.size &&
                platform::sameKeptTime(disk_.times, *copy, source)) {
                ++report_.unchanged;
                return;
            }
            // Known before anything is written: the old copy stays as it is.
            if (!fitsDestination(from, to, source.size)) {
                return;
            }
        }
        if (oldCopy) {
            oldAttributes = platform::saveAttributes(to);
            platform::setAttributesNormal(to);
        }
    } catch (const platform::Failure& failure) {
        recordFailure({std::string("CopyDiffFile") + text::kUnexpectedError},
                      {text::kSourceLine + from, text::kCopyLine + to}, failure, from, to);
        return;
    }
    try {
        platform::copyFile(from, to);
    } catch (const platform::Failure& failure) {
        // The old copy stays as it was, its read-only mark included.
        if (oldAttributes) {
            platform::restoreAttributes(to, *oldAttributes);
        }
        recordCopyFailure(from, to, failure);
        return;
    }
    ++report_.copied;
    finishCopiedFile(to);
}

// A link inside a walked folder: copied as a link with the same target text
// when the copy is missing or points elsewhere; never followed.
void MirrorEngine::copyLinkIfChanged(const std::string& from, const std::string& to) {
    shell_.endIfSessionEnding();
    shell_.serveEvents();
    try {
        const auto copy = platform::linkStatus(to);
        if (copy && copy->kind == platform::FileKind::Link &&
            platform::readLink(to) == platform::readLink(from)) {
            ++report_.unchanged;
            return;
        }
        platform::copyLink(from, to);
        ++report_.copied;
    } catch (const platform::Failure& failure) {
        recordCopyFailure(from, to, failure, true);
    }
}

} // namespace tolvane::engine
