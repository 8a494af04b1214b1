#pragma once

#include <string>
#include <vector>

#include "messages/message.h"
#include "messages/texts.h"
#include "support/recorded_messages.h"

namespace kelvane::test {

// The messages extraction shows (their bytes are pinned by the messages tests).
inline const std::string kUnpackFailedText = texts::kUnpackFailed;
inline const std::string kNoRaceCardText = texts::kNoRaceCard;
inline const std::string kNoHorseRegisterText = texts::kNoHorseRegister;
inline std::string NotAnArchiveText(const std::string& fileName) {
  return WithValue(texts::kNotAnArchive, "%s", fileName);
}

}  // namespace kelvane::test
