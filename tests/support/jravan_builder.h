#pragma once

// Builds JRA-VAN race card and horse register files field by field, so that tests,
// benchmarks and sample archives read like the data they describe:
//
//   RaceCardLine race{.year = 2003, .monthDay = 1228, .racecourseCode = "06",
//                     .raceName = "有馬記念", .raceTypeCode = 13,
//                     .entries = {{.horseNumber = 1, .horseId = "1999100001",
//                                  .horseName = "テストホース"}}};
//   WriteFileBytes(dir / "JracDen1.dat", RaceCardFile({race}));
//
//   HorseRecord horse{.key = "1999100001", .horseName = "テストホース", .birthYear = 1999,
//                     .pastRuns = {{.year = 2003, .racecourseCode = "05"}}};
//   WriteFileBytes(dir / "JracUmaj.dat", HorseRegisterFile({horse}));
//
// Each struct lists its fields in file order, with their offset and width as the
// field tables of jravan/race_fields.h and jravan/horse_fields.h give them (the
// builder lays the fields out by those tables), so designated initializers follow
// the layout. Every field is padded for you:
//
// - `Digits` (number fields): an int is written right-aligned with zero digits, a
//   minus sign first ("0701", "-1"); a text is written as given and padded with
//   spaces on the right, for fields that hold no digits or odd content ("", "25 ").
// - `Text` (codes and uninterpreted texts): UTF-8 converted to CP932, padded with
//   half-width spaces.
// - `Name` (name fields): UTF-8 converted to CP932, padded with full-width spaces
//   (a last odd byte with one half-width space).
// - `Text::Cp932(bytes)` / `Name::Cp932(bytes)` take CP932 bytes as they are.
//
// A field value that does not fit its width throws std::length_error. Gaps the
// readers skip are spaces. Change single bytes of the result to test odd input.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvane::test {

class Digits {
 public:
  Digits() = default;
  Digits(int number) : number_(number) {}
  Digits(const char* text) : number_(std::nullopt), text_(text) {}
  Digits(std::string text) : number_(std::nullopt), text_(std::move(text)) {}

  std::string Render(std::size_t width) const;

 private:
  std::optional<int> number_ = 0;
  std::string text_;
};

enum class Padding { kHalfWidthSpaces, kFullWidthSpaces };

template <Padding P>
class PaddedText {
 public:
  PaddedText() = default;
  PaddedText(const char* utf8) : PaddedText(std::string_view(utf8)) {}
  PaddedText(const std::string& utf8) : PaddedText(std::string_view(utf8)) {}
  PaddedText(std::string_view utf8);
  static PaddedText Cp932(std::string bytes);

  const std::string& cp932() const { return cp932_; }
  std::string Render(std::size_t width) const;

 private:
  std::string cp932_;
};

using Text = PaddedText<Padding::kHalfWidthSpaces>;
using Name = PaddedText<Padding::kFullWidthSpaces>;

// ---- Race card ("JracDen1.dat"): one race per line of 1461 bytes. ----

// Entry slot of 63 bytes; slot k starts at 327 + 63 * (k - 1).
struct RaceCardEntry {
  Digits horseNumber{};                   // 0, 2
  Digits frameNumber{};                   // 2, 1
  Text horseId{};                         // 3, 10: the horse register key
  Name horseName{};                       // 13, 18
  Digits sexCode{};                       // 31, 1
  Digits weightCarried{};                 // 32, 3
  Digits entryFlag{};                     // 35, 1
  Digits jockeyCode{};                    // 36, 5
  Name jockeyName{};                      // 41, 8
  Digits trainerFlag{};                   // 49, 1
  Digits trainerCode{};                   // 50, 5
  Name trainerName{};                     // 55, 8
};

struct RaceCardLine {
  Digits year{};                          // 0, 4
  Digits monthDay{};                      // 4, 4 (MMDD)
  Text racecourseCode{};                  // 8, 2
  Digits meetingNumber{};                 // 10, 2
  Digits meetingDay{};                    // 12, 2
  Digits raceNumber{};                    // 14, 2
  Digits weekdayCode{};                   // 16, 1
  Name raceName{};                        // 17, 60
  Text textAt77{};                        // 77, 6
  Digits valueAt83{};                     // 83, 3
  Text gradeCode{};                       // 86, 1
  Digits raceTypeCode{};                  // 87, 2
  Text raceSymbolCode{};                  // 89, 3
  Digits weightTypeCode{};                // 92, 1
  std::array<Digits, 5> conditionCodes{}; // 93, 5 x 3
  Digits distance{};                      // 132, 4 (after a gap of 24)
  Digits trackCode{};                     // 136, 2
  std::array<Digits, 5> amountsAt148{};   // 148, 5 x 7 (after a gap of 10)
  std::array<Digits, 3> amountsAt197{};   // 197, 3 x 7 (after a gap of 14)
  Digits valueAt232{};                    // 232, 1 (after a gap of 14)
  Digits valueAt233{};                    // 233, 4
  Digits valueAt237{};                    // 237, 4
  Digits postTime{};                      // 241, 4 (HHMM)
  Text textAt245{};                       // 245, 2
  Digits valueAt247{};                    // 247, 2
  Digits valueAt249{};                    // 249, 2
  Digits valueAt251{};                    // 251, 2
  Text charAt253{};                       // 253, 1
  Text charAt254{};                       // 254, 1
  Name textAt267{};                       // 267, 18 (after a gap of 12)
  Text charAt285{};                       // 285, 1
  Digits valueAt286{};                    // 286, 3
  Name textAt294{};                       // 294, 8 (after a gap of 5)
  Name textAt308{};                       // 308, 8 (after a gap of 6)
  Digits valueAt319{};                    // 319, 4 (after a gap of 3)
  Digits saleCode{};                      // 323, 1
  std::optional<Digits> runnerCount{};    // 324, 2; the number of `entries` when not given
  std::vector<RaceCardEntry> entries{};   // slots 1.. at 327 (after a gap of 1); the rest blank
};

