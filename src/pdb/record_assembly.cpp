#include "pdb/record_assembly.h"

#include "jravan/ratings.h"
#include "pdb/race_record.h"

namespace kelvane {
namespace {

// Reads the horse of entries 1..count into runners 0..count-1, stopping at the first
// that fails.
void ReadRunners(const Race& race, int count, std::vector<Runner>& runners,
                 MessageSink& messages) {
  for (int entry = 1; entry <= count; ++entry) {
    if (!runners[entry - 1].ReadHorseRecord(race.horseFilePath, race.horseIds[entry], race.year,
                                            messages)) {
      return;
    }
  }
}

}  // namespace

bool AssembleRecords(PalmDatabase& db, const std::vector<Race>& races, bool alarm,
                     MessageSink& messages) {
  for (const Race& race : races) {
    if (!BuildRaceRecord(db, race, alarm, messages)) return false;
  }
  return true;
}

bool BuildRaceRecord(PalmDatabase& db, const Race& race, bool alarm, MessageSink& messages) {
  const int count = RecordedRunnerCount(race);
  Bytes record;
  record.reserve(RaceRecordSize(count));
  AppendRacePart(record, race, alarm);

  std::vector<Runner> runners(kEntrySlots);
  ReadRunners(race, count, runners, messages);
  EstimateOdds(runners.data(), count);
  for (int j = 0; j < count; ++j) AppendRunnerPart(record, race, j + 1, runners[j]);
  return db.AddRecord(record);
}

}  // namespace kelvane
