#pragma once

// What the reader tests share: a working folder to write built files into, the
// recorded messages, and UTF-8 spellings of expected CP932 texts.

#include <string>
#include <string_view>
#include <vector>

#include "codes/cp932.h"
#include "jravan/horse_register.h"
#include "jravan/race_card.h"
#include "messages/message.h"
#include "support/jravan_builder.h"
#include "support/recorded_messages.h"
#include "support/temp_dir.h"

namespace kelvane::test {

// The CP932 bytes of a UTF-8 text, for expected values.
inline std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

// The readers over files on disk, as the run opens them: the card with the register
// of its folder.
inline std::string RegisterBeside(const std::string& cardPath) {
  return cardPath.substr(0, cardPath.rfind('/') + 1) + "JracUmaj.dat";
}
inline int CountRacesAt(const std::string& cardPath, MessageSink& messages) {
  const auto card = RaceCard::Open(cardPath, RegisterBeside(cardPath), messages);
  return card ? card->CountRaces() : 0;
}
inline bool ReadRaceAt(const std::string& cardPath, int raceNumber, Race& race, MessageSink& messages) {
  const auto card = RaceCard::Open(cardPath, RegisterBeside(cardPath), messages);
  return card && card->ReadRace(raceNumber, race, messages);
}
inline bool ReadHorseAt(const std::string& registerPath, const std::string& horseId, int raceYear,
                        Runner& runner, MessageSink& messages) {
  const auto horses = HorseRegister::Open(registerPath, messages);
  return horses && horses->ReadHorseRecord(horseId, raceYear, runner, messages);
}

struct WorkingFolder {
  std::string cardPath() const { return dir / "JracDen1.dat"; }
  std::string registerPath() const { return dir / "JracUmaj.dat"; }

  std::string WriteCard(const std::string& bytes) const {
    WriteFileBytes(cardPath(), bytes);
    return cardPath();
  }
  std::string WriteRegister(const std::string& bytes) const {
    WriteFileBytes(registerPath(), bytes);
    return registerPath();
  }

  ScopedTempDir dir;
};

}  // namespace kelvane::test
