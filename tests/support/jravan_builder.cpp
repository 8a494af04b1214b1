#include "support/jravan_builder.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "codes/cp932.h"
#include "codes/text_shaping.h"
#include "jravan/field_table.h"
#include "jravan/horse_fields.h"
#include "jravan/race_fields.h"

namespace kelvane::test {
namespace {

std::string Fit(std::string text, std::size_t width, std::string_view what) {
  if (text.size() > width) {
    throw std::length_error(std::string(what) + " '" + text + "' is longer than its field of " +
                            std::to_string(width) + " bytes");
  }
  return text;
}

// The bytes of one part of a file, laid out by the part's field table: each field
// is put where its row says, by name, and the bytes no field covers are spaces. A
// field that the table does not have, or one of the table's that is not put, shows
// at once instead of shifting or dropping every later field.
class FieldWriter {
 public:
  template <typename Table>
  FieldWriter(const Table& table, std::size_t size) : bytes_(size, ' ') {
    for (const NamedPlace& field : InputPlaces(table)) {
      if (!field.name.empty()) places_.push_back({field.name, field.at, false});
    }
  }

  // Puts `value` (one value, or an array of one per repetition of the field) at the
  // field's place.
  template <typename Value>
  void Put(std::string_view name, const Value& value) {
    Named& field = Find(name);
    if (FlatCount<Value>() != field.at.count) throw std::logic_error(std::string(name) + ": wrong number of values");
    for (std::size_t i = 0; i < field.at.count; ++i) {
      Place(field, i, Element(value, i).Render(field.at.width));
    }
  }

  // Puts the bytes of repetition `i` of a field whose values are parts of their own.
  void PutPart(std::string_view name, std::size_t i, const std::string& bytes) { Place(Find(name), i, bytes); }

  std::string Take() {
    for (const Named& field : places_) {
      if (!field.put) throw std::logic_error(std::string(field.name) + " not put");
    }
    return std::move(bytes_);
  }

 private:
  struct Named {
    std::string_view name;
    InputPlace at;
    bool put;
  };

  Named& Find(std::string_view name) {
    for (Named& field : places_) {
      if (field.name == name) return field;
    }
    throw std::logic_error("no field " + std::string(name) + " in the layout");
  }

  void Place(Named& field, std::size_t i, const std::string& rendered) {
    if (rendered.size() != field.at.width) throw std::logic_error("field rendered at the wrong width");
    bytes_.replace(field.at.offset + i * field.at.stride, rendered.size(), rendered);
    field.put = true;
  }

