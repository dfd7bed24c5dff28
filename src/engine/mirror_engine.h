#pragma once

#include "platform/clock.h"
#include "platform/files.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::engine {

// One copy run from the target list to the destination, and everything below
// it: the entry copy, the folder walk, the creation of destination folders,
// the copy of changed files and links and the finishing of copied files.
class MirrorEngine {
  public:
    MirrorEngine(FormState& state, Shell& shell,
                 std::function<platform::LocalDate()> today = platform::today);

    // One run over the whole list, with the controls locked meanwhile.
    void runCopy();
    // Unlocks (true) or locks (false) the timer and the input controls.
    void setControlsEnabled(bool enabled);

    // Copies one list entry into the destination (or today's day folder).
    void copyEntry(const std::string& target);
    // Brings the copy `to` of the folder `from` up to date, sub-folders
    // included; false when `from` cannot be opened.
    bool walkFolder(const std::string& from, const std::string& to);
    // Creates every missing folder above the last name of a path.
    void createMissingParents(const std::string& path);
    // Copies a file when its copy is missing or differs in time or length.
    void copyFileIfChanged(const std::string& from, const std::string& to);
    // Dates and marks a fresh copy as the copy-date dialog and menu say.
    void finishCopiedFile(const std::string& path);
    void setCopiedFileDate(const std::string& path);

    // The archiving of earlier day folders, plugged in by the wiring; called
    // after the entries when compression is chosen. Empty: nothing.
    std::function<void()> compressPastDateFolders;

  private:
    enum class WalkLevel { Top, Below };
    // The source folders of one walk from its top down to the folder being
    // walked; a folder met again below itself is not entered twice.
    using WalkPath = std::vector<platform::FileId>;

    void updateFolderCopy(const std::string& target, const std::string& copyPath);
    void copyNewFolder(const std::string& target, const std::string& copyPath);
    // Nothing when `from` was walked, else why it could not be opened.
    std::optional<std::string> walkLevel(const std::string& from, const std::string& to,
                                         WalkLevel level, WalkPath& walk);
    void prepareWalkFolder(const std::string& to, WalkLevel level, const WalkPath& walk);
    void copyLinkIfChanged(const std::string& from, const std::string& to);
    bool isExcluded(const platform::FileId& id) const;

    FormState& state_;
    Shell& shell_;
    std::function<platform::LocalDate()> today_;

    // Folders the walk must not enter: the destination and the copy being
    // made, when they lie inside the source.
    std::vector<platform::FileId> excluded_;
};

} // namespace tolvane::engine
