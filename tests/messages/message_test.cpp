#include "messages/message.h"

#include "messages/texts.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

TEST(EscapedName, KeepsUtf8AndEscapesWhatWouldBreakALine) {
  const std::pair<std::string, std::string> cases[] = {
      {"0921.lzh", "0921.lzh"},
      {"出馬表 0921.lzh", "出馬表 0921.lzh"},
      {"a\nb", "a\\nb"},
      {"tab\there\r", "tab\\there\\r"},
      {"\x1b[2J", "\\x1b[2J"},
      {"caf\xe9", "caf\\xe9"},        // Latin-1, not UTF-8
      {"\xc2\x9b" "1m", "\\xc2\\x9b1m"},  // U+009B, a terminal's CSI
      {"\xe3\x81", "\\xe3\\x81"},       // cut short
      {"\xc0\xaf", "\\xc0\\xaf"},       // overlong '/'
      {"\xed\xa0\x80", "\\xed\\xa0\\x80"},  // a surrogate
      {"\x7f", "\\x7f"},
      {"back\\slash", "back\\\\slash"},
      {"", ""},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(EscapedName(name), shown) << shown;
}

// The fixed texts, to the byte: the tests elsewhere take them from texts.h.
TEST(Texts, AreTheSystemsOwnToTheByte) {
  const std::pair<const char*, const char*> texts[] = {
      {texts::kNotAnArchive, "ファイル '%s' は書庫ではありません"},
      {texts::kUnpackFailed, "ファイルを解凍できませんでした"},
      {texts::kNoRaceCard, "このファイルには出馬表データがありません\r\n"
                           "出馬表データが含まれている圧縮ファイルをダウンロードしてください"},
      {texts::kNoHorseRegister, "このファイルには競走馬データがありません\r\n"
                                "競走馬データが含まれている圧縮ファイルをダウンロードしてください"},
      {texts::kRaceCardNotOpened, "ファイル'%s'を開けませんでした"},
      {texts::kRaceNotRead, "出馬表ファイルの読み込みに失敗しました"},
      {texts::kHorseRegisterNotOpened, "ファイル %s は開けませんでした。"},
      {texts::kHorseNotRead, "登録馬ファイルの読み込みに失敗しました"},
      {texts::kUnspecifiedFileError, "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。"},
      {texts::kInvalidPath, "%1 には無効なﾊﾟｽが含まれています。"},
      {texts::kTooManyOpenFiles, "開いているﾌｧｲﾙが多すぎるため、%1 を開けませんでした。"},
      {texts::kAccessDenied, "%1 へのｱｸｾｽは拒否されました。"},
      {texts::kInvalidFileHandle, "%1 へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。"},
      {texts::kHardwareIo, "%1 へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。"},
      {texts::kDiskFull, "%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。"},
      {texts::kTooManyRaces, "レース数が多すぎるため、%1 を作成できませんでした。"},
      {texts::kOutOfMemory, "メモリが足りないため、%1 を作成できませんでした。"},
      {texts::kFolderNotPrivate, "%1 はほかのユーザーが変更できるため、作業フォルダとして使えません。"},
  };
  for (const auto& [text, expected] : texts) EXPECT_STREQ(text, expected);
}

}  // namespace
}  // namespace kelvane
