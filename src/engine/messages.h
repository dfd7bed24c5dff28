#pragma once

// The engine's texts, exactly as the user sees them.
namespace tolvane::engine::text {

inline constexpr const char* kNoDestination = "保存先が指定されていません";
inline constexpr const char* kUnexpectedError = ":予期しないエラーが発生しました。";
inline constexpr const char* kCannotSecureDestination = "バックアップ先を確保できません";
inline constexpr const char* kSamePath = "コピー先とコピー元が同じです";
inline constexpr const char* kWalkFailed = "GetFiles:ファイルの処理に失敗しました。";
inline constexpr const char* kNothingToCopy = "コピー対象がありません。";
inline constexpr const char* kNoDrive = "makeLongDir:指定されたドライブがありません。";
inline constexpr const char* kCopyFailed = "CopyDiffFile:CopyFileに失敗しました。";
inline constexpr const char* kCannotOverwrite = "コピー先に上書きできないファイルが存在します";
inline constexpr const char* kDateUpdateError = "ファイル日付更新エラー：code=";
inline constexpr const char* kAttributeError = "ファイルの属性変更に失敗しました。";
inline constexpr const char* kSourceLine = "コピー元：";
inline constexpr const char* kCopyLine = "コピー先：";
inline constexpr const char* kFileNameLine = "ファイル名：";
inline constexpr const char* kFolderLine = "フォルダ：";
inline constexpr const char* kFolderUnreadable = "フォルダを読み込めません。";
inline constexpr const char* kLineBreak = "\r\n";

} // namespace tolvane::engine::text
