#pragma once

#include "platform/clock.h"
#include "platform/files.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <functional>
#include <string>
#include <vector>

namespace tolvane::engine {

// One copy run from the target list to the destination, and everything below
// it: the entry copy, the folder walk, the creation of destination folders,
// the differential file copy and the finishing of copied files.
class MirrorEngine {
  public:
    MirrorEngine(FormState& state, Shell& shell,
                 std::function<platform::LocalDate()> today = platform::today);

    // One run over the whole list.
    void CopyExec();
    // The manual-run menu command.
    void M_Exec_Click();
    // Locks (false) or unlocks (true) the timer and the input controls.
    void ItemEnable(bool state);

    // Copies one list entry.
    void CopyFolderMain(const std::string& target);
    // Brings one destination folder up to date with one source folder; false
    // when the source folder cannot be opened.
    bool GetFiles(const std::string& fromFullPath, const std::string& toFullPath,
                  bool blnRecursive);
    // Creates every missing folder above the last name of a path.
    void makeLongDir(const std::string& fullPath);
    // Copies a file when its copy is missing or differs in time or length.
    void CopyDiffFile(const std::string& fromFullPath, const std::string& toFullPath);
    // Dates and marks a fresh copy as the copy-date dialog and menu say.
    void finishCopiedFile(const std::string& path);
    void setCopiedFileDate(const std::string& path);

    // The archiving of earlier day folders, plugged in by the wiring; called
    // after the entries when DateCopyCompress is checked. Empty: nothing.
    std::function<void()> compressPastDateFolders;

  private:
    void copySameOrEnd(const std::string& target, const std::string& copyPath);
    void copyWhole(const std::string& target, const std::string& copyPath);
    void CopyDiffLink(const std::string& fromFullPath, const std::string& toFullPath);
    void prepareWalkFolder(const std::string& toFullPath);
    bool isExcluded(const platform::FileId& id) const;
    [[noreturn]] void endAfterFailure(const std::string& procedure, const std::exception& failure);

    FormState& state_;
    Shell& shell_;
    std::function<platform::LocalDate()> today_;

    // Folders the walk must not enter: the destination and the copy being
    // made, when they lie inside the source.
    std::vector<platform::FileId> excluded_;
    int walkDepth_ = 0;
};

} // namespace tolvane::engine
