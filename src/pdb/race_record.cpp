#include "pdb/race_record.h"

#include <algorithm>
#include <stdexcept>

#include "codes/code_rendering.h"

namespace kelvane {
namespace {

// Fills a part of known size added at the end of a record, field after field,
// through a plain pointer: much cheaper than growing the record byte by byte, where
// every byte stored makes the record's size be read again. The part starts zeroed.
class PartWriter {
 public:
  PartWriter(Bytes& out, std::size_t size) {
    out.resize(out.size() + size);
    end_ = out.data() + out.size();
    at_ = end_ - size;
  }
  PartWriter(const PartWriter&) = delete;
  PartWriter& operator=(const PartWriter&) = delete;

  void U8(std::int64_t value) { Put<1>(value); }
  void U16(std::int64_t value) { Put<2>(value); }
  void U32(std::int64_t value) { Put<4>(value); }
  void Text(std::string_view text, std::uint16_t width) {
    if (width == 0) return;
    Reserve(width);
    const std::size_t kept = std::min<std::size_t>(text.size(), width - 1u);
    std::copy_n(text.begin(), kept, at_);  // the rest of the field stays zero
    at_ += width;
  }

 private:
  template <int kWidth>
  void Put(std::uint64_t value) {
    Reserve(kWidth);
    for (int shift = 8 * (kWidth - 1); shift >= 0; shift -= 8) {
      *at_++ = static_cast<std::uint8_t>(value >> shift);
    }
  }
  // A slip in the layout below shows at once instead of writing past the part.
  void Reserve(std::size_t width) const {
    if (width > static_cast<std::size_t>(end_ - at_)) throw std::logic_error("part overrun");
  }

