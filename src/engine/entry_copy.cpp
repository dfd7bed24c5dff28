#include "engine/copy_name.h"
#include "engine/failure_guard.h"
#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <utility>
#include <vector>

namespace tolvane::engine {

namespace {

// A run started while this entry's walk serves events keeps its exclusions
// apart; the outer walk gets its own back when the inner entry is done.
class ExclusionScope {
  public:
    explicit ExclusionScope(std::vector<platform::FileId>& excluded)
        : excluded_(excluded), saved_(std::exchange(excluded, {})) {}
    ~ExclusionScope() { excluded_ = std::move(saved_); }
    ExclusionScope(const ExclusionScope&) = delete;
    ExclusionScope& operator=(const ExclusionScope&) = delete;

  private:
    std::vector<platform::FileId>& excluded_;
    std::vector<platform::FileId> saved_;
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

void MirrorEngine::copyEntry(const std::string& target) {
    ExclusionScope exclusions(excluded_);
    guardProcedure(shell_, "CopyFolderMain", text::kSourceLine + target, [&] {
        const auto cannotSecure = [this] {
            shell_.message(std::string(text::kCannotSecureDestination) + text::kLineBreak +
                               "SaveAt=" + state_.textSaveAt(),
                           MessageStyle::Ok);
        };
        const std::string saveAt = state_.textSaveAt();
        const bool history = state_.dateHistoryMode();
        // Where the entry's copy goes: the destination, or today's folder in it.
        const std::string base =
            history ? platform::joinPath(saveAt, platform::dayFolderName(today_())) : saveAt;

        if (platform::folderExists(target)) {
            if (history && !secureFolder(saveAt)) {
                cannotSecure();
                return;
            }
            const std::string copyPath = platform::joinPath(base, copyNameOf(target));
            if (platform::folderExists(base)) {
                updateFolderCopy(target, copyPath);
            } else {
                createMissingParents(copyPath);
                copyNewFolder(target, copyPath);
            }
        } else if (platform::fileExists(target)) {
            if (!secureFolder(saveAt) || (history && !secureFolder(base))) {
                cannotSecure();
                return;
            }
            copyFileIfChanged(target, platform::joinPath(base, platform::entryName(target)));
        } else {
            shell_.message(std::string(text::kNothingToCopy) + text::kLineBreak +
                               "TargetFolder=" + target,
                           MessageStyle::Ok);
        }
    });
}

// An existing copy is walked, guarded against a copy onto the source itself.
void MirrorEngine::updateFolderCopy(const std::string& target, const std::string& copyPath) {
    if (platform::samePath(copyPath, target)) {
        shell_.message(text::kSamePath, MessageStyle::Ok);
        shell_.endApplication(EndKind::Orderly, EndCause::Failure);
    }
    // The destination may lie inside the source: the walk leaves it out.
    if (platform::folderExists(state_.textSaveAt())) {
        excluded_.push_back(platform::fileStatus(state_.textSaveAt()).id);
    }
    WalkPath walk;
    if (const auto cause = walkLevel(target, copyPath, WalkLevel::Top, walk)) {
        shell_.message(std::string(text::kWalkFailed) + text::kLineBreak + text::kFolderLine +
                           target + text::kLineBreak + *cause,
                       MessageStyle::Ok);
        shell_.endApplication(EndKind::Orderly, EndCause::Failure);
    }
}

// A folder without a copy yet: everything below is new.
void MirrorEngine::copyNewFolder(const std::string& target, const std::string& copyPath) {
    platform::copyFolder(target, copyPath, {state_.textSaveAt()},
                         [this] { shell_.endIfSessionEnding(); });
}

} // namespace tolvane::engine
