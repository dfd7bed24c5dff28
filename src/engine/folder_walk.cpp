#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <algorithm>

namespace tolvane::engine {

bool MirrorEngine::walkFolder(const std::string& from, const std::string& to) {
    return walkLevel(from, to, WalkLevel::Top);
}

bool MirrorEngine::walkLevel(const std::string& from, const std::string& to, WalkLevel level) {
    prepareWalkFolder(to, level);
    if (level == WalkLevel::Top) {
        // The copy being made may lie inside its own source.
        excluded_.push_back(platform::fileStatus(to).id);
    }

    std::vector<platform::FolderEntry> entries;
    try {
        entries = platform::listFolder(from);
    } catch (const platform::Failure&) {
        return false;
    }

    for (const auto& entry : entries) {
        if (entry.kind == platform::FileKind::Folder) {
            continue;
        }
        const std::string source = platform::joinPath(from, entry.name);
        const std::string copy = platform::joinPath(to, entry.name);
        if (platform::samePath(copy, source)) {
            shell_.message(std::string(text::kSamePath) + text::kLineBreak + text::kSourceLine +
                               source + text::kLineBreak + text::kCopyLine + copy,
                           MessageStyle::Ok);
            shell_.endApplication(EndKind::Immediate, EndCause::Failure);
        }
        if (entry.kind == platform::FileKind::Link) {
            copyLinkIfChanged(source, copy);
        } else {
            copyFileIfChanged(source, copy);
        }
        shell_.serveEvents();
    }

    for (const auto& entry : entries) {
        if (entry.kind != platform::FileKind::Folder || isExcluded(entry.id)) {
            continue;
        }
        walkLevel(platform::joinPath(from, entry.name), platform::joinPath(to, entry.name),
                  WalkLevel::Below);
        shell_.serveEvents();
    }
    return true;
}

// Makes sure the walk's destination folder exists. Below the top, a link
// there (an earlier copy of a source link) is replaced by a real folder, so
// the walk never writes through it to somewhere outside the destination.
void MirrorEngine::prepareWalkFolder(const std::string& to, WalkLevel level) {
    bool exists = false;
    bool link = false;
    if (level == WalkLevel::Top) {
        exists = platform::folderExists(to);
    } else {
        const auto there = platform::linkStatus(to);
        exists = there && there->kind == platform::FileKind::Folder;
        link = there && there->kind == platform::FileKind::Link;
    }
    shell_.serveEvents();
    if (link) {
        platform::removeTree(to);
    }
    if (!exists) {
        platform::createFolder(to);
    }
}

bool MirrorEngine::isExcluded(const platform::FileId& id) const {
    return std::find(excluded_.begin(), excluded_.end(), id) != excluded_.end();
}

} // namespace tolvane::engine
