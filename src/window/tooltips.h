#pragma once

#include "state/form_state.h"

#include <string>

namespace tolvane::window {

inline constexpr const char* kTipTextInterval = "監視時間間隔をミリ秒で指定";
inline constexpr const char* kTipTextTargetFolder =
    "バックアップしたいファイルまたはフォルダを指定";
inline constexpr const char* kTipTextSaveAt = "バックアップ先を指定";
inline constexpr const char* kTipListTargets =
    "このリストに登録されたファイル・フォルダがコピーされます";
inline constexpr const char* kTipAddTarget = "リストに追加";
inline constexpr const char* kTipRemoveTarget = "リストから削除・編集";

// The tooltips that follow the boxes' contents: a box shows its full text, the
// list its selected entry (not the one under the pointer), else the fixed hint.
std::string textTargetFolderTip(const FormState& state);
std::string textSaveAtTip(const FormState& state);
std::string listTargetsTip(const FormState& state);

} // namespace tolvane::window
