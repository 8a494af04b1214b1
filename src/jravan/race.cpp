#include "jravan/race.h"

#include <optional>

#include "jravan/race_card.h"

namespace kelvane {

int CountRaces(const std::string& path, MessageSink& messages) {
  const std::optional<RaceCard> card = RaceCard::Open(path, messages);
  return card ? card->LineCount() : 0;
}

bool Race::ReadRace(const std::string& path, int raceNumber, MessageSink& messages) {
  const std::optional<RaceCard> card = RaceCard::Open(path, messages);
  return card && card->ReadRace(raceNumber, *this, messages);
}

}  // namespace kelvane
