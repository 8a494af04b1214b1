#include "pdb/race_record.h"

#include "jravan/horse_fields.h"
#include "jravan/race_fields.h"
#include "pdb/part_coding.h"

namespace kelvane {
namespace {

// Appends a zeroed part and writes the part made from `source` into it.
template <typename Part, typename Source>
void AppendPart(Bytes& out, const Source& source) {
  constexpr std::size_t kSize = PartLayout<Part>::kSize;
  out.resize(out.size() + kSize);
  EncodePart<Part>(source, std::span<std::uint8_t>(out).last(kSize));
}

}  // namespace

int RecordedRunnerCount(const Race& race) { return RunnersOnCard(race.runnerCount); }

void AppendRacePart(Bytes& out, const Race& race, bool alarm) {
  AppendPart<RacePart>(out, RacePartSource{race, alarm});
}

void AppendRunnerPart(Bytes& out, const Race& race, int entry, const Runner& runner) {
  AppendPart<RunnerPart>(out, RunnerPartSource{race, static_cast<std::size_t>(entry), runner});
}

RacePart DecodeRacePart(std::span<const std::uint8_t> part) {
  return DecodePart<RacePart>(part.first(kRacePartSize));
}

std::optional<RaceRecord> DecodeRaceRecord(std::span<const std::uint8_t> record) {
  if (record.size() < kRacePartSize ||
      record.size() != RaceRecordSize(record[kRunCountAt])) {
    return std::nullopt;
  }
  RaceRecord decoded{DecodeRacePart(record), {}};
  for (std::size_t j = 0; j < decoded.race.runnerCount; ++j) {
    decoded.runners.push_back(DecodePart<RunnerPart>(record.subspan(RaceRecordSize(j), kRunnerPartSize)));
  }
  return decoded;
}

bool HoldsNoHorse(const RunnerPart& runner) {
  static const RunnerPart kFresh = [] {
    Bytes part;
    AppendRunnerPart(part, Race{}, 1, Runner{});
    return DecodePart<RunnerPart>(part);
  }();
  RunnerPart fresh = kFresh;
  // What the race card gives the entry, and the odds that every runner is given.
  ForEachRecordField<kEntryFields>([&](const auto& field) { fresh.*field.member = runner.*field.member; });
  fresh.estimatedOdds = runner.estimatedOdds;
  return runner == fresh;
}

}  // namespace kelvane
