#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <algorithm>

namespace tolvane::engine {

namespace {

// Counts the walk's nesting for as long as one folder is being walked.
class Descent {
  public:
    explicit Descent(int& depth) : depth_(depth) { ++depth_; }
    ~Descent() { --depth_; }
    Descent(const Descent&) = delete;
    Descent& operator=(const Descent&) = delete;

  private:
    int& depth_;
};

} // namespace

bool MirrorEngine::GetFiles(const std::string& fromFullPath, const std::string& toFullPath,
                            bool blnRecursive) {
    const bool top = walkDepth_ == 0;
    Descent descent(walkDepth_);
    prepareWalkFolder(toFullPath);
    if (top) {
        // The copy being made may lie inside its own source.
        excluded_.push_back(platform::fileStatus(toFullPath).id);
    }

    std::vector<platform::FolderEntry> entries;
    try {
        entries = platform::listFolder(fromFullPath);
    } catch (const platform::Failure&) {
        return false;
    }

    for (const auto& entry : entries) {
        if (entry.kind == platform::FileKind::Folder) {
            continue;
        }
        const std::string source = platform::joinPath(fromFullPath, entry.name);
        const std::string copy = toFullPath + platform::separator + entry.name;
        if (copy == source) {
            shell_.message(std::string(text::kSamePath) + text::kLineBreak + text::kSourceLine +
                               source + text::kLineBreak + text::kCopyLine + copy,
                           MessageStyle::Ok);
            shell_.endApplication(EndKind::Immediate, EndCause::Failure);
        }
        if (entry.kind == platform::FileKind::Link) {
            CopyDiffLink(source, copy);
        } else {
            CopyDiffFile(source, copy);
        }
        shell_.serveEvents();
    }

    if (blnRecursive) {
        for (const auto& entry : entries) {
            if (entry.kind != platform::FileKind::Folder || isExcluded(entry.id)) {
                continue;
            }
            GetFiles(platform::joinPath(fromFullPath, entry.name),
                     toFullPath + platform::separator + entry.name, true);
            shell_.serveEvents();
        }
    }
    return true;
}

// Makes sure the walk's destination folder exists. Below the top, a link
// there (an earlier copy of a source link) is replaced by a real folder, so
// the walk never writes through it to somewhere outside the destination.
void MirrorEngine::prepareWalkFolder(const std::string& toFullPath) {
    const bool top = walkDepth_ == 1;
    bool exists = false;
    bool link = false;
    if (top) {
        exists = platform::folderExists(toFullPath);
    } else {
        const auto there = platform::linkStatus(toFullPath);
        exists = there && there->kind == platform::FileKind::Folder;
        link = there && there->kind == platform::FileKind::Link;
    }
    shell_.serveEvents();
    if (link) {
        platform::removeTree(toFullPath);
    }
    if (!exists) {
        platform::createFolder(toFullPath);
    }
}

bool MirrorEngine::isExcluded(const platform::FileId& id) const {
    return std::find(excluded_.begin(), excluded_.end(), id) != excluded_.end();
}

} // namespace tolvane::engine
