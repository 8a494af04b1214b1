#include "jravan/race_card.h"

#include <utility>

#include "codes/code_rendering.h"
#include "codes/code_tables.h"
#include "codes/text_shaping.h"
#include "jravan/field_reader.h"
#include "jravan/file_contents.h"
#include "jravan/text_mode_reader.h"

namespace kelvane {
namespace {

// The most characters one read of the 1464-byte line buffer takes.
constexpr std::size_t kLineReadChars = 1463;

// Which race condition completes a race name made from the race type.
std::size_t FallbackConditionSlot(int raceTypeCode) {
  switch (raceTypeCode) {
    case 1:
    case 11:
      return 0;
    case 2:
    case 3:
    case 8:
    case 12:
    case 13:
      return 1;
    default:
      return 2;
  }
}

void ReadRacePart(FieldReader& in, Race& r) {
  in.Next(4).NumberInto(r.year);
  r.monthDay = in.Next(4).Value();
  r.racecourseCode = in.Next(2).Text();
  r.racecourseName = RacecourseName(r.racecourseCode);
  in.Next(2).NumberInto(r.meetingNumber);
  in.Next(2).NumberInto(r.meetingDay);
  in.Next(2).NumberInto(r.raceNumber);
  in.Next(1).NumberInto(r.weekdayCode);
  r.weekdayText = WeekdayTable.Row(r.weekdayCode);
  r.raceName = TextBeforeFullWidthSpaceOrEmpty(in.Next(60).Text());
  r.textAt77 = in.Next(6).Text();
  in.Next(3).NumberInto(r.valueAt83);
  in.Next(1).TextAndChar(r.gradeCode, r.gradeChar);
  r.gradeText = GradeText(r.gradeCode);
  in.Next(2).NumberAndText(r.raceTypeCode, r.raceTypeCodeText);
  r.raceTypeText = RaceTypeText(r.raceTypeCode);
  r.raceSymbolCode = in.Next(3).Text();
  r.raceSymbolText = RaceSymbolText(r.raceSymbolCode);
  in.Next(1).NumberAndChar(r.weightTypeCode, r.weightTypeChar);
  r.weightTypeText = WeightTypeTable.Row(r.weightTypeCode);
  for (std::size_t i = 0; i < r.conditionCodes.size(); ++i) {
    in.Next(3).NumberAndText(r.conditionCodes[i], r.conditionCodeTexts[i]);
    r.conditionTexts[i] = ConditionText(r.conditionCodes[i]);
  }
  in.SkipGap(24);
  in.Next(4).NumberInto(r.distance);
  in.Next(2).NumberAndText(r.trackCode, r.trackCodeText);
  r.trackText = TrackText(r.trackCode);
  in.SkipGap(10);
  for (int& amount : r.amountsAt148) in.Next(7).NumberInto(amount);
  in.SkipGap(14);
  for (int& amount : r.amountsAt197) in.Next(7).NumberInto(amount);
  in.SkipGap(14);
  in.Next(1).NumberAndChar(r.valueAt232, r.charAt232);
  r.valueAt233 = in.Next(4).Value();
  in.Next(4).NumberInto(r.valueAt237);
  r.postTime = in.Next(4).Value();
  r.textAt245 = in.Next(2).Text();
  in.Next(2).NumberInto(r.valueAt247);
  in.Next(2).NumberInto(r.valueAt249);
  in.Next(2).NumberInto(r.valueAt251);
  r.charAt253 = in.Next(1).Char();
  r.charAt254 = in.Next(1).Char();
  in.SkipGap(12);
  r.textAt267 = TrimFullWidthSpaces(in.Next(18).Text());
  r.charAt285 = in.Next(1).Char();
  r.valueAt286 = in.Next(3).Value();
  in.SkipGap(5);
  r.textAt294 = in.Next(8).Text();
  in.SkipGap(6);
  r.textAt308 = TrimFullWidthSpaces(in.Next(8).Text());
  in.SkipGap(3);
  in.Next(4).NumberInto(r.valueAt319);
  in.Next(1).NumberAndChar(r.saleCode, r.saleChar);
  r.saleText = SaleTable.Row(r.saleCode);
  in.Next(2).NumberInto(r.runnerCount);
  r.runnerCount = std::clamp(r.runnerCount, 0, kMaxRunners);
  in.SkipGap(1);
}

void ReadEntry(FieldReader& in, Race& r, std::size_t k) {
  in.Next(2).NumberInto(r.horseNumbers[k]);
  in.Next(1).NumberInto(r.frameNumbers[k]);
  r.horseIds[k] = in.Next(10).Text();
  r.horseNames[k] = in.Next(18).Text();
  in.Next(1).NumberAndChar(r.sexCodes[k], r.sexChars[k]);
  r.sexTexts[k] = SexMark(r.sexCodes[k]);
  in.Next(3).NumberInto(r.weightsCarried[k]);
  in.Next(1).NumberAndChar(r.entryFlagCodes[k], r.entryFlagChars[k]);
  in.Next(5).NumberAndText(r.jockeyCodes[k], r.jockeyCodeTexts[k]);
  r.jockeyNames[k] = in.Next(8).Text();
  in.Next(1).NumberAndChar(r.trainerFlagCodes[k], r.trainerFlagChars[k]);
  in.Next(5).NumberAndText(r.trainerCodes[k], r.trainerCodeTexts[k]);
  r.trainerNames[k] = TrimFullWidthSpaces(in.Next(8).Text());
}

}  // namespace

MessagePlace PlaceOf(int cardRace, const Race& race) {
  MessagePlace place;
  place.cardRace = cardRace;
  place.year = race.year;
  place.monthDay = race.monthDay;
  place.racecourseName = race.racecourseName;
  place.raceNumber = race.raceNumber;
  return place;
}

RaceCard::RaceCard(std::string path, std::string bytes, std::string horseFilePath)
    : path_(std::move(path)), horseFilePath_(std::move(horseFilePath)), bytes_(std::move(bytes)) {
  TextModeReader lines(bytes_);
  while (lines.SkipLine(kLineReadChars)) lineEnds_.push_back(lines.position());
}

std::optional<RaceCard> RaceCard::Open(const std::string& path, const std::string& horseFilePath,
                                       MessageSink& messages) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) {
    messages.ShowMessage({"ファイル'" + path + "'を開けませんでした"});
    return std::nullopt;
  }
  return RaceCard(path, std::move(*bytes), horseFilePath);
}