  std::uint8_t* at_;
  std::uint8_t* end_;
};

// A runner part: its own fields, then the five past-run blocks.
constexpr std::size_t kRunnerFieldsBeforePastRuns =
    kRunnerPartSize - std::size_t{kPastRuns} * kPastRunBlockSize;
static_assert(kRunnerFieldsBeforePastRuns == 526);

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

void AppendU8(Bytes& out, std::int64_t value) { PartWriter(out, 1).U8(value); }
void AppendU16(Bytes& out, std::int64_t value) { PartWriter(out, 2).U16(value); }
void AppendU32(Bytes& out, std::int64_t value) { PartWriter(out, 4).U32(value); }

void AppendText(Bytes& out, std::string_view text, std::uint16_t width) {
  PartWriter(out, width).Text(text, width);
}

bool JockeyChanged(const Runner& runner, const std::string& todaysJockey) {
  const PastRun& lastRun = runner.pastRuns[0];
  return lastRun.finishPosition > 0 && lastRun.jockeyName != todaysJockey;
}

void AppendRacePart(Bytes& out, const Race& race, bool alarm) {
  PartWriter part(out, kRacePartSize);
  part.U16(race.year);                                  //   0
  part.U16(RacecourseIndex(race.racecourseCode));       //   2
  part.U16(race.valueAt83);                             //   4
  part.U16(race.valueAt319);                            //   6
  part.U16(race.distance);                              //   8
  for (int amount : race.amountsAt148) part.U32(amount);  // 10
  part.U16(race.valueAt237);                            //  30
  part.U16(race.valueAt233);                            //  32
  part.U16(race.trackCode);                             //  34
  part.U8(High(race.monthDay));                         //  36 month
  part.U8(Low(race.monthDay));                          //  37 day
  part.U8(race.meetingNumber);                          //  38
  part.U8(race.meetingDay);                             //  39
  part.U8(race.raceNumber);                             //  40
  part.U8(GradeIndex(race.gradeCode));                  //  41
  part.U8(RaceTypeIndex(race.raceTypeCode));            //  42
  part.U8(race.weightTypeCode);                         //  43
  part.U8(race.saleCode);                               //  44
  part.U8(RecordedRunnerCount(race));                   //  45
  part.U8(High(race.postTime));                         //  46 hour
  part.U8(Low(race.postTime));                          //  47 minute
  part.U8(alarm ? 1 : 0);                               //  48
  part.U8(0);                                           //  49
  part.Text(race.raceName, 22);                         //  50
  part.Text(race.raceSymbolText, 32);                   //  72
  part.Text(race.textAt267, 38);                        // 104
  part.Text(race.textAt294, 10);                        // 142
}

void AppendRunnerPart(Bytes& out, const Race& race, int entry, const Runner& runner) {
  {
    PartWriter part(out, kRunnerFieldsBeforePastRuns);
    part.U16(race.weightsCarried[entry]);               //   0
    part.U16(runner.estimatedOdds);                     //   2
    part.U16(runner.birthYear);                         //   4
    part.U16(0);                                        //   6
    for (int amount : runner.amountsAt602) part.U32(amount);  // 8
    part.U32(runner.amountAt588);                       //  16
    part.U8(race.frameNumbers[entry]);                  //  20
    part.U8(race.horseNumbers[entry]);                  //  21
    part.U8(race.sexCodes[entry]);                      //  22
    part.U8(runner.age);                                //  23
    part.U8(runner.coatColourCode);                     //  24
    part.U8(runner.horseMarkCode);                      //  25
    part.U8(race.entryFlagCodes[entry]);                //  26
    part.U8(JockeyChanged(runner, race.jockeyNames[entry]) ? 1 : 0);  // 27
    part.U8(race.trainerFlagCodes[entry]);              //  28
    part.U8(runner.runningStyle);                       //  29
    part.U8(High(runner.birthMonthDay % 10000));        //  30 birth month
    part.U8(Low(runner.birthMonthDay));                 //  31 birth day
    for (const auto& group : runner.resultCounts) {     //  32
      for (int count : group) part.U8(count);
    }
    part.U8(runner.pastRunCount);                       // 128
    part.U8(0);                                         // 129
    part.Text(runner.horseName, 38);                    // 130
    part.Text(race.jockeyNames[entry], 10);             // 168
    part.Text(runner.textAt555, 10);                    // 178
    part.Text(runner.textAt420, 26);                    // 188
    part.Text(runner.nameAt444, 42);                    // 214
    part.Text(runner.nameAt490, 42);                    // 256
    for (const auto& name : runner.pedigreeNames) part.Text(name, 38);  // 298
  }
  for (const auto& run : runner.pastRuns) AppendPastRunBlock(out, run);  // 526
}

void AppendPastRunBlock(Bytes& out, const PastRun& run) {
  PartWriter part(out, kPastRunBlockSize);
  part.U16(run.year);                                   //   0
  part.U16(RacecourseIndex(run.racecourseCode));        //   2
  part.U16(run.distance);                               //   4
  part.U16(run.valueAt116);                             //   6
  part.U16(run.valueAt119);                             //   8
  part.U16(run.valuesAt130[0]);                         //  10
  part.U16(run.valuesAt130[1]);                         //  12
  part.U16(run.valueAt209);                             //  14
  part.U16(run.timeDifference);                         //  16
  part.U16(run.valueAt149);                             //  18
  part.U16(run.weightCarried);                          //  20
  part.U32(run.finishTime);                             //  22
  part.U8(High(run.monthDay));                          //  26 month
  part.U8(Low(run.monthDay));                           //  27 day
  part.U8(run.meetingNumber);                           //  28
  part.U8(run.meetingDay);                              //  29
  part.U8(run.raceNumber);                              //  30
  part.U8(GradeIndex(run.gradeCode));                   //  31
  part.U8(run.raceTypeCode);                            //  32 the code, not its index
  part.U8(run.raceSymbolValue);                         //  33
  part.U8(run.weightTypeCode);                          //  34
  part.U8(run.trackCode);                               //  35
  part.U8(run.valueAt72);                               //  36
  part.U8(run.valueAt74);                               //  37
  part.U8(run.valueAt76);                               //  38
  part.U8(run.goingCode);                               //  39
  part.U8(run.weatherCode);                             //  40
  part.U8(run.valueAt80);                               //  41
  part.U8(run.valueAt82);                               //  42
  part.U8(run.valueAt83);                               //  43
  part.U8(run.valueAt87);                               //  44
  part.U8(run.valueAt101);                              //  45
  for (int position : run.cornerPositions) part.U8(position);  // 46
  part.U8(MarginIndex(run.marginCode));                 //  50
  part.U8(run.resultFlag);                              //  51
  part.U8(run.finishPosition);                          //  52
  part.U8(run.valueAt147);                              //  53
  part.Text(run.textAt16, 8);                           //  54
  part.Text(run.conditionText, 14);                     //  62
  part.Text(run.jockeyName, 10);                        //  76
  part.Text(run.trainerName, 10);                       //  86
  part.Text(run.otherHorseName, 22);                    //  96
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
