#include "pdb/record_assembly.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
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

// Reads the horse of entries 1, 2 ... into runners 0, 1 ..., one for each runner,
// stopping at the first that fails.
void ReadRunners(const Race& race, CurrentRegister& horses, std::span<Runner> runners, MessageSink& messages) {
  const auto count = static_cast<int>(runners.size());
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

// The runners of one race, made fresh for each race: the first `count` of those
// kept. They are reset by assigning a fresh runner rather than made anew, and kept
// when a race has fewer, so that their texts keep the room they had: a race then
// reads its runners with next to no allocation.
class RaceRunners {
 public:
  std::span<Runner> Fresh(int count) {
    static const Runner kFresh;
    const auto wanted = static_cast<std::size_t>(count);
    if (runners_.size() < wanted) runners_.resize(wanted);
    const std::span<Runner> fresh(runners_.data(), wanted);
    std::fill(fresh.begin(), fresh.end(), kFresh);
    return fresh;
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
  const std::span<Runner> runners = assembly.runners.Fresh(count);
  ReadRunners(race, assembly.horses, runners, messages);
  EstimateOdds(runners.data(), count);
  for (int j = 0; j < count; ++j) AppendRunnerPart(record, race, j + 1, runners[j]);
}

}  // namespace kelvane
