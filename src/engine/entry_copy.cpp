#include "engine/copy_name.h"
#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <utility>
#include <vector>

namespace tolvane::engine {

namespace {

// A run started while this entry's walk serves events keeps its exclusions
// apart, and so does the disk its copies go to.
template <typename Kept> class EntryScope {
  public:
    explicit EntryScope(Kept& kept) : kept_(kept), saved_(std::exchange(kept, {})) {}
    ~EntryScope() { kept_ = std::move(saved_); }
    EntryScope(const EntryScope&) = delete;
    EntryScope& operator=(const EntryScope&) = delete;

  private:
    Kept& kept_;
    Kept saved_;
};

// Creates one level; false when no folder came of it.
bool secureFolder(const std::string& path) {
    if (!platform::folderExists(path)) {
        platform::createFolder(path);
        return platform::folderExists(path);
    }
    return true;
}

} // namespace

MirrorEngine::EntryResult MirrorEngine::copyEntry(const std::string& typedTarget) {
    EntryScope exclusions(excluded_);
    EntryScope disk(disk_);
    const std::string saveAt = destination();
    const std::string target = platform::readTypedPath(typedTarget);
    // Without its folder nothing of the run can be written: the run stops.
    const auto secure = [this](const std::string& folder) {
        std::string cause;
        try {
            if (secureFolder(folder)) {
                return;
            }
        } catch (const platform::Failure& failure) {
            cause = text::kLineBreak + failure.description();
        }
        stopRun(std::string(text::kCannotSecureDestination) + text::kLineBreak +
                "SaveAt=" + state_.textSaveAt() + cause);
    };
    try {
        const bool history = state_.dateHistoryMode();
        // Where the entry's copy goes: the destination, or today's folder in it.
        const std::string base =
            history ? platform::joinPath(saveAt, platform::dayFolderName(today_())) : saveAt;

        if (platform::folderExists(target)) {
            if (history) {
                secure(saveAt);
            }
            const std::string copyPath = platform::joinPath(base, copyNameOf(target));
            if (platform::folderExists(base)) {
                useDiskOf(base);
                updateFolderCopy(target, copyPath);
            } else {
                createMissingParents(copyPath);
                useDiskOf(platform::folderOfPath(copyPath));
                copyNewFolder(target, copyPath);
            }
        } else if (platform::fileExists(target)) {
            secure(saveAt);
            if (history) {
                secure(base);
            }
            useDiskOf(base);
            copyFileIfChanged(target, platform::joinPath(base, platform::entryName(target)));
        } else {
            shell_.message(std::string(text::kNothingToCopy) + text::kLineBreak +
                               "TargetFolder=" + typedTarget,
                           MessageStyle::Ok);
        }
    } catch (const RunStop&) {
        return EntryResult::StopRun;
    } catch (const std::exception& error) {
        recordFailure({std::string("CopyFolderMain") + text::kUnexpectedError},
                      {text::kSourceLine + target}, failureOf(error), target, {});
    }
    return EntryResult::Continue;
}

// An existing copy is walked, guarded against a copy onto the source itself.
void MirrorEngine::updateFolderCopy(const std::string& target, const std::string& copyPath) {
    if (platform::samePath(copyPath, target)) {
        stopRun(text::kSamePath);
    }
    // The destination may lie inside the source: the walk leaves it out.
    if (platform::folderExists(destination())) {
        excluded_.push_back(platform::fileStatus(destination()).id);
    }
    WalkPath walk;
    walkLevel(target, copyPath, WalkLevel::Top, walk);
}

// A folder without a copy yet: everything below is new.
void MirrorEngine::copyNewFolder(const std::string& target, const std::string& copyPath) {
    platform::FolderCopyEvents events;
    events.beforeFile = [this] { shell_.endIfSessionEnding(); };
    events.copied = [this] { ++report_.copied; };
    events.failed = [this](platform::FileKind kind, const std::string& from, const std::string& to,
                           const platform::Failure& failure) {
        if (kind == platform::FileKind::Folder) {
            // A sub-folder gone meanwhile is no failure.
            if (!platform::linkStatus(from)) {
                return;
            }
            recordFailure({text::kFolderUnreadable}, {text::kFolderLine + from}, failure, from, to);
            return;
        }
        recordCopyFailure(from, to, failure, kind == platform::FileKind::Link);
    };
    events.sortOut = [this](const std::string& from, const std::string& to,
                            std::vector<platform::FolderEntry>& entries) {
        sortOutEntries(from, to, entries, true);
    };
    platform::copyFolder(target, copyPath, {destination()}, events);
}

} // namespace tolvane::engine
