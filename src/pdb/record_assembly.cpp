#include "pdb/record_assembly.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "jravan/horse_register.h"
#include "jravan/ratings.h"
#include "pdb/race_record.h"

namespace kelvane {
namespace {

// The horse register that races read their runners from. The races of one archive
// come one after another and share its register, so keeping the last one opened
// reads each register once; only that one is kept. A register that cannot be opened
// is not kept, so every race that needs it tries again and shows why it cannot.
class CurrentRegister {
 public:
  const HorseRegister* Open(const std::string& path, MessageSink& messages) {
    if (register_ && path_ == path) return &*register_;
    register_.reset();
    register_ = HorseRegister::Open(path, messages);
    path_ = path;
    return register_ ? &*register_ : nullptr;
  }

  void Use(std::string path, HorseRegister horses) {
    path_ = std::move(path);
    register_ = std::move(horses);
  }

 private:
  std::string path_;
  std::optional<HorseRegister> register_;
};

// Reads the horse of entries 1..count into runners 0..count-1, stopping at the first
// that fails.
void ReadRunners(const Race& race, int count, CurrentRegister& horses, std::vector<Runner>& runners,
                 MessageSink& messages) {
  if (count == 0) return;
  const HorseRegister* horseRegister = horses.Open(race.horseFilePath, messages);
  if (horseRegister == nullptr) return;
  PlacingSink runnerMessages(messages, {});
  for (int entry = 1; entry <= count; ++entry) {
    runnerMessages.place().entry = entry;
    runnerMessages.place().horseId = race.horseIds[entry];
    if (!horseRegister->ReadHorseRecord(race.horseIds[entry], race.year, runners[entry - 1],
                                   runnerMessages)) {
      return;
    }
  }
}

// The runners of one race, made fresh for each race. They are reset by assigning
// a fresh runner rather than made anew, so that their texts keep the room they had:
// a race then reads its runners with next to no allocation.
class RaceRunners {
 public:
  std::vector<Runner>& Fresh(int count) {
    static const Runner kFresh;
    runners_.resize(static_cast<std::size_t>(count));
    for (Runner& runner : runners_) runner = kFresh;
    return runners_;
  }

 private:
  std::vector<Runner> runners_;
};

}  // namespace

// What the records of a run share from one race to the next.
struct RecordAssembler::Shared {
  CurrentRegister horses;
  RaceRunners runners;
};

RecordAssembler::RecordAssembler() : shared_(std::make_unique<Shared>()) {}
RecordAssembler::~RecordAssembler() = default;

void RecordAssembler::UseHorseRegister(std::string path, HorseRegister horses) {
  shared_->horses.Use(std::move(path), std::move(horses));
}

void RecordAssembler::Build(const Race& race, bool alarm, MessageSink& messages, Bytes& record) {
  Shared& assembly = *shared_;
  const int count = RecordedRunnerCount(race);
  record.clear();
  record.reserve(RaceRecordSize(count));
  AppendRacePart(record, race, alarm);

  // A fresh runner for each entry that the record has a part for.
  std::vector<Runner>& runners = assembly.runners.Fresh(count);
  ReadRunners(race, count, assembly.horses, runners, messages);
  EstimateOdds(runners.data(), count);
  for (int j = 0; j < count; ++j) AppendRunnerPart(record, race, j + 1, runners[j]);
}

}  // namespace kelvane
