#pragma once

// The fixed texts the system shows a person, gathered here: the messages of archive
// extraction and of the readers, the file-error texts and the run's own refusals.
// "%s" and "%1" stand for a file name or a path, filled in with WithValue. A two-line
// text has CR LF between its lines. The tests take them from here too.

namespace kelvane::texts {

// Archive extraction.
inline constexpr const char* kNotAnArchive = "ファイル '%s' は書庫ではありません";
inline constexpr const char* kUnpackFailed = "ファイルを解凍できませんでした";
inline constexpr const char* kNoRaceCard =
    "このファイルには出馬表データがありません\r\n"
    "出馬表データが含まれている圧縮ファイルをダウンロードしてください";
inline constexpr const char* kNoHorseRegister =
    "このファイルには競走馬データがありません\r\n"
    "競走馬データが含まれている圧縮ファイルをダウンロードしてください";

// The race card and the horse register.
inline constexpr const char* kRaceCardNotOpened = "ファイル'%s'を開けませんでした";
inline constexpr const char* kRaceNotRead = "出馬表ファイルの読み込みに失敗しました";
inline constexpr const char* kHorseRegisterNotOpened = "ファイル %s は開けませんでした。";
inline constexpr const char* kHorseNotRead = "登録馬ファイルの読み込みに失敗しました";

// A file or folder that could not be made, read or written, by cause.
inline constexpr const char* kUnspecifiedFileError = "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。";
inline constexpr const char* kInvalidPath = "%1 には無効なﾊﾟｽが含まれています。";
inline constexpr const char* kTooManyOpenFiles = "開いているﾌｧｲﾙが多すぎるため、%1 を開けませんでした。";
inline constexpr const char* kAccessDenied = "%1 へのｱｸｾｽは拒否されました。";
inline constexpr const char* kInvalidFileHandle = "%1 へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。";
inline constexpr const char* kHardwareIo = "%1 へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。";
inline constexpr const char* kDiskFull = "%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。";

// The run's own refusals: the output was not written.
inline constexpr const char* kTooManyRaces = "レース数が多すぎるため、%1 を作成できませんでした。";
inline constexpr const char* kOutOfMemory = "メモリが足りないため、%1 を作成できませんでした。";
inline constexpr const char* kFolderNotPrivate =
    "%1 はほかのユーザーが変更できるため、作業フォルダとして使えません。";

}  // namespace kelvane::texts
