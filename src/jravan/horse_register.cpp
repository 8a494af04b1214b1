#include "jravan/horse_register.h"

#include <array>
#include <cstdint>
#include <utility>

#include "codes/code_rendering.h"
#include "codes/code_tables.h"
#include "codes/text_shaping.h"
#include "jravan/field_reader.h"
#include "jravan/file_contents.h"
#include "jravan/ratings.h"
#include "jravan/text_mode_reader.h"

namespace kelvane {
namespace {

constexpr std::size_t kKeySize = 10;
// From the end of one key to the start of the next: a record is 2881 bytes.
constexpr std::size_t kRestOfRecord = 2871;

constexpr std::string_view kEndOfPastRuns = "    ";

// a + b and a - b with 32-bit wrap-around, never overflowing.
int WrappingSum(int a, int b) {
  return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
int WrappingDifference(int a, int b) {
  return static_cast<int>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

void ReadFixedPart(FieldReader& in, Runner& h) {
  in.SkipGap(9);
  // Two overlapping reads of one number: the second wins unless it holds no digits.
  in.Next(1).NumberInto(h.valueAt20);
  in.Next(8).NumberInto(h.valueAt20);
  h.horseName = TextBeforeFullWidthSpaceOrEmpty(in.Next(36).Text());
  in.Next(4).NumberInto(h.birthYear);
  h.birthMonthDay = in.Next(4).Value();
  in.Next(1).NumberAndChar(h.breedCode, h.breedChar);
  h.breedText = BreedTable.Row(h.breedCode);
  in.Next(1).NumberAndChar(h.sexCode, h.sexChar);
  h.sexText = HorseSexTable.Row(h.sexCode);
  in.Next(2).NumberAndText(h.coatColourCode, h.coatColourCodeText);
  h.coatColourText = CoatColourTable.Row(h.coatColourCode);
  in.Next(2).NumberAndText(h.horseMarkCode, h.horseMarkCodeText);
  h.horseMarkText = HorseMarkTable.Row(h.horseMarkCode);
  for (std::string& name : h.pedigreeNames) {
    name = HalfWidthName(in.Next(36).Text());
    in.SkipGap(21);
  }
  h.textAt420 = WithoutTrailingWhitespace(in.Next(24).Text());
  h.nameAt444 = CompactName(in.Next(40).Text());
  in.SkipGap(6);
  h.nameAt490 = CompactName(in.Next(40).Text());
  in.SkipGap(20);
  in.Next(5).NumberInto(h.valueAt550);
  h.textAt555 = TrimFullWidthSpaces(in.Next(8).Text());
  in.Next(1).NumberInto(h.valueAt563);
  h.textAt564 = in.Next(24).Text();
  in.Next(7).NumberInto(h.amountAt588);
  in.Next(7).NumberInto(h.amountAt595);
  for (int& amount : h.amountsAt602) in.Next(7).NumberInto(amount);
  for (auto& group : h.resultCounts) {
    for (int& count : group) in.Next(3).NumberInto(count);
  }
}

// A corner without a position takes the first corner's, and 7 when the first has
// none either.
void FillMissingCorners(std::array<int, 4>& corners) {
  const int fill = corners[0] == 0 ? 7 : corners[0];
  for (int& corner : corners) {
    if (corner == 0) corner = fill;
  }
}

// One past run after its year field.
void ReadPastRun(FieldReader& in, PastRun& p) {
  p.monthDay = in.Next(4).Value();
  p.racecourseCode = in.Next(2).Text();
  p.racecourseName = RacecourseName(p.racecourseCode);
  in.Next(2).NumberInto(p.meetingNumber);
  in.Next(2).NumberInto(p.meetingDay);
  in.Next(2).NumberInto(p.raceNumber);
  p.textAt16 = in.Next(6).Text();
  in.Next(1).TextAndChar(p.gradeCode, p.gradeChar);
  p.gradeText = GradeText(p.gradeCode);
  in.Next(2).NumberAndText(p.raceTypeCode, p.raceTypeCodeText);
  in.Next(3).NumberAndText(p.raceSymbolValue, p.raceSymbolCodeText);
  in.Next(1).NumberAndChar(p.weightTypeCode, p.weightTypeChar);
  in.Next(3).NumberAndText(p.conditionCode, p.conditionCodeText);
  p.conditionText = ConditionText(p.conditionCode);
  p.raceName = in.Next(24).Text();
  in.Next(4).NumberInto(p.distance);
  in.Next(2).NumberAndText(p.trackCode, p.trackCodeText);
  p.trackText = TrackText(p.trackCode);
  in.SkipGap(10);
  in.Next(2).NumberInto(p.valueAt72);
  in.Next(2).NumberInto(p.valueAt74);
  in.Next(2).NumberInto(p.valueAt76);
  in.Next(1).NumberAndChar(p.goingCode, p.goingChar);
  p.goingText = TrackConditionTable.Row(p.goingCode);
  in.Next(1).NumberAndChar(p.weatherCode, p.weatherChar);
  p.weatherText = WeatherTable.Row(p.weatherCode);
  in.Next(2).NumberInto(p.valueAt80);
  in.Next(1).NumberInto(p.valueAt82);
  in.Next(1).NumberAndChar(p.valueAt83, p.charAt83);
  in.Next(3).NumberInto(p.weightCarried);
  in.Next(1).NumberAndChar(p.valueAt87, p.charAt87);
  in.Next(5).NumberInto(p.jockeyCode);
  p.jockeyName = in.Next(8).Text();
  in.Next(1).NumberAndChar(p.valueAt101, p.charAt101);
  in.Next(5).NumberInto(p.trainerCode);
  p.trainerName = in.Next(8).Text();
  in.Next(1).NumberAndChar(p.resultFlag, p.resultFlagChar);
  in.Next(3).NumberInto(p.valueAt116);
  if (!in.Next(3).NumberInto(p.valueAt119)) p.valueAt119 = 0;
  for (int& corner : p.cornerPositions) in.Next(2).NumberInto(corner);
  FillMissingCorners(p.cornerPositions);
  for (int& value : p.valuesAt130) in.Next(2).NumberInto(value);
  in.Next(4).NumberInto(p.finishTime);
  p.marginCode = in.Next(3).Text();
  p.marginText = MarginText(p.marginCode);
  in.Next(2).NumberInto(p.valueAt143);
  in.Next(2).NumberInto(p.finishPosition);
  in.Next(2).NumberInto(p.valueAt147);
  in.Next(4).NumberInto(p.valueAt149);
  for (int& amount : p.amountsAt153) in.Next(7).NumberInto(amount);
  p.otherHorseId = in.Next(10).Text();
  p.otherHorseName = in.Next(18).Text();
  in.Next(3).NumberInto(p.valueAt209);
  in.Next(3).NumberInto(p.timeDifference);
  p.otherHorseTime = WrappingSum(p.finishTime, p.timeDifference);
}

// Past runs up to the first whose year field is four spaces.
void ReadPastRuns(FieldReader& in, Runner& h) {
  h.pastRunCount = 0;
  for (PastRun& run : h.pastRuns) {
    const Field year = in.Next(4);
    if (year.Text() == kEndOfPastRuns) break;
    ++h.pastRunCount;
    year.NumberInto(run.year);
    ReadPastRun(in, run);
  }
  for (std::size_t m = h.pastRunCount; m < h.pastRuns.size(); ++m) h.pastRuns[m].racecourseCode.clear();
}

}  // namespace

HorseRegister::HorseRegister(std::string bytes) : bytes_(std::move(bytes)) {
  TextModeReader input(bytes_);
  for (;;) {
    const std::string key = input.Read(kKeySize);
    if (key.size() < kKeySize) return;
    recordAfterKey_.try_emplace(std::string(CutAtNul(key)), input.position());  // first wins
    input.Skip(kRestOfRecord);
  }
}

std::optional<HorseRegister> HorseRegister::Open(const std::string& path, MessageSink& messages) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) {
    messages.ShowMessage({"ファイル " + path + " は開けませんでした。"});
    return std::nullopt;
  }
  return HorseRegister(std::move(*bytes));
}

std::optional<std::size_t> HorseRegister::FindRecord(std::string_view horseId) const {
  const auto found = recordAfterKey_.find(std::string(CutAtNul(horseId)));
  if (found == recordAfterKey_.end()) return std::nullopt;
  return found->second;
}

bool HorseRegister::ReadHorseRecord(std::string_view horseId, int raceYear, Runner& runner,
                               MessageSink& messages) const {
  const std::optional<std::size_t> record = FindRecord(horseId);
  if (!record || !ReadRecord(*record, raceYear, runner)) {
    runner = Runner();  // whatever a cut or junk record left in it goes
    messages.ShowMessage({"登録馬ファイルの読み込みに失敗しました"});
    return false;
  }
  return true;
}

bool HorseRegister::ReadRecord(std::size_t afterKey, int raceYear, Runner& runner) const {
  TextModeReader input(bytes_, afterKey);
  FieldReader fields(input);
  ReadFixedPart(fields, runner);
  runner.age = WrappingDifference(raceYear, runner.birthYear);
  ReadPastRuns(fields, runner);
  if (!fields.Intact()) return false;
  runner.estimatedOdds = 100;
  RateRunner(runner);
  return true;
}

}  // namespace kelvane
