#include "pdb/race_record.h"

#include <algorithm>
#include <stdexcept>

#include "codes/code_rendering.h"

namespace kelvane {
namespace {

// A template, so that each width unrolls to its few byte stores.
template <int kWidth>
void AppendBigEndian(Bytes& out, std::uint64_t value) {
  for (int shift = 8 * (kWidth - 1); shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

// MMDD and HHMM values are carried as two bytes: the hundreds and the rest.
int High(int fourDigits) { return fourDigits / 100; }
int Low(int fourDigits) { return fourDigits % 100; }

// Reads the fields of a record in order. The record's length has been checked
// against its runner count before, so a read past the end is a fault of the layout.
class FieldReader {
 public:
  explicit FieldReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t U8() { return static_cast<std::uint8_t>(Number(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Number(2)); }
  std::uint32_t U32() { return Number(4); }
  std::string Text(std::size_t width) {
    const auto field = Take(width);
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
  }
  void Skip(std::size_t width) { Take(width); }

 private:
  std::uint32_t Number(std::size_t width) {
    const std::size_t at = pos_;
    Take(width);
    return BigEndianAt(bytes_, at, width);
  }
  std::span<const std::uint8_t> Take(std::size_t width) {
    if (width > bytes_.size() - pos_) throw std::out_of_range("race record ends early");
    const auto field = bytes_.subspan(pos_, width);
    pos_ += width;
    return field;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

PastRunBlock ReadPastRunBlock(FieldReader& in) {
  PastRunBlock b;
  b.year = in.U16();
  b.racecourseIndex = in.U16();
  b.distance = in.U16();
  b.valueAt116 = in.U16();
  b.valueAt119 = in.U16();
  for (auto& value : b.valuesAt130) value = in.U16();
  b.valueAt209 = in.U16();
  b.timeDifference = in.U16();
  b.valueAt149 = in.U16();
  b.weightCarried = in.U16();
  b.finishTime = in.U32();
  b.month = in.U8();
  b.day = in.U8();
  b.meetingNumber = in.U8();
  b.meetingDay = in.U8();
  b.raceNumber = in.U8();
  b.gradeIndex = in.U8();
  b.raceTypeCode = in.U8();
  b.raceSymbolValue = in.U8();
  b.weightTypeCode = in.U8();
  b.trackCode = in.U8();
  b.valueAt72 = in.U8();
  b.valueAt74 = in.U8();
  b.valueAt76 = in.U8();
  b.goingCode = in.U8();
  b.weatherCode = in.U8();
  b.valueAt80 = in.U8();
  b.valueAt82 = in.U8();
  b.valueAt83 = in.U8();
  b.valueAt87 = in.U8();
  b.valueAt101 = in.U8();
  for (auto& position : b.cornerPositions) position = in.U8();
  b.marginIndex = in.U8();
  b.resultFlag = in.U8();
  b.finishPosition = in.U8();
  b.valueAt147 = in.U8();
  b.textAt16 = in.Text(8);
  b.conditionText = in.Text(14);
  b.jockeyName = in.Text(10);
  b.trainerName = in.Text(10);
  b.otherHorseName = in.Text(22);
  return b;
}

RunnerPart ReadRunnerPart(FieldReader& in) {
  RunnerPart r;
  r.weightCarried = in.U16();
  r.estimatedOdds = in.U16();
  r.birthYear = in.U16();
  in.Skip(2);
  for (auto& amount : r.amountsAt602) amount = in.U32();
  r.amountAt588 = in.U32();
  r.frameNumber = in.U8();
  r.horseNumber = in.U8();
  r.sexCode = in.U8();
  r.age = in.U8();
  r.coatColourCode = in.U8();
  r.horseMarkCode = in.U8();
  r.entryFlagCode = in.U8();
  r.jockeyChanged = in.U8();
  r.trainerFlagCode = in.U8();
  r.runningStyle = in.U8();
  r.birthMonth = in.U8();
  r.birthDay = in.U8();
  for (auto& group : r.resultCounts) {
    for (auto& count : group) count = in.U8();
  }
  r.pastRunCount = in.U8();
  in.Skip(1);
  r.horseName = in.Text(38);
  r.jockeyName = in.Text(10);
  r.textAt555 = in.Text(10);
  r.textAt420 = in.Text(26);
  r.nameAt444 = in.Text(42);
  r.nameAt490 = in.Text(42);
  for (auto& name : r.pedigreeNames) name = in.Text(38);
  for (auto& run : r.pastRuns) run = ReadPastRunBlock(in);
  return r;
}

RacePart ReadRacePart(FieldReader& in) {
  RacePart r;
  r.year = in.U16();
  r.racecourseIndex = in.U16();
  r.valueAt83 = in.U16();
  r.valueAt319 = in.U16();
  r.distance = in.U16();
  for (auto& amount : r.amountsAt148) amount = in.U32();
  r.valueAt237 = in.U16();
  r.valueAt233 = in.U16();
  r.trackCode = in.U16();
  r.month = in.U8();
  r.day = in.U8();
  r.meetingNumber = in.U8();
  r.meetingDay = in.U8();
  r.raceNumber = in.U8();
  r.gradeIndex = in.U8();
  r.raceTypeIndex = in.U8();
  r.weightTypeCode = in.U8();
  r.saleCode = in.U8();
  r.runnerCount = in.U8();
  r.postHour = in.U8();
  r.postMinute = in.U8();
  r.alarm = in.U8();
  in.Skip(1);
  r.raceName = in.Text(22);
  r.raceSymbolText = in.Text(32);
  r.textAt267 = in.Text(38);
  r.textAt294 = in.Text(10);
  return r;
}

}  // namespace

int RecordedRunnerCount(const Race& race) { return std::clamp(race.runnerCount, 0, kMaxRunners); }

void AppendU8(Bytes& out, std::int64_t value) { AppendBigEndian<1>(out, value); }
void AppendU16(Bytes& out, std::int64_t value) { AppendBigEndian<2>(out, value); }
void AppendU32(Bytes& out, std::int64_t value) { AppendBigEndian<4>(out, value); }

void AppendText(Bytes& out, std::string_view text, std::uint16_t width) {
  if (width == 0) return;
  const std::size_t kept = std::min<std::size_t>(text.size(), width - 1u);
  out.insert(out.end(), text.begin(), text.begin() + kept);
  out.insert(out.end(), width - kept, std::uint8_t{0});
}

bool JockeyChanged(const Runner& runner, const std::string& todaysJockey) {
  const PastRun& lastRun = runner.pastRuns[0];
  return lastRun.finishPosition > 0 && lastRun.jockeyName != todaysJockey;
}

void AppendRacePart(Bytes& out, const Race& race, bool alarm) {
  AppendU16(out, race.year);                                  //   0
  AppendU16(out, RacecourseIndex(race.racecourseCode));       //   2
  AppendU16(out, race.valueAt83);                             //   4
  AppendU16(out, race.valueAt319);                            //   6
  AppendU16(out, race.distance);                              //   8
  for (int amount : race.amountsAt148) AppendU32(out, amount);  // 10
  AppendU16(out, race.valueAt237);                            //  30
  AppendU16(out, race.valueAt233);                            //  32
  AppendU16(out, race.trackCode);                             //  34
  AppendU8(out, High(race.monthDay));                         //  36 month
  AppendU8(out, Low(race.monthDay));                          //  37 day
  AppendU8(out, race.meetingNumber);                          //  38
  AppendU8(out, race.meetingDay);                             //  39
  AppendU8(out, race.raceNumber);                             //  40
  AppendU8(out, GradeIndex(race.gradeCode));                  //  41
  AppendU8(out, RaceTypeIndex(race.raceTypeCode));            //  42
  AppendU8(out, race.weightTypeCode);                         //  43
  AppendU8(out, race.saleCode);                               //  44
  AppendU8(out, RecordedRunnerCount(race));                   //  45
  AppendU8(out, High(race.postTime));                         //  46 hour
  AppendU8(out, Low(race.postTime));                          //  47 minute
  AppendU8(out, alarm ? 1 : 0);                               //  48
  AppendU8(out, 0);                                           //  49
  AppendText(out, race.raceName, 22);                         //  50
  AppendText(out, race.raceSymbolText, 32);                   //  72
  AppendText(out, race.textAt267, 38);                        // 104
  AppendText(out, race.textAt294, 10);                        // 142
}

void AppendRunnerPart(Bytes& out, const Race& race, int entry, const Runner& runner) {
  AppendU16(out, race.weightsCarried[entry]);                 //   0
  AppendU16(out, runner.estimatedOdds);                       //   2
  AppendU16(out, runner.birthYear);                           //   4
  AppendU16(out, 0);                                          //   6
  for (int amount : runner.amountsAt602) AppendU32(out, amount);  // 8
  AppendU32(out, runner.amountAt588);                         //  16
  AppendU8(out, race.frameNumbers[entry]);                    //  20
  AppendU8(out, race.horseNumbers[entry]);                    //  21
  AppendU8(out, race.sexCodes[entry]);                        //  22
  AppendU8(out, runner.age);                                  //  23
  AppendU8(out, runner.coatColourCode);                       //  24
  AppendU8(out, runner.horseMarkCode);                        //  25
  AppendU8(out, race.entryFlagCodes[entry]);                  //  26
  AppendU8(out, JockeyChanged(runner, race.jockeyNames[entry]) ? 1 : 0);  // 27
  AppendU8(out, race.trainerFlagCodes[entry]);                //  28
  AppendU8(out, runner.runningStyle);                         //  29
  AppendU8(out, High(runner.birthMonthDay % 10000));          //  30 birth month
  AppendU8(out, Low(runner.birthMonthDay));                   //  31 birth day
  for (const auto& group : runner.resultCounts) {             //  32
    for (int count : group) AppendU8(out, count);
  }
  AppendU8(out, runner.pastRunCount);                         // 128
  AppendU8(out, 0);                                           // 129
  AppendText(out, runner.horseName, 38);                      // 130
  AppendText(out, race.jockeyNames[entry], 10);               // 168
  AppendText(out, runner.textAt555, 10);                      // 178
  AppendText(out, runner.textAt420, 26);                      // 188
  AppendText(out, runner.nameAt444, 42);                      // 214
  AppendText(out, runner.nameAt490, 42);                      // 256
  for (const auto& name : runner.pedigreeNames) AppendText(out, name, 38);  // 298
  for (const auto& run : runner.pastRuns) AppendPastRunBlock(out, run);     // 526
}

void AppendPastRunBlock(Bytes& out, const PastRun& run) {
  AppendU16(out, run.year);                                   //   0
  AppendU16(out, RacecourseIndex(run.racecourseCode));        //   2
  AppendU16(out, run.distance);                               //   4
  AppendU16(out, run.valueAt116);                             //   6
  AppendU16(out, run.valueAt119);                             //   8
  AppendU16(out, run.valuesAt130[0]);                         //  10
  AppendU16(out, run.valuesAt130[1]);                         //  12
  AppendU16(out, run.valueAt209);                             //  14
  AppendU16(out, run.timeDifference);                         //  16
  AppendU16(out, run.valueAt149);                             //  18
  AppendU16(out, run.weightCarried);                          //  20
  AppendU32(out, run.finishTime);                             //  22
  AppendU8(out, High(run.monthDay));                          //  26 month
  AppendU8(out, Low(run.monthDay));                           //  27 day
  AppendU8(out, run.meetingNumber);                           //  28
  AppendU8(out, run.meetingDay);                              //  29
  AppendU8(out, run.raceNumber);                              //  30
  AppendU8(out, GradeIndex(run.gradeCode));                   //  31
  AppendU8(out, run.raceTypeCode);                            //  32 the code, not its index
  AppendU8(out, run.raceSymbolValue);                         //  33
  AppendU8(out, run.weightTypeCode);                          //  34
  AppendU8(out, run.trackCode);                               //  35
  AppendU8(out, run.valueAt72);                               //  36
  AppendU8(out, run.valueAt74);                               //  37
  AppendU8(out, run.valueAt76);                               //  38
  AppendU8(out, run.goingCode);                               //  39
  AppendU8(out, run.weatherCode);                             //  40
  AppendU8(out, run.valueAt80);                               //  41
  AppendU8(out, run.valueAt82);                               //  42
  AppendU8(out, run.valueAt83);                               //  43
  AppendU8(out, run.valueAt87);                               //  44
  AppendU8(out, run.valueAt101);                              //  45
  for (int position : run.cornerPositions) AppendU8(out, position);  // 46
  AppendU8(out, MarginIndex(run.marginCode));                 //  50
  AppendU8(out, run.resultFlag);                              //  51
  AppendU8(out, run.finishPosition);                          //  52
  AppendU8(out, run.valueAt147);                              //  53
  AppendText(out, run.textAt16, 8);                           //  54
  AppendText(out, run.conditionText, 14);                     //  62
  AppendText(out, run.jockeyName, 10);                        //  76
  AppendText(out, run.trainerName, 10);                       //  86
  AppendText(out, run.otherHorseName, 22);                    //  96
}

std::uint32_t BigEndianAt(std::span<const std::uint8_t> bytes, std::size_t offset,
                          std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = (value << 8) | bytes[offset + i];
  return value;
}

std::optional<RaceRecord> DecodeRaceRecord(std::span<const std::uint8_t> record) {
  if (record.size() < kRacePartSize ||
      record.size() != RaceRecordSize(record[kRunCountAt])) {
    return std::nullopt;
  }
  FieldReader in(record);
  RaceRecord decoded{ReadRacePart(in), {}};
  for (int j = 0; j < decoded.race.runnerCount; ++j) {
    decoded.runners.push_back(ReadRunnerPart(in));
  }
  return decoded;
}

}  // namespace kelvane
