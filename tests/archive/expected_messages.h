#pragma once

#include <string>
#include <vector>

#include "messages/message.h"

namespace kelvane::test {

// The messages extraction shows, spelled out here so that tests pin their exact text.
inline std::string TwoLineMessage(const std::string& first, const std::string& second) {
  return first + "\r\n" + second;
}
inline const std::string kUnpackFailedText = "ファイルを解凍できませんでした";
inline const std::string kNoRaceCardText =
    TwoLineMessage("このファイルには出馬表データがありません",
                   "出馬表データが含まれている圧縮ファイルをダウンロードしてください");
inline const std::string kNoHorseRegisterText =
    TwoLineMessage("このファイルには競走馬データがありません",
                   "競走馬データが含まれている圧縮ファイルをダウンロードしてください");
inline std::string NotAnArchiveText(const std::string& fileName) {
  return "ファイル '" + fileName + "' は書庫ではありません";
}

class RecordedMessages : public MessageSink {
 public:
  void ShowMessage(const Message& message) override { shown.push_back(message.text); }
  std::vector<std::string> shown;
};

}  // namespace kelvane::test
