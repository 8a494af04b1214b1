#include "app/archive_reading.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "archive/lha_library.h"
#include "jravan/horse_register.h"

namespace kelvane {
namespace {

// Cards are counted ahead up to this size, far more than a meeting day's (some 20 KB
// a racecourse), so that counting holds little in memory whatever an archive claims.
constexpr std::uint64_t kMaxCardBytesCountedAhead = std::uint64_t{4} << 20;

// How many races of `card` from race `first` on read, counted up to `limit` + 1.
std::size_t ReadableRaces(const RaceCard& card, int first, std::size_t limit) {
  std::size_t readable = 0;
  for (int j = first; j <= card.CountRaces() && readable <= limit; ++j) {
    if (card.Reads(j)) ++readable;
  }
  return readable;
}

}  // namespace

std::size_t ReadableRacesOfArchive(const std::string& archivePath, std::size_t limit) {
  // A card as the files have it is counted from its header alone: decoding every
  // card to count it was about a quarter of the run's thread's work.
  const std::optional<std::uint64_t> size = DeclaredLhaFileSize(archivePath, kRaceCardName);
  if (!size) return 0;
  if (const std::optional<std::size_t> races = RacesOfFullLines(*size)) return std::min(*races, limit + 1);
  std::optional<std::string> card = UnpackLhaFile(archivePath, kRaceCardName, kMaxCardBytesCountedAhead);
  return card ? ReadableRaces(RaceCard(kRaceCardName, std::move(*card)), 1, limit) : 0;
}

ArchiveReading::ArchiveReading(const DataFiles& files, bool alarm)
    : card_(files.cardPath, files.folder.ReadFile(kRaceCardName), files.horseFilePath), alarm_(alarm) {
  assembler_.UseHorseRegister(files.horseFilePath, HorseRegister(files.folder.ReadFile(kHorseRegisterName)));
}

std::size_t ArchiveReading::ReadableRacesLeft(std::size_t limit) const {
  return ReadableRaces(card_, next_, limit);
}

bool ArchiveReading::ReadNext(MessageSink& messages, Bytes& record) {
  static const Race kFresh;
  const int j = next_++;
  race_ = kFresh;
  if (!card_.ReadRace(j, race_, messages)) return false;
  PlacingSink raceMessages(messages, PlaceOf(j, race_));
  assembler_.Build(race_, alarm_, raceMessages, record);
  return true;
}

}  // namespace kelvane
