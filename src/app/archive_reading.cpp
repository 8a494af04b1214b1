#include "app/archive_reading.h"

#include "jravan/horse_register.h"

namespace kelvane {
namespace {

class Silent : public MessageSink {
 public:
  void ShowMessage(const Message&) override {}
};

}  // namespace

ArchiveReading::ArchiveReading(const DataFiles& files, bool alarm)
    : card_(files.cardPath, files.folder.ReadFile(kRaceCardName), files.horseFilePath), alarm_(alarm) {
  assembler_.UseHorseRegister(files.horseFilePath, HorseRegister(files.folder.ReadFile(kHorseRegisterName)));
}

std::size_t ArchiveReading::ReadableRacesLeft(std::size_t limit) const {
  Silent silent;
  std::size_t readable = 0;
  Race race;
  for (int j = next_; j <= card_.CountRaces() && readable <= limit; ++j) {
    if (card_.ReadRace(j, race, silent)) ++readable;
  }
  return readable;
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
