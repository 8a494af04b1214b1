#include "support/jravan_builder.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "codes/cp932.h"

namespace kelvane::test {
namespace {

constexpr std::string_view kFullWidthSpace = "\x81\x40";

std::string Fit(std::string text, std::size_t width, std::string_view what) {
  if (text.size() > width) {
    throw std::length_error(std::string(what) + " '" + text + "' is longer than its field of " +
                            std::to_string(width) + " bytes");
  }
  return text;
}

// Appends fields at the offsets the layout gives, so a slip in the builder's own
// layout shows at once instead of shifting every later field.
class LayoutWriter {
 public:
  void Put(std::size_t offset, std::size_t width, const std::string& rendered) {
    Expect(offset);
    if (rendered.size() != width) throw std::logic_error("field rendered at the wrong width");
    bytes_ += rendered;
  }
  template <typename Field>
  void Put(std::size_t offset, std::size_t width, const Field& field) {
    Put(offset, width, field.Render(width));
  }
  template <typename Field, std::size_t N>
  void PutEach(std::size_t offset, std::size_t width, const std::array<Field, N>& fields) {
    for (std::size_t i = 0; i < N; ++i) Put(offset + i * width, width, fields[i]);
  }
  void Gap(std::size_t offset, std::size_t width) { Put(offset, width, std::string(width, ' ')); }

  std::string Take(std::size_t expectedSize) {
    Expect(expectedSize);
    return std::move(bytes_);
  }

 private:
  void Expect(std::size_t offset) const {
    if (bytes_.size() != offset) {
      throw std::logic_error("builder layout is off at offset " + std::to_string(offset));
    }
  }

