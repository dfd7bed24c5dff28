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

// The run's one message about what it could not back up.
inline constexpr const char* kFailedCountBefore = "今回のバックアップでコピーできなかった項目が ";
inline constexpr const char* kFailedCountAfter = " 件あります。";
inline constexpr const char* kMoreFailedBefore = "ほかに ";
inline constexpr const char* kMoreFailedAfter = " 件あります。";
inline constexpr const char* kRecordPlace = "すべての一覧は実行記録にあります：";
inline constexpr const char* kRecordNotWritten = "実行記録を書き込めません：";
inline constexpr const char* kCauseLine = "原因：";
inline constexpr const char* kSideSource = "コピー元";
inline constexpr const char* kSideCopy = "コピー先";
inline constexpr const char* kSideDestinationFolder = "保存先のフォルダ";
inline constexpr const char* kCauseHeldOpen = "ほかのプログラムが開いているため使えません";
inline constexpr const char* kCauseNoPermission = "アクセスが許可されていません";
inline constexpr const char* kCauseNoRoom = "保存先の空き容量が足りません";
inline constexpr const char* kCauseNameRefused =
    "保存先のファイルシステムがこの名前を受け付けません";
inline constexpr const char* kCauseTooLarge =
    "保存先のファイルシステムにはこの大きさのファイルを置けません";
inline constexpr const char* kCausePathTooLong = "パスが長すぎます";
inline constexpr const char* kCauseVanished = "実行中になくなりました";
inline constexpr const char* kCauseNotFound = "見つかりません";
inline constexpr const char* kCauseCaseTwin =
    "保存先では大文字と小文字の違いしかない名前を同じフォルダに置けません";
inline constexpr const char* kTwinOfBefore = "「";
inline constexpr const char* kTwinOfAfter = "」と同じ名前になります";

// Said once per run about what the destination's file system does not keep.
inline constexpr const char* kNoticeTimesNotKept =
    "保存先のファイルシステムはファイルの日時を保持しないため、変更のないファイルも毎回コピーされま"
    "す：";
inline constexpr const char* kNoticeReadOnlyDropped =
    "保存先のファイルシステムは読み取り専用の属性を保持しないため、コピーは読み取り専用になっていま"
    "せん：";
inline constexpr const char* kNoticeDateDropped =
    "保存先のファイルシステムは指定した日付を保持しないため、コピーの日付は変わっていません：";
inline constexpr const char* kFlushFailed = "保存先のディスクへの書き込みを完了できませんでした。";

} // namespace tolvane::engine::text
