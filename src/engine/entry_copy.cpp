#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <utility>
#include <vector>

namespace tolvane::engine {

namespace {

// What a root entry's copy is called: the root has no name of its own.
constexpr const char* kRootCopyName = "root";

// A run started while this entry's walk serves events has walk state of its
// own; the outer walk gets its state back when the inner entry is done.
class WalkStateScope {
  public:
    WalkStateScope(std::vector<platform::FileId>& excluded, int& depth)
        : excluded_(excluded), depth_(depth), savedExcluded_(std::exchange(excluded, {})),
          savedDepth_(std::exchange(depth, 0)) {}
    ~WalkStateScope() {
        excluded_ = std::move(savedExcluded_);
        depth_ = savedDepth_;
    }
    WalkStateScope(const WalkStateScope&) = delete;
    WalkStateScope& operator=(const WalkStateScope&) = delete;

  private:
    std::vector<platform::FileId>& excluded_;
    int& depth_;
    std::vector<platform::FileId> savedExcluded_;
    int savedDepth_;
};

std::string folderEntryName(const std::string& target) {
    std::string name = platform::entryName(target);
    return name.empty() ? std::string(kRootCopyName) : name;
}

} // namespace

void MirrorEngine::CopyFolderMain(const std::string& target) {
    WalkStateScope walkState(excluded_, walkDepth_);
    try {
        const auto cannotSecure = [this] {
            shell_.message(std::string(text::kCannotSecureDestination) + text::kLineBreak +
                               "SaveAt=" + state_.textSaveAt(),
                           MessageStyle::Ok);
        };
        // Creates one level; false when no folder came of it.
        const auto secureFolder = [](const std::string& path) {
            if (!platform::folderExists(path)) {
                platform::createFolder(path);
                return platform::folderExists(path);
            }
            return true;
        };

        const bool history = state_.dateHistoryMode();
        const platform::LocalDate day = today_();
        const auto dayFolder = [&] {
            return platform::joinPath(state_.textSaveAt(), platform::dayFolderName(day));
        };

        if (platform::folderExists(target)) {
            const std::string name = folderEntryName(target);
            if (history) {
                if (!secureFolder(state_.textSaveAt())) {
                    cannotSecure();
                    return;
                }
                const std::string copyPath = platform::joinPath(dayFolder(), name);
                if (platform::folderExists(dayFolder())) {
                    copySameOrEnd(target, copyPath);
                } else {
                    makeLongDir(copyPath);
                    copyWhole(target, copyPath);
                }
            } else {
                const std::string copyPath = platform::joinPath(state_.textSaveAt(), name);
                if (platform::folderExists(state_.textSaveAt())) {
                    copySameOrEnd(target, copyPath);
                } else {
                    makeLongDir(copyPath);
                    copyWhole(target, copyPath);
                }
            }
        } else if (platform::fileExists(target)) {
            const std::string name = platform::entryName(target);
            if (!secureFolder(state_.textSaveAt())) {
                cannotSecure();
                return;
            }
            if (history) {
                if (!secureFolder(dayFolder())) {
                    cannotSecure();
                    return;
                }
                CopyDiffFile(target, platform::joinPath(dayFolder(), name));
            } else {
                CopyDiffFile(target, platform::joinPath(state_.textSaveAt(), name));
            }
        } else {
            shell_.message(std::string(text::kNothingToCopy) + text::kLineBreak +
                               "TargetFolder=" + target,
                           MessageStyle::Ok);
        }
    } catch (const std::exception& failure) {
        endAfterFailure("CopyFolderMain", failure);
    }
}

// The walk branch: guarded against a copy onto the source itself.
void MirrorEngine::copySameOrEnd(const std::string& target, const std::string& copyPath) {
    if (copyPath == target) {
        shell_.message(text::kSamePath, MessageStyle::Ok);
        shell_.endApplication(EndKind::Orderly, EndCause::Failure);
    }
    // The destination may lie inside the source: the walk leaves it out.
    if (platform::folderExists(state_.textSaveAt())) {
        excluded_.push_back(platform::fileStatus(state_.textSaveAt()).id);
    }
    if (!GetFiles(target, copyPath, true)) {
        shell_.message(text::kWalkFailed, MessageStyle::Ok);
        shell_.endApplication(EndKind::Orderly, EndCause::Failure);
    }
}

// The whole-folder branch: everything below is new.
void MirrorEngine::copyWhole(const std::string& target, const std::string& copyPath) {
    platform::copyFolder(target, copyPath, {state_.textSaveAt()});
}

} // namespace tolvane::engine