  std::string bytes_;
};

std::string EntryBytes(const RaceCardEntry& e) {
  LayoutWriter w;
  w.Put(0, 2, e.horseNumber);
  w.Put(2, 1, e.frameNumber);
  w.Put(3, 10, e.horseId);
  w.Put(13, 18, e.horseName);
  w.Put(31, 1, e.sexCode);
  w.Put(32, 3, e.weightCarried);
  w.Put(35, 1, e.entryFlag);
  w.Put(36, 5, e.jockeyCode);
  w.Put(41, 8, e.jockeyName);
  w.Put(49, 1, e.trainerFlag);
  w.Put(50, 5, e.trainerCode);
  w.Put(55, 8, e.trainerName);
  return w.Take(63);
}

std::string PastRunBytes(const PastRunEntry& r) {
  LayoutWriter w;
  w.Put(0, 4, r.year);
  w.Put(4, 4, r.monthDay);
  w.Put(8, 2, r.racecourseCode);
  w.Put(10, 2, r.meetingNumber);
  w.Put(12, 2, r.meetingDay);
  w.Put(14, 2, r.raceNumber);
  w.Put(16, 6, r.textAt16);
  w.Put(22, 1, r.gradeCode);
  w.Put(23, 2, r.raceTypeCode);
  w.Put(25, 3, r.raceSymbolCode);
  w.Put(28, 1, r.weightTypeCode);
  w.Put(29, 3, r.conditionCode);
  w.Put(32, 24, r.raceName);
  w.Put(56, 4, r.distance);
  w.Put(60, 2, r.trackCode);
  w.Gap(62, 10);
  w.Put(72, 2, r.valueAt72);
  w.Put(74, 2, r.valueAt74);
  w.Put(76, 2, r.valueAt76);
  w.Put(78, 1, r.goingCode);
  w.Put(79, 1, r.weatherCode);
  w.Put(80, 2, r.valueAt80);
  w.Put(82, 1, r.valueAt82);
  w.Put(83, 1, r.valueAt83);
  w.Put(84, 3, r.weightCarried);
  w.Put(87, 1, r.valueAt87);
  w.Put(88, 5, r.jockeyCode);
  w.Put(93, 8, r.jockeyName);
  w.Put(101, 1, r.valueAt101);
  w.Put(102, 5, r.trainerCode);
  w.Put(107, 8, r.trainerName);
  w.Put(115, 1, r.resultFlag);
  w.Put(116, 3, r.valueAt116);
  w.Put(119, 3, r.valueAt119);
  w.PutEach(122, 2, r.cornerPositions);
  w.PutEach(130, 2, r.valuesAt130);
  w.Put(136, 4, r.finishTime);
  w.Put(140, 3, r.marginCode);
  w.Put(143, 2, r.valueAt143);
  w.Put(145, 2, r.finishPosition);
  w.Put(147, 2, r.valueAt147);
  w.Put(149, 4, r.valueAt149);
  w.PutEach(153, 7, r.amountsAt153);
  w.Put(181, 10, r.otherHorseId);
  w.Put(191, 18, r.otherHorseName);
  w.Put(209, 3, r.valueAt209);
  w.Put(212, 3, r.timeDifference);
  return w.Take(215);
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
  LayoutWriter w;
  w.Put(0, 4, r.year);
  w.Put(4, 4, r.monthDay);
  w.Put(8, 2, r.racecourseCode);
  w.Put(10, 2, r.meetingNumber);
  w.Put(12, 2, r.meetingDay);
  w.Put(14, 2, r.raceNumber);
  w.Put(16, 1, r.weekdayCode);
  w.Put(17, 60, r.raceName);
  w.Put(77, 6, r.textAt77);
  w.Put(83, 3, r.valueAt83);
  w.Put(86, 1, r.gradeCode);
  w.Put(87, 2, r.raceTypeCode);
  w.Put(89, 3, r.raceSymbolCode);
  w.Put(92, 1, r.weightTypeCode);
  w.PutEach(93, 3, r.conditionCodes);
  w.Gap(108, 24);
  w.Put(132, 4, r.distance);
  w.Put(136, 2, r.trackCode);
  w.Gap(138, 10);
  w.PutEach(148, 7, r.amountsAt148);
  w.Gap(183, 14);
  w.PutEach(197, 7, r.amountsAt197);
  w.Gap(218, 14);
  w.Put(232, 1, r.valueAt232);
  w.Put(233, 4, r.valueAt233);
  w.Put(237, 4, r.valueAt237);
  w.Put(241, 4, r.postTime);
  w.Put(245, 2, r.textAt245);
  w.Put(247, 2, r.valueAt247);
  w.Put(249, 2, r.valueAt249);
  w.Put(251, 2, r.valueAt251);
  w.Put(253, 1, r.charAt253);
  w.Put(254, 1, r.charAt254);
  w.Gap(255, 12);
  w.Put(267, 18, r.textAt267);
  w.Put(285, 1, r.charAt285);
  w.Put(286, 3, r.valueAt286);
  w.Gap(289, 5);
  w.Put(294, 8, r.textAt294);
  w.Gap(302, 6);
  w.Put(308, 8, r.textAt308);
  w.Gap(316, 3);
  w.Put(319, 4, r.valueAt319);
  w.Put(323, 1, r.saleCode);
  w.Put(324, 2, r.runnerCount.value_or(static_cast<int>(r.entries.size())));
  w.Gap(326, 1);
  constexpr std::size_t kSlots = 18, kSlotSize = 63;
  if (r.entries.size() > kSlots) throw std::length_error("a race card line holds 18 entries");
  for (std::size_t k = 0; k < kSlots; ++k) {
    const std::size_t offset = 327 + k * kSlotSize;
    if (k < r.entries.size()) {
      w.Put(offset, kSlotSize, EntryBytes(r.entries[k]));
    } else {
      w.Gap(offset, kSlotSize);
    }
  }
  return w.Take(kRaceCardLineSize);
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
  LayoutWriter w;
  w.Put(0, 10, h.key);
  w.Gap(10, 9);
  w.Put(19, 1, h.valueAt19);
  w.Put(20, 8, h.valueAt20);
  w.Put(28, 36, h.horseName);
  w.Put(64, 4, h.birthYear);
  w.Put(68, 4, h.birthMonthDay);
  w.Put(72, 1, h.breedCode);
  w.Put(73, 1, h.sexCode);
  w.Put(74, 2, h.coatColourCode);
  w.Put(76, 2, h.horseMarkCode);
  for (std::size_t i = 0; i < h.pedigreeNames.size(); ++i) {
    w.Put(78 + 57 * i, 36, h.pedigreeNames[i]);
    w.Gap(114 + 57 * i, 21);
  }
  w.Put(420, 24, h.textAt420);
  w.Put(444, 40, h.nameAt444);
  w.Gap(484, 6);
  w.Put(490, 40, h.nameAt490);
  w.Gap(530, 20);
  w.Put(550, 5, h.valueAt550);
  w.Put(555, 8, h.textAt555);
  w.Put(563, 1, h.valueAt563);
  w.Put(564, 24, h.textAt564);
  w.Put(588, 7, h.amountAt588);
  w.Put(595, 7, h.amountAt595);
  w.PutEach(602, 7, h.amountsAt602);
  for (std::size_t group = 0; group < h.resultCounts.size(); ++group) {
    w.PutEach(616 + group * 12, 3, h.resultCounts[group]);
  }
  constexpr std::size_t kPastRuns = 5, kPastRunSize = 215;
  if (h.pastRuns.size() > kPastRuns) throw std::length_error("a horse record holds 5 past runs");
  for (std::size_t m = 0; m < kPastRuns; ++m) {
    const std::size_t offset = 904 + m * kPastRunSize;
    if (m < h.pastRuns.size()) {
      w.Put(offset, kPastRunSize, PastRunBytes(h.pastRuns[m]));
    } else {
      w.Gap(offset, kPastRunSize);
    }
  }
  w.Gap(1979, kHorseRecordSize - 2 - 1979);
  w.Put(kHorseRecordSize - 2, 2, std::string("\r\n"));
  return w.Take(kHorseRecordSize);
}

std::string HorseRegisterFile(const std::vector<HorseRecord>& records) {
  std::string file;
  for (const HorseRecord& record : records) file += HorseRecordBytes(record);
  return file;
}

}  // namespace kelvane::test