std::size_t RaceCard::ContentEnd(std::size_t start, std::size_t readEnd) const {
  std::size_t end = readEnd;
  if (end > start && bytes_[end - 1] == '\n') {
    --end;
    if (end > start && bytes_[end - 1] == '\r') --end;  // CR LF is one line end
  }
  return end;
}

bool RaceCard::ReadRace(int raceNumber, Race& race, MessageSink& messages) const {
  const std::size_t linesBefore = raceNumber > 1 ? static_cast<std::size_t>(raceNumber) - 1 : 0;
  // The lines before the race must all be there, and so must a byte of the race.
  const std::size_t start = linesBefore == 0                  ? 0
                            : linesBefore <= lineEnds_.size() ? lineEnds_[linesBefore - 1]
                                                              : bytes_.size();
  if (start >= bytes_.size() ||
      !ReadLine(start, ContentEnd(start, lineEnds_[linesBefore]), race)) {
    const MessagePlace place = PlaceOf(raceNumber, race);
    race = Race();  // whatever a cut or junk line left in it goes
    messages.ShowMessage({"出馬表ファイルの読み込みに失敗しました", place});
    return false;
  }
  return true;
}

bool RaceCard::ReadLine(std::size_t start, std::size_t end, Race& race) const {
  race.cardPath = path_;
  race.horseFilePath = horseFilePath_;
  TextModeReader input(std::string_view(bytes_).substr(0, end), start);
  FieldReader fields(input);
  ReadRacePart(fields, race);
  for (int k = 1; k <= race.runnerCount; ++k) ReadEntry(fields, race, static_cast<std::size_t>(k));
  if (!fields.Intact()) return false;
  if (race.raceName.empty()) {
    race.raceName = race.raceTypeText + race.conditionTexts[FallbackConditionSlot(race.raceTypeCode)];
  }
  return true;
}

}  // namespace kelvane
