#include "pdb/race_record.h"

#include <algorithm>

#include "codes/code_rendering.h"

namespace kelvane {
namespace {

using RacePartValues = BasicRacePart<std::string_view>;
using RunnerPartValues = BasicRunnerPart<std::string_view>;
using PastRunBlockValues = BasicPastRunBlock<std::string_view>;

// MMDD and HHMM values are carried as two bytes: the hundreds and the rest.
int High(int fourDigits) { return fourDigits / 100; }
int Low(int fourDigits) { return fourDigits % 100; }

// The field values keep the low bits of the source integers, as the record does.
template <typename Target, typename Source, std::size_t N>
void CopyLowBits(std::array<Target, N>& target, const Source& source) {
  for (std::size_t i = 0; i < N; ++i) target[i] = static_cast<Target>(source[i]);
}

// Appends a zeroed part of `size` bytes and writes `values` into it by the layout.
template <typename Part>
void AppendPart(Bytes& out, std::size_t size, const Part& values) {
  out.resize(out.size() + size);
  PartEncoder encoder(std::span<std::uint8_t>(out).last(size));
  VisitFields(values, encoder);
}

RacePartValues RaceValues(const Race& race, bool alarm) {
  RacePartValues r;
  r.year = static_cast<std::uint16_t>(race.year);
  r.racecourseIndex = RacecourseIndex(race.racecourseCode);
  r.valueAt83 = static_cast<std::uint16_t>(race.valueAt83);
  r.valueAt319 = static_cast<std::uint16_t>(race.valueAt319);
  r.distance = static_cast<std::uint16_t>(race.distance);
  CopyLowBits(r.amountsAt148, race.amountsAt148);
  r.valueAt237 = static_cast<std::uint16_t>(race.valueAt237);
  r.valueAt233 = static_cast<std::uint16_t>(race.valueAt233);
  r.trackCode = static_cast<std::uint16_t>(race.trackCode);
  r.month = static_cast<std::uint8_t>(High(race.monthDay));
  r.day = static_cast<std::uint8_t>(Low(race.monthDay));
  r.meetingNumber = static_cast<std::uint8_t>(race.meetingNumber);
  r.meetingDay = static_cast<std::uint8_t>(race.meetingDay);
  r.raceNumber = static_cast<std::uint8_t>(race.raceNumber);
  r.gradeIndex = GradeIndex(race.gradeCode);
  r.raceTypeIndex = RaceTypeIndex(race.raceTypeCode);
  r.weightTypeCode = static_cast<std::uint8_t>(race.weightTypeCode);
  r.saleCode = static_cast<std::uint8_t>(race.saleCode);
  r.runnerCount = static_cast<std::uint8_t>(RecordedRunnerCount(race));
  r.postHour = static_cast<std::uint8_t>(High(race.postTime));
  r.postMinute = static_cast<std::uint8_t>(Low(race.postTime));
  r.alarm = alarm ? 1 : 0;
  r.raceName = race.raceName;
  r.raceSymbolText = race.raceSymbolText;
  r.textAt267 = race.textAt267;
  r.textAt294 = race.textAt294;
  return r;
}

PastRunBlockValues PastRunValues(const PastRun& run) {
  PastRunBlockValues b;
  b.year = static_cast<std::uint16_t>(run.year);
  b.racecourseIndex = RacecourseIndex(run.racecourseCode);
  b.distance = static_cast<std::uint16_t>(run.distance);
  b.valueAt116 = static_cast<std::uint16_t>(run.valueAt116);
  b.valueAt119 = static_cast<std::uint16_t>(run.valueAt119);
  CopyLowBits(b.valuesAt130, run.valuesAt130);
  b.valueAt209 = static_cast<std::uint16_t>(run.valueAt209);
  b.timeDifference = static_cast<std::uint16_t>(run.timeDifference);
  b.valueAt149 = static_cast<std::uint16_t>(run.valueAt149);
  b.weightCarried = static_cast<std::uint16_t>(run.weightCarried);
  b.finishTime = static_cast<std::uint32_t>(run.finishTime);
  b.month = static_cast<std::uint8_t>(High(run.monthDay));
  b.day = static_cast<std::uint8_t>(Low(run.monthDay));
  b.meetingNumber = static_cast<std::uint8_t>(run.meetingNumber);
  b.meetingDay = static_cast<std::uint8_t>(run.meetingDay);
  b.raceNumber = static_cast<std::uint8_t>(run.raceNumber);
  b.gradeIndex = GradeIndex(run.gradeCode);
  b.raceTypeCode = static_cast<std::uint8_t>(run.raceTypeCode);
  b.raceSymbolValue = static_cast<std::uint8_t>(run.raceSymbolValue);
  b.weightTypeCode = static_cast<std::uint8_t>(run.weightTypeCode);
  b.trackCode = static_cast<std::uint8_t>(run.trackCode);
  b.valueAt72 = static_cast<std::uint8_t>(run.valueAt72);
  b.valueAt74 = static_cast<std::uint8_t>(run.valueAt74);
  b.valueAt76 = static_cast<std::uint8_t>(run.valueAt76);
  b.goingCode = static_cast<std::uint8_t>(run.goingCode);
  b.weatherCode = static_cast<std::uint8_t>(run.weatherCode);
  b.valueAt80 = static_cast<std::uint8_t>(run.valueAt80);
  b.valueAt82 = static_cast<std::uint8_t>(run.valueAt82);
  b.valueAt83 = static_cast<std::uint8_t>(run.valueAt83);
  b.valueAt87 = static_cast<std::uint8_t>(run.valueAt87);
  b.valueAt101 = static_cast<std::uint8_t>(run.valueAt101);
  CopyLowBits(b.cornerPositions, run.cornerPositions);
  b.marginIndex = MarginIndex(run.marginCode);
  b.resultFlag = static_cast<std::uint8_t>(run.resultFlag);
  b.finishPosition = static_cast<std::uint8_t>(run.finishPosition);
  b.valueAt147 = static_cast<std::uint8_t>(run.valueAt147);
  b.textAt16 = run.textAt16;
  b.conditionText = run.conditionText;
  b.jockeyName = run.jockeyName;
  b.trainerName = run.trainerName;
  b.otherHorseName = run.otherHorseName;
  return b;
}

RunnerPartValues RunnerValues(const Race& race, int entry, const Runner& runner) {
  RunnerPartValues r;
  r.weightCarried = static_cast<std::uint16_t>(race.weightsCarried[entry]);
  r.estimatedOdds = static_cast<std::uint16_t>(runner.estimatedOdds);
  r.birthYear = static_cast<std::uint16_t>(runner.birthYear);
  CopyLowBits(r.amountsAt602, runner.amountsAt602);
  r.amountAt588 = static_cast<std::uint32_t>(runner.amountAt588);
  r.frameNumber = static_cast<std::uint8_t>(race.frameNumbers[entry]);
  r.horseNumber = static_cast<std::uint8_t>(race.horseNumbers[entry]);
  r.sexCode = static_cast<std::uint8_t>(race.sexCodes[entry]);
  r.age = static_cast<std::uint8_t>(runner.age);
  r.coatColourCode = static_cast<std::uint8_t>(runner.coatColourCode);
  r.horseMarkCode = static_cast<std::uint8_t>(runner.horseMarkCode);
  r.entryFlagCode = static_cast<std::uint8_t>(race.entryFlagCodes[entry]);
  r.jockeyChanged = JockeyChanged(runner, race.jockeyNames[entry]) ? 1 : 0;
  r.trainerFlagCode = static_cast<std::uint8_t>(race.trainerFlagCodes[entry]);
  r.runningStyle = static_cast<std::uint8_t>(runner.runningStyle);
  r.birthMonth = static_cast<std::uint8_t>(High(runner.birthMonthDay % 10000));
  r.birthDay = static_cast<std::uint8_t>(Low(runner.birthMonthDay));
  for (std::size_t g = 0; g < r.resultCounts.size(); ++g) {
    CopyLowBits(r.resultCounts[g], runner.resultCounts[g]);
  }
  r.pastRunCount = static_cast<std::uint8_t>(runner.pastRunCount);
  r.horseName = runner.horseName;
  r.jockeyName = race.jockeyNames[entry];
  r.textAt555 = runner.textAt555;
  r.textAt420 = runner.textAt420;
  r.nameAt444 = runner.nameAt444;
  r.nameAt490 = runner.nameAt490;
  std::copy(runner.pedigreeNames.begin(), runner.pedigreeNames.end(), r.pedigreeNames.begin());
  for (std::size_t m = 0; m < r.pastRuns.size(); ++m) {
    r.pastRuns[m] = PastRunValues(runner.pastRuns[m]);
  }
  return r;
}

template <typename Part>
Part Decoded(std::span<const std::uint8_t> bytes) {
  Part part;
  PartDecoder decoder(bytes);
  VisitFields(part, decoder);
  return part;
}

}  // namespace

int RecordedRunnerCount(const Race& race) { return std::clamp(race.runnerCount, 0, kMaxRunners); }

bool JockeyChanged(const Runner& runner, const std::string& todaysJockey) {
  const PastRun& lastRun = runner.pastRuns[0];
  return lastRun.finishPosition > 0 && lastRun.jockeyName != todaysJockey;
}

void AppendRacePart(Bytes& out, const Race& race, bool alarm) {
  AppendPart(out, kRacePartSize, RaceValues(race, alarm));
}

void AppendRunnerPart(Bytes& out, const Race& race, int entry, const Runner& runner) {
  AppendPart(out, kRunnerPartSize, RunnerValues(race, entry, runner));
}

RacePart DecodeRacePart(std::span<const std::uint8_t> part) {
  return Decoded<RacePart>(part.first(kRacePartSize));
}

std::optional<RaceRecord> DecodeRaceRecord(std::span<const std::uint8_t> record) {
  if (record.size() < kRacePartSize ||
      record.size() != RaceRecordSize(record[kRunCountAt])) {
    return std::nullopt;
  }
  RaceRecord decoded{DecodeRacePart(record), {}};
  for (std::size_t j = 0; j < decoded.race.runnerCount; ++j) {
    decoded.runners.push_back(
        Decoded<RunnerPart>(record.subspan(RaceRecordSize(j), kRunnerPartSize)));
  }
  return decoded;
}

bool HoldsNoHorse(const RunnerPart& runner) {
  static const RunnerPart kFresh = [] {
    Bytes part;
    AppendRunnerPart(part, Race{}, 1, Runner{});
    return Decoded<RunnerPart>(part);
  }();
  RunnerPart fresh = kFresh;
  // What the race card gives the entry, and the odds that every runner is given.
  fresh.weightCarried = runner.weightCarried;
  fresh.estimatedOdds = runner.estimatedOdds;
  fresh.frameNumber = runner.frameNumber;
  fresh.horseNumber = runner.horseNumber;
  fresh.sexCode = runner.sexCode;
  fresh.entryFlagCode = runner.entryFlagCode;
  fresh.trainerFlagCode = runner.trainerFlagCode;
  fresh.jockeyName = runner.jockeyName;
  return runner == fresh;
}

}  // namespace kelvane
