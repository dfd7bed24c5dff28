#pragma once

#include "state/form_state.h"
#include "state/shell.h"
#include "window/file_dialog.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::window {

// What a drop carries: the dropped paths in order when it is a file list, or
// nothing when it is anything else (text, images, links to web pages).
using DroppedFiles = std::optional<std::vector<std::string>>;

inline constexpr int kEnterKeyCode = 13;

inline constexpr const char* kListFullMessage = "リストがいっぱいです。これ以上は登録できません。";

// Asked before an entry joins a list that holds another source whose copy
// would take the same name below the destination.
std::string sameCopyNameQuestion(const std::string& listed, const std::string& added);

// Editing of the target list, the staging box and the destination box. Every
// edit of the list or of the destination pauses monitoring and marks the
// settings as changed; the staging box alone does neither.
class TargetEditing {
  public:
    // `pauseMonitoring` is the pause command.
    TargetEditing(FormState& state, Shell& shell, std::function<void()> pauseMonitoring,
                  FileDialog& dialog);

    // "▽": appends the staged path; an empty box adds nothing. A path whose
    // copy would share its name with another entry's is added only when the
    // user agrees. Returns false when the list is full and the path stayed in
    // its box.
    bool addStagedTarget();
    // Enter in the staging box acts as "▽"; other keys are the box's own.
    void addOnEnter(int keyCode);
    // "△": moves the selected entry back into the staging box for editing.
    void editSelectedTarget();

    void browseForTarget();
    void browseForDestination();

    void addDroppedTargets(const DroppedFiles& dropped);
    void stageDroppedPath(const DroppedFiles& dropped);
    void setDroppedDestination(const DroppedFiles& dropped);

    // The destination's text changed; wired to its change hook.
    void destinationChanged();

    // Leaving a box drops the trailing separators of its path.
    void trimStagedPath();
    void trimDestination();

  private:
    // The first listed entry, other than the path itself, whose copy takes
    // the same name as the path's.
    std::optional<std::string> entrySharingCopyName(const std::string& path) const;

    FormState& state_;
    Shell& shell_;
    std::function<void()> pauseMonitoring_;
    FileDialog& dialog_;
};

} // namespace tolvane::window
