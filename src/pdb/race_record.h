#pragma once

// The race record written from a race and its runners, and read back. What each
// byte holds is said by the field tables (jravan/record_parts.h tells the layout).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "jravan/race.h"
#include "jravan/record_parts.h"
#include "jravan/runner.h"
#include "pdb/palm_database.h"

namespace kelvane {

// The number of runner parts a race's record holds: its runnerCount, kept within the
// 0 to 18 entries of a race card whatever the Race holds.
int RecordedRunnerCount(const Race& race);

// The parts of a record, appended at the end of `out`. `entry` is the race card
// entry (1..18) that `runner` was read for; the runner part holds its five past runs.
void AppendRacePart(Bytes& out, const Race& race, bool alarm);
void AppendRunnerPart(Bytes& out, const Race& race, int entry, const Runner& runner);

struct RaceRecord {
  RacePart race;
  std::vector<RunnerPart> runners;  // race.runnerCount of them

  bool operator==(const RaceRecord&) const = default;
};

// Reads the race part of a record back from its first 152 bytes.
RacePart DecodeRacePart(std::span<const std::uint8_t> part);

// Reads a record back. Returns nothing when its length is not 152 + 1116 times the
// runner count of its byte 45 (a record shorter than 152 bytes included).
std::optional<RaceRecord> DecodeRaceRecord(std::span<const std::uint8_t> record);

// Whether a runner part holds no horse: apart from the race card's entry (frame,
// number, sex, weight, flags, jockey) and the estimated odds that every runner gets,
// it is what a fresh runner writes, as for a horse that could not be read.
bool HoldsNoHorse(const RunnerPart& runner);

}  // namespace kelvane
