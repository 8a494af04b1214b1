#include "jravan/race_card.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "jravan/field_table.h"
#include "jravan/file_contents.h"
#include "jravan/race_fields.h"
#include "jravan/text_mode_reader.h"
#include "messages/texts.h"

namespace kelvane {
namespace {

// The most characters one read of the 1464-byte line buffer takes.
constexpr std::size_t kLineReadChars = 1463;

// A line of full width as the files have it, with its CR LF.
constexpr std::size_t kFullLineBytes = kRaceCardLineSize + 2;

// Where a line holds its runner count, which says how far the line must reach.
constexpr InputPlace kRunnerCountAt = InputPlaceOf(kRacePartFields, "runnerCount");
static_assert(kRunnerCountAt.width > 0);

// How far a line of `runnerCount` runners must reach: its race part and their entries.
constexpr std::size_t LineExtent(int runnerCount) {
  return kRacePartOfLineSize + kEntrySlotSize * static_cast<std::size_t>(runnerCount);
}

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

std::optional<std::size_t> RacesOfFullLines(std::uint64_t size) {
  if (size % kFullLineBytes != 0) return std::nullopt;
  return static_cast<std::size_t>(size / kFullLineBytes);
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
    messages.ShowMessage({WithValue(texts::kRaceCardNotOpened, "%s", path)});
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

std::optional<std::string_view> RaceCard::Line(int raceNumber) const {
  const std::size_t linesBefore = raceNumber > 1 ? static_cast<std::size_t>(raceNumber) - 1 : 0;
  // The lines before the race must all be there, and so must a byte of the race.
  const std::size_t start = linesBefore == 0                  ? 0
                            : linesBefore <= lineEnds_.size() ? lineEnds_[linesBefore - 1]
                                                              : bytes_.size();
  if (start >= bytes_.size()) return std::nullopt;
  return std::string_view(bytes_).substr(start, ContentEnd(start, lineEnds_[linesBefore]) - start);
}

bool RaceCard::ReadRace(int raceNumber, Race& race, MessageSink& messages) const {
  const std::optional<std::string_view> line = Line(raceNumber);
  if (!line || !ReadLine(*line, race)) {
    const MessagePlace place = PlaceOf(raceNumber, race);
    race = Race();  // whatever a cut or junk line left in it goes
    messages.ShowMessage({texts::kRaceNotRead, place});
    return false;
  }
  return true;
}

bool RaceCard::Reads(int raceNumber) const {
  const std::optional<std::string_view> line = Line(raceNumber);
  if (!line) return false;
  int runnerCount = 0;
  TakeNumber(FieldBytes(*line, kRunnerCountAt.offset, kRunnerCountAt.width), runnerCount);
  return ReadWhole(*line, LineExtent(RunnersOnCard(runnerCount)));
}

bool RaceCard::ReadLine(std::string_view line, Race& race) const {
  race.cardPath = path_;
  race.horseFilePath = horseFilePath_;
  // A line holds no line end, so its characters are its bytes: each field is where
  // the layout puts it.
  TakeFields<kRacePartFields>(line, 0, race);
  race.runnerCount = RunnersOnCard(race.runnerCount);
  for (int k = 1; k <= race.runnerCount; ++k) {
    const std::size_t slot = LineExtent(k - 1);
    EntryOf<Race> entry{race, static_cast<std::size_t>(k)};
    TakeFields<kEntryFields>(line.substr(std::min(slot, line.size())), 0, entry);
  }
  if (!ReadWhole(line, LineExtent(race.runnerCount))) return false;
  if (race.raceName.empty()) {
    race.raceName = race.raceTypeText + race.conditionTexts[FallbackConditionSlot(race.raceTypeCode)];
  }
  return true;
}

}  // namespace kelvane
