#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"

namespace tolvane::engine {

void MirrorEngine::CopyDiffFile(const std::string& fromFullPath, const std::string& toFullPath) {
    try {
        shell_.serveEvents();
        // The copy's own entry: a link or anything else that is not a
        // regular file is replaced, never compared through.
        const auto copy = platform::linkStatus(toFullPath);
        if (copy && copy->kind == platform::FileKind::File) {
            const platform::FileStatus source = platform::fileStatus(fromFullPath);
            if (copy->modified == source.modified && copy->size == source.size) {
                return;
            }
            platform::setAttributesNormal(toFullPath);
        }
        bool copied = true;
        try {
            platform::copyFile(fromFullPath, toFullPath);
        } catch (const platform::Failure&) {
            copied = false;
        }
        if (!copied) {
            shell_.message(std::string(text::kCopyFailed) + text::kLineBreak +
                               "return_code=" + "0" + text::kLineBreak + text::kCannotOverwrite,
                           MessageStyle::Ok);
            shell_.endApplication(EndKind::Orderly, EndCause::Failure);
        }
        finishCopiedFile(toFullPath);
    } catch (const std::exception& failure) {
        endAfterFailure("CopyDiffFile", failure);
    }
}

// A link inside a walked folder: copied as a link with the same target text
// when the copy is missing or points elsewhere; never followed.
void MirrorEngine::CopyDiffLink(const std::string& fromFullPath, const std::string& toFullPath) {
    try {
        shell_.serveEvents();
        const auto copy = platform::linkStatus(toFullPath);
        if (copy && copy->kind == platform::FileKind::Link &&
            platform::readLink(toFullPath) == platform::readLink(fromFullPath)) {
            return;
        }
        platform::copyLink(fromFullPath, toFullPath);
    } catch (const std::exception& failure) {
        endAfterFailure("CopyDiffLink", failure);
    }
}

} // namespace tolvane::engine
