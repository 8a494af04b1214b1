#pragma once

// The fixed vocabulary of JRA-VAN codes.
//
// Code tables are arrays of fixed-width rows indexed by a code's value; each row
// holds a NUL-terminated CP932 text, so a text is at most width - 1 bytes. Code
// lists are ordered (code, text) entries whose position is the index number that
// a handheld record carries; their order is part of the record format.
//
// The data is written in UTF-8 and converted to CP932 at compile time
// (codes/cp932_literal.h); a row that does not fit its width does not compile.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "codes/cp932_literal.h"

namespace kelvane {

template <std::size_t Rows, std::size_t Width>
class CodeTable {
 public:
  static constexpr int kRows = static_cast<int>(Rows);
  static constexpr std::size_t kWidth = Width;

  template <typename... Utf8Rows>
    requires(sizeof...(Utf8Rows) == Rows)
  consteval explicit CodeTable(const Utf8Rows&... utf8Rows) : rows_{Cp932Text<Width>(utf8Rows)...} {}

  // The text of `row`; empty when the row is outside the table.
  constexpr std::string_view RowView(int row) const {
    if (row < 0 || row >= kRows) return {};
    return rows_[static_cast<std::size_t>(row)].View();
  }
  std::string Row(int row) const { return std::string(RowView(row)); }

  // The first row holding exactly `text`, or -1.
  constexpr int RowOf(std::string_view text) const {
    for (int row = 0; row < kRows; ++row) {
      if (RowView(row) == text) return row;
    }
    return -1;
  }

 private:
  std::array<Cp932Text<Width>, Rows> rows_;
};

// Room for the longest text of any code list, with its terminating NUL.
inline constexpr std::size_t kCodeListTextSize = 24;

struct CodeListEntry {
  consteval CodeListEntry(std::string_view entryCode, std::u8string_view utf8Text)
      : code(entryCode), text(utf8Text) {}

  std::string_view code;  // ASCII
  Cp932Text<kCodeListTextSize> text;
};

template <std::size_t Size>
class CodeList {
 public:
  // `firstIndex` is the index number of the first entry; a code not in the list
  // has index 0 and `defaultText`.
  consteval CodeList(int firstIndex, std::u8string_view defaultText,
                     const std::array<CodeListEntry, Size>& entries)
      : firstIndex_(firstIndex), defaultText_(defaultText), entries_(entries) {
    for (std::size_t i = 0; i < Size; ++i) {
      if (entries[i].code.size() > kMostCodeBytes) throw "a code list's codes are at most three bytes long";
      keys_[i] = KeyOf(entries[i].code);
    }
  }

  constexpr std::size_t size() const { return Size; }
  constexpr const CodeListEntry* begin() const { return entries_.data(); }
  constexpr const CodeListEntry* end() const { return entries_.data() + Size; }
  constexpr int firstIndex() const { return firstIndex_; }
  constexpr std::string_view defaultText() const { return defaultText_.View(); }

  // Codes are compared as whole strings, byte for byte.
  constexpr int IndexOf(std::string_view code) const {
    const CodeListEntry* entry = Find(code);
    return entry ? firstIndex_ + static_cast<int>(entry - begin()) : 0;
  }
  constexpr std::string_view TextOf(std::string_view code) const {
    const CodeListEntry* entry = Find(code);
    return entry ? entry->text.View() : defaultText();
  }

 private:
  // Every past run of every runner looks codes up: each code is packed with its
  // length into one number, so that the list is searched through a few hundred bytes
  // of numbers rather than its entries.
  static constexpr std::size_t kMostCodeBytes = 3;
  static constexpr std::uint32_t KeyOf(std::string_view code) {
    std::uint32_t key = static_cast<std::uint32_t>(code.size());
    for (const char c : code) key = (key << 8) | static_cast<unsigned char>(c);
    return key;
  }

  constexpr const CodeListEntry* Find(std::string_view code) const {
    if (code.size() > kMostCodeBytes) return nullptr;
    const std::uint32_t key = KeyOf(code);
    for (std::size_t i = 0; i < Size; ++i) {
      if (keys_[i] == key) return &entries_[i];
    }
    return nullptr;
  }

  int firstIndex_;
  Cp932Text<kCodeListTextSize> defaultText_;
  std::array<CodeListEntry, Size> entries_;
  std::array<std::uint32_t, Size> keys_{};  // each entry's code as KeyOf packs it
};

// Tables: rows x width in bytes, row chosen by the code unless said otherwise.
extern const CodeTable<9, 3> WeekdayTable;
extern const CodeTable<15, 21> RaceTypeTable;       // row = race type code - 10
extern const CodeTable<15, 2> RaceSymbolLetters;    // searched; position = RaceSymbolTable row
extern const CodeTable<15, 20> RaceSymbolTable;
extern const CodeTable<6, 10> SexLimitTable;        // race symbol's second character
extern const CodeTable<5, 10> DesignationTable;     // race symbol's third character
extern const CodeTable<5, 7> WeightTypeTable;
extern const CodeTable<3, 23> SaleTable;
extern const CodeTable<26, 31> TrackTable;          // row computed by TrackText
extern const CodeTable<5, 5> TrackConditionTable;   // going code
extern const CodeTable<7, 5> WeatherTable;
extern const CodeTable<8, 7> BreedTable;
extern const CodeTable<4, 7> HorseSexTable;
extern const CodeTable<12, 7> CoatColourTable;
extern const CodeTable<28, 13> HorseMarkTable;
extern const CodeTable<5, 5> RunningStyleTable;     // running style index 0-3

// Lists: grade code -> grade text (index 1-8, others 0 "一般競走"); finishing
// margin code -> margin text (index 1-22, others 0 " 不明"); racecourse or
// country code -> name (index 0-82, "00" and others 0; others have no name).
extern const CodeList<8> GradeList;
extern const CodeList<22> MarginList;
extern const CodeList<83> RacecourseList;

}  // namespace kelvane