  std::vector<Named> places_;
  std::string bytes_;
};

// The fields a race card line and a past run both begin with.
template <typename Race>
void PutRaceDay(FieldWriter& w, const Race& r) {
  w.Put("year", r.year);
  w.Put("monthDay", r.monthDay);
  w.Put("racecourseCode", r.racecourseCode);
  w.Put("meetingNumber", r.meetingNumber);
  w.Put("meetingDay", r.meetingDay);
  w.Put("raceNumber", r.raceNumber);
}

std::string EntryBytes(const RaceCardEntry& e) {
  FieldWriter w(kEntryFields, kEntrySlotSize);
  w.Put("horseNumber", e.horseNumber);
  w.Put("frameNumber", e.frameNumber);
  w.Put("horseId", e.horseId);
  w.Put("horseName", e.horseName);
  w.Put("sexCode", e.sexCode);
  w.Put("weightCarried", e.weightCarried);
  w.Put("entryFlag", e.entryFlag);
  w.Put("jockeyCode", e.jockeyCode);
  w.Put("jockeyName", e.jockeyName);
  w.Put("trainerFlag", e.trainerFlag);
  w.Put("trainerCode", e.trainerCode);
  w.Put("trainerName", e.trainerName);
  return w.Take();
}

std::string PastRunBytes(const PastRunEntry& r) {
  FieldWriter w(kPastRunFields, kPastRunEntrySize);
  PutRaceDay(w, r);
  w.Put("textAt16", r.textAt16);
  w.Put("gradeCode", r.gradeCode);
  w.Put("raceTypeCode", r.raceTypeCode);
  w.Put("raceSymbolCode", r.raceSymbolCode);
  w.Put("weightTypeCode", r.weightTypeCode);
  w.Put("conditionCode", r.conditionCode);
  w.Put("raceName", r.raceName);
  w.Put("distance", r.distance);
  w.Put("trackCode", r.trackCode);
  w.Put("valueAt72", r.valueAt72);
  w.Put("valueAt74", r.valueAt74);
  w.Put("valueAt76", r.valueAt76);
  w.Put("goingCode", r.goingCode);
  w.Put("weatherCode", r.weatherCode);
  w.Put("valueAt80", r.valueAt80);
  w.Put("valueAt82", r.valueAt82);
  w.Put("valueAt83", r.valueAt83);
  w.Put("weightCarried", r.weightCarried);
  w.Put("valueAt87", r.valueAt87);
  w.Put("jockeyCode", r.jockeyCode);
  w.Put("jockeyName", r.jockeyName);
  w.Put("valueAt101", r.valueAt101);
  w.Put("trainerCode", r.trainerCode);
  w.Put("trainerName", r.trainerName);
  w.Put("resultFlag", r.resultFlag);
  w.Put("valueAt116", r.valueAt116);
  w.Put("valueAt119", r.valueAt119);
  w.Put("cornerPositions", r.cornerPositions);
  w.Put("valuesAt130", r.valuesAt130);
  w.Put("finishTime", r.finishTime);
  w.Put("marginCode", r.marginCode);
  w.Put("valueAt143", r.valueAt143);
  w.Put("finishPosition", r.finishPosition);
  w.Put("valueAt147", r.valueAt147);
  w.Put("valueAt149", r.valueAt149);
  w.Put("amountsAt153", r.amountsAt153);
  w.Put("otherHorseId", r.otherHorseId);
  w.Put("otherHorseName", r.otherHorseName);
  w.Put("valueAt209", r.valueAt209);
  w.Put("timeDifference", r.timeDifference);
  return w.Take();
}

}  // namespace

std::string Digits::Render(std::size_t width) const {
  if (!number_) return Fit(text_, width, "digits") + std::string(width - text_.size(), ' ');
  const long long magnitude = std::llabs(static_cast<long long>(*number_));
  std::string digits = std::to_string(magnitude);
  const std::string sign = *number_ < 0 ? "-" : "";
  const std::size_t room = width - std::min(width, sign.size());
  if (digits.size() < room) digits.insert(0, room - digits.size(), '0');
  return Fit(sign + digits, width, "number");
}

template <Padding P>
PaddedText<P>::PaddedText(std::string_view utf8) : cp932_(Utf8ToCp932(utf8)) {}

template <Padding P>
PaddedText<P> PaddedText<P>::Cp932(std::string bytes) {
  PaddedText text;
  text.cp932_ = std::move(bytes);
  return text;
}

template <Padding P>
std::string PaddedText<P>::Render(std::size_t width) const {
  std::string field = Fit(cp932_, width, "text");
  if constexpr (P == Padding::kFullWidthSpaces) {
    while (width - field.size() >= kFullWidthSpace.size()) field += kFullWidthSpace;
  }
  field.resize(width, ' ');
  return field;
}

template class PaddedText<Padding::kHalfWidthSpaces>;
template class PaddedText<Padding::kFullWidthSpaces>;

std::string RaceCardLineBytes(const RaceCardLine& r) {
  if (r.entries.size() > static_cast<std::size_t>(kMaxRunners)) {
    throw std::length_error("a race card line holds 18 entries");
  }
  FieldWriter w(kRacePartFields, kRacePartOfLineSize);
  PutRaceDay(w, r);
  w.Put("weekdayCode", r.weekdayCode);
  w.Put("raceName", r.raceName);
  w.Put("textAt77", r.textAt77);
  w.Put("valueAt83", r.valueAt83);
  w.Put("gradeCode", r.gradeCode);
  w.Put("raceTypeCode", r.raceTypeCode);
  w.Put("raceSymbolCode", r.raceSymbolCode);
  w.Put("weightTypeCode", r.weightTypeCode);
  w.Put("conditionCodes", r.conditionCodes);
  w.Put("distance", r.distance);
  w.Put("trackCode", r.trackCode);
  w.Put("amountsAt148", r.amountsAt148);
  w.Put("amountsAt197", r.amountsAt197);
  w.Put("valueAt232", r.valueAt232);
  w.Put("valueAt233", r.valueAt233);
  w.Put("valueAt237", r.valueAt237);
  w.Put("postTime", r.postTime);
  w.Put("textAt245", r.textAt245);
  w.Put("valueAt247", r.valueAt247);
  w.Put("valueAt249", r.valueAt249);
  w.Put("valueAt251", r.valueAt251);
  w.Put("charAt253", r.charAt253);
  w.Put("charAt254", r.charAt254);
  w.Put("textAt267", r.textAt267);
  w.Put("charAt285", r.charAt285);
  w.Put("valueAt286", r.valueAt286);
  w.Put("textAt294", r.textAt294);
  w.Put("textAt308", r.textAt308);
  w.Put("valueAt319", r.valueAt319);
  w.Put("saleCode", r.saleCode);
  w.Put("runnerCount", r.runnerCount.value_or(static_cast<int>(r.entries.size())));
  std::string line = w.Take();
  for (std::size_t k = 0; k < static_cast<std::size_t>(kMaxRunners); ++k) {
    line += k < r.entries.size() ? EntryBytes(r.entries[k]) : std::string(kEntrySlotSize, ' ');
  }
  return line;
}

std::string RaceCardFile(const std::vector<RaceCardLine>& lines, LineEnd lineEnd) {
  std::string file;
  for (const RaceCardLine& line : lines) {
    file += RaceCardLineBytes(line);
    file += lineEnd == LineEnd::kCrLf ? "\r\n" : "\n";
  }
  return file;
}

std::string HorseRecordBytes(const HorseRecord& h) {
  if (h.pastRuns.size() > kPastRuns) throw std::length_error("a horse record holds 5 past runs");
  FieldWriter w(kHorseFields, kHorseRecordSize);
  w.Put("key", h.key);
  w.Put("valueAt19", h.valueAt19);
  w.Put("valueAt20", h.valueAt20);
  w.Put("horseName", h.horseName);
  w.Put("birthYear", h.birthYear);
  w.Put("birthMonthDay", h.birthMonthDay);
  w.Put("breedCode", h.breedCode);
  w.Put("sexCode", h.sexCode);
  w.Put("coatColourCode", h.coatColourCode);
  w.Put("horseMarkCode", h.horseMarkCode);
  w.Put("pedigreeNames", h.pedigreeNames);
  w.Put("textAt420", h.textAt420);
  w.Put("nameAt444", h.nameAt444);
  w.Put("nameAt490", h.nameAt490);
  w.Put("valueAt550", h.valueAt550);
  w.Put("textAt555", h.textAt555);
  w.Put("valueAt563", h.valueAt563);
  w.Put("textAt564", h.textAt564);
  w.Put("amountAt588", h.amountAt588);
  w.Put("amountAt595", h.amountAt595);
  w.Put("amountsAt602", h.amountsAt602);
  w.Put("resultCounts", h.resultCounts);
  for (std::size_t m = 0; m < kPastRuns; ++m) {
    w.PutPart("pastRuns", m, m < h.pastRuns.size() ? PastRunBytes(h.pastRuns[m]) : std::string(kPastRunEntrySize, ' '));
  }
  std::string record = w.Take();
  record.replace(kHorseRecordSize - 2, 2, "\r\n");
  return record;
}

std::string HorseRegisterFile(const std::vector<HorseRecord>& records) {
  std::string file;
  for (const HorseRecord& record : records) file += HorseRecordBytes(record);
  return file;
}

}  // namespace kelvane::test