// The 1461 bytes of one line, without its line end.
std::string RaceCardLineBytes(const RaceCardLine& line);

enum class LineEnd { kCrLf, kLf };

// A whole race card: every line followed by `lineEnd`.
std::string RaceCardFile(const std::vector<RaceCardLine>& lines, LineEnd lineEnd = LineEnd::kCrLf);

// ---- Horse register ("JracUmaj.dat"): records of 2881 bytes. ----

// Past-run entry of 215 bytes; entry m starts at 904 + 215 * m of the record.
struct PastRunEntry {
  Digits year{};                          // 0, 4 (four spaces end the list)
  Digits monthDay{};                      // 4, 4
  Text racecourseCode{};                  // 8, 2
  Digits meetingNumber{};                 // 10, 2
  Digits meetingDay{};                    // 12, 2
  Digits raceNumber{};                    // 14, 2
  Text textAt16{};                        // 16, 6
  Text gradeCode{};                       // 22, 1
  Digits raceTypeCode{};                  // 23, 2
  Digits raceSymbolCode{};                // 25, 3 (taken as number and text)
  Digits weightTypeCode{};                // 28, 1
  Digits conditionCode{};                 // 29, 3
  Name raceName{};                        // 32, 24
  Digits distance{};                      // 56, 4
  Digits trackCode{};                     // 60, 2
  Digits valueAt72{};                     // 72, 2 (after a gap of 10)
  Digits valueAt74{};                     // 74, 2
  Digits valueAt76{};                     // 76, 2
  Digits goingCode{};                     // 78, 1
  Digits weatherCode{};                   // 79, 1
  Digits valueAt80{};                     // 80, 2
  Digits valueAt82{};                     // 82, 1
  Digits valueAt83{};                     // 83, 1
  Digits weightCarried{};                 // 84, 3
  Digits valueAt87{};                     // 87, 1
  Digits jockeyCode{};                    // 88, 5
  Name jockeyName{};                      // 93, 8
  Digits valueAt101{};                    // 101, 1
  Digits trainerCode{};                   // 102, 5
  Name trainerName{};                     // 107, 8
  Digits resultFlag{};                    // 115, 1 (0: counts for the form rating)
  Digits valueAt116{};                    // 116, 3
  Digits valueAt119{};                    // 119, 3
  std::array<Digits, 4> cornerPositions{}; // 122, 4 x 2
  std::array<Digits, 3> valuesAt130{};    // 130, 3 x 2
  Digits finishTime{};                    // 136, 4
  Text marginCode{};                      // 140, 3
  Digits valueAt143{};                    // 143, 2
  Digits finishPosition{};                // 145, 2
  Digits valueAt147{};                    // 147, 2
  Digits valueAt149{};                    // 149, 4
  std::array<Digits, 4> amountsAt153{};   // 153, 4 x 7
  Text otherHorseId{};                    // 181, 10
  Name otherHorseName{};                  // 191, 18
  Digits valueAt209{};                    // 209, 3
  Digits timeDifference{};                // 212, 3
};

struct HorseRecord {
  Text key{};                             // 0, 10: the registration number
  Digits valueAt19{};                     // 19, 1 (after a gap of 9)
  Digits valueAt20{};                     // 20, 8
  Name horseName{};                       // 28, 36
  Digits birthYear{};                     // 64, 4
  Digits birthMonthDay{};                 // 68, 4
  Digits breedCode{};                     // 72, 1
  Digits sexCode{};                       // 73, 1
  Digits coatColourCode{};                // 74, 2
  Digits horseMarkCode{};                 // 76, 2
  std::array<Name, 6> pedigreeNames{};    // 78 + 57 * i, 36 (each followed by a gap of 21)
  Text textAt420{};                       // 420, 24
  Name nameAt444{};                       // 444, 40
  Name nameAt490{};                       // 490, 40 (after a gap of 6)
  Digits valueAt550{};                    // 550, 5 (after a gap of 20)
  Name textAt555{};                       // 555, 8
  Digits valueAt563{};                    // 563, 1
  Text textAt564{};                       // 564, 24
  Digits amountAt588{};                   // 588, 7
  Digits amountAt595{};                   // 595, 7
  std::array<Digits, 2> amountsAt602{};   // 602, 2 x 7
  std::array<std::array<Digits, 4>, 24> resultCounts{}; // 616, 24 groups x 4 x 3
  std::vector<PastRunEntry> pastRuns{};   // 904, at most 5; the entries after them are blank
};

// The 2881 bytes of one record: the fields, then spaces, ending in CR LF.
std::string HorseRecordBytes(const HorseRecord& record);

// A whole register: the records one after the other.
std::string HorseRegisterFile(const std::vector<HorseRecord>& records);

}  // namespace kelvane::test
