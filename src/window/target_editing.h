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

// Editing of the target list, the staging box and the destination box. Every
// edit of the list or of the destination pauses monitoring and marks the
// settings as changed; the staging box alone does neither.
class TargetEditing {
  public:
    // `stopTimer` pauses monitoring (the pause command).
    TargetEditing(FormState& state, Shell& shell, std::function<void()> stopTimer,
                  FileDialog& dialog);

    // "▽": appends the staged path; an empty box adds nothing. Returns false
    // when the list is full and the path stayed in its box.
    bool CommandAddTarget_Click();
    // Enter in the staging box acts as "▽"; other keys are the box's own.
    void TextTargetFolder_KeyPress(int keyCode);
    // "△": moves the selected entry back into the staging box for editing.
    void CommandRemoveTarget_Click();
    void ListTargets_DblClick();

    void CommandSelect_Click();
    void CommandSelectSaveAt_Click();

    void ListTargets_OLEDragDrop(const DroppedFiles& dropped);
    void TextTargetFolder_OLEDragDrop(const DroppedFiles& dropped);
    void TextSaveAt_OLEDragDrop(const DroppedFiles& dropped);

    // Wired to the destination's change hook.
    void TextSaveAt_Change();

    void TextTargetFolder_LostFocus();
    void TextSaveAt_LostFocus();

  private:
    FormState& state_;
    Shell& shell_;
    std::function<void()> stopTimer_;
    FileDialog& dialog_;
};

} // namespace tolvane::window
