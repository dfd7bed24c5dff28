#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <algorithm>

namespace tolvane::engine {

bool MirrorEngine::walkFolder(const std::string& from, const std::string& to) {
    WalkPath walk;
    return !walkLevel(from, to, WalkLevel::Top, walk);
}

std::optional<std::string> MirrorEngine::walkLevel(const std::string& from, const std::string& to,
                                                   WalkLevel level, WalkPath& walk) {
    if (level == WalkLevel::Top) {
        try {
            walk.push_back(platform::fileStatus(from).id);
        } catch (const platform::Failure&) {
            // The listing below fails the same way and says why.
        }
    }
    try {
        prepareWalkFolder(to, level, walk);
        if (level == WalkLevel::Top) {
            // The copy being made may lie inside its own source.
            excluded_.push_back(platform::fileStatus(to).id);
        }
    } catch (const platform::Failure& failure) {
        // Nothing of this folder can be copied without its copy's folder.
        recordFailure({text::kWalkFailed}, {text::kSourceLine + from, text::kCopyLine + to},
                      failure, from, to);
        return failure.description();
    }

    std::vector<platform::FolderEntry> entries;
    try {
        entries = platform::listFolder(from);
    } catch (const platform::Failure& failure) {
        // A folder gone meanwhile says nothing: a second look finds no entry.
        if (level == WalkLevel::Top || platform::linkStatus(from)) {
            recordFailure({level == WalkLevel::Top ? text::kWalkFailed : text::kFolderUnreadable},
                          {text::kFolderLine + from}, failure, from, to);
        }
        return failure.description();
    }
    // Sizes are checked file by file on the way.
    sortOutEntries(from, to, entries, false);

    for (const auto& entry : entries) {
        if (entry.kind == platform::FileKind::Folder) {
            continue;
        }
        const std::string source = platform::joinPath(from, entry.name);
        const std::string copy = platform::joinPath(to, entry.name);
        if (platform::samePath(copy, source)) {
            stopRun(std::string(text::kSamePath) + text::kLineBreak + text::kSourceLine + source +
                    text::kLineBreak + text::kCopyLine + copy);
        }
        if (entry.kind == platform::FileKind::Link) {
            copyLinkIfChanged(source, copy);
        } else {
            copyFileIfChanged(source, copy);
        }
        shell_.serveEvents();
    }

    for (const auto& entry : entries) {
        if (entry.kind != platform::FileKind::Folder || isExcluded(entry.id) ||
            std::find(walk.begin(), walk.end(), entry.id) != walk.end()) {
            continue;
        }
        walk.push_back(entry.id);
        walkLevel(platform::joinPath(from, entry.name), platform::joinPath(to, entry.name),
                  WalkLevel::Below, walk);
        walk.pop_back();
        shell_.serveEvents();
    }
    return std::nullopt;
}

// Makes sure the walk's destination folder exists. A link there is followed,
// so part of a backup can live on another disk, unless it leads back into
// the source being copied: writing through it would change the source. Such
// a link, and below the top one that leads nowhere (an earlier copy of a
// source link), gives way to a real folder; only the link is removed.
void MirrorEngine::prepareWalkFolder(const std::string& to, WalkLevel level, const WalkPath& walk) {
    const auto there = platform::linkStatus(to);
    const bool link = there && there->kind == platform::FileKind::Link;
    bool exists =
        link ? platform::folderExists(to) : there && there->kind == platform::FileKind::Folder;
    shell_.serveEvents();
    if (link) {
        const bool intoSource =
            exists && !walk.empty() && platform::folderLiesWithin(to, walk.front());
        if (intoSource || (!exists && level == WalkLevel::Below)) {
            platform::removeTree(to);
            exists = false;
        }
    }
    if (!exists) {
        platform::createFolder(to);
    }
}

bool MirrorEngine::isExcluded(const platform::FileId& id) const {
    return std::find(excluded_.begin(), excluded_.end(), id) != excluded_.end();
}

} // namespace tolvane::engine
