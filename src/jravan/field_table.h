#pragma once

// Field tables: each part of a JRA-VAN record (the race part of a race card line, an
// entry slot, a horse record, a past run) is described by one table with a row per
// field, in the order of the file. A row says where the field lies in the input
// (offset and width, how many times it repeats), how it is taken (number, value,
// text or char, see field_taking.h) and into which member, which display text is
// made from it, and where the handheld record carries it (offset, encoding, the
// member a record read back keeps it in). A record field that no input field gives
// (the start alarm, the estimated odds, zero bytes) is a row of its own.
//
// The readers take their fields through the tables, the record is written and read
// back through them, the JSON of `kelvane dump` names its fields after them and the
// test builder lays out its files by them; a check at compile time makes sure that
// each table covers its input part and its record part without gap or overlap.
//
//   Number("year", 0, 4, &Race::year).To(U16("year", 0, &RacePart::year))
//
// reads: the input field "year" is the 4 bytes at offset 0, taken as a number into
// Race::year; the record carries it as a big-endian u16 at byte 0, which a record
// read back keeps in RacePart::year. The builders of rows are in namespace `fields`.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "jravan/field_taking.h"

namespace kelvane {

// ---- Values of a member, one by one ----

template <typename T>
inline constexpr bool kIsStdArray = false;
template <typename T, std::size_t N>
inline constexpr bool kIsStdArray<std::array<T, N>> = true;

// How many single values a member holds: an array's elements (an array of arrays'
// innermost ones), 1 for anything else.
template <typename T>
constexpr std::size_t FlatCount() {
  using Plain = std::remove_cvref_t<T>;
  if constexpr (kIsStdArray<Plain>) {
    return std::tuple_size_v<Plain> * FlatCount<typename Plain::value_type>();
  } else {
    return 1;
  }
}

// The type of a member's single values.
template <typename T>
struct FlatElementOf {
  using type = T;
};
template <typename T, std::size_t N>
struct FlatElementOf<std::array<T, N>> : FlatElementOf<T> {};
template <typename T>
using FlatElement = typename FlatElementOf<std::remove_cvref_t<T>>::type;

// Single value `i` of a member, counting an array of arrays' innermost values in order.
template <typename T>
constexpr decltype(auto) Element(T& value, std::size_t i) {
  using Plain = std::remove_const_t<T>;
  if constexpr (kIsStdArray<Plain>) {
    constexpr std::size_t inner = FlatCount<typename Plain::value_type>();
    return Element(value[i / inner], i % inner);
  } else {
    return (value);
  }
}

// The member `member` of `object`. An object made of several (an entry of a race,
// what a runner's part of the record is made from) says where each member is.
template <typename Object, typename Member>
constexpr decltype(auto) At(Object& object, Member member) {
  if constexpr (requires { object.At(member); }) {
    return object.At(member);
  } else {
    return (object.*member);
  }
}

// Entry `entry` of an object with per-entry arrays: its members are that entry's
// elements.
template <typename Object>
struct EntryOf {
  Object& object;
  std::size_t entry;

  template <typename Array, typename Class>
  constexpr auto& At(Array Class::* member) const {
    return (object.*member)[entry];
  }
};

// ---- The input side ----

// Where a field lies in its input record: `count` values of `width` bytes, each
// `stride` bytes after the one before (a stride wider than the field leaves bytes
// after each value that are not read).
struct InputPlace {
  std::size_t offset = 0;
  std::size_t width = 0;
  std::size_t count = 1;
  std::size_t stride = 0;

  constexpr std::size_t end() const { return offset + count * stride; }
};

// The bytes a field's read gets: those of `record` from `offset` on, `width` of them,
// fewer or none where the record ends first.
inline std::string_view FieldBytes(std::string_view record, std::size_t offset, std::size_t width) {
  return offset < record.size() ? record.substr(offset, width) : std::string_view();
}

// True when `bytes` hold a control character other than NUL: binary junk, not the
// text the files hold (a NUL is text's end within a field, as the four ways of
// taking fields define it). Every byte of every record read is looked at, so they
// go in blocks of a fixed size, which the compiler tests many bytes of at once.
inline bool HoldsControl(std::string_view bytes) {
  const auto isControl = [](unsigned char c) {
    return static_cast<unsigned char>(static_cast<unsigned char>(c - 1u) < 0x1Fu) |
           static_cast<unsigned char>(c == 0x7F);
  };
  constexpr std::size_t kBlock = 32;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  for (; end - p >= static_cast<std::ptrdiff_t>(kBlock); p += kBlock) {
    unsigned char found = 0;
    for (std::size_t k = 0; k < kBlock; ++k) found |= isControl(p[k]);
    if (found != 0) return true;
  }
  for (; p != end; ++p) {
    if (isControl(*p)) return true;
  }
  return false;
}

// Whether the first `extent` bytes of `record`, which the fields read lie in, are
// all there and all text. A record that fails was cut short or is junk: its fields
// are not what the layout says.
inline bool ReadWhole(std::string_view record, std::size_t extent) {
  return extent <= record.size() && !HoldsControl(record.substr(0, extent));
}

namespace fields {

// A value passed on unchanged.
struct AsIs {
  template <typename T>
  constexpr const T& operator()(const T& value) const {
    return value;
  }
};

// The four ways of taking a field into its member; a text is shaped by `shape` (a
// name cut at its padding, say).
struct AsNumber {
  void operator()(std::string_view bytes, int& target) const { TakeNumber(bytes, target); }
};
struct AsValue {
  void operator()(std::string_view bytes, int& target) const { target = TakeValue(bytes); }
};
template <typename Shape = AsIs>
struct AsText {
  Shape shape;
  void operator()(std::string_view bytes, std::string& target) const { target = shape(TakeText(bytes)); }
};
struct AsChar {
  void operator()(std::string_view bytes, char& target) const { target = TakeChar(bytes); }
};
// A field its reader reads by code of its own (the past runs).
struct Apart {
  template <typename T>
  void operator()(std::string_view, T&) const {}
};

// One way of taking a field into one member.
template <typename Way, typename Member>
struct Into {
  using WayType = Way;
  Way way;
  Member member;
};

// A display text made from the field's first value: `member = make(value)`.
template <typename Member, typename Make>
struct ShownAs {
  Member member;
  Make make;
};
struct NothingShown {};

// A record field's value comes from its row's first member unless it says where.
template <typename Transform>
struct Unbound {
  Transform transform;
};

// The value of `member` of what a part is made from, through `transform` (an index
// number looked up, the month of an MMDD date).
template <typename Member, typename Transform>
struct FromMember {
  Member member;
  Transform transform;

  template <typename Source>
  constexpr decltype(auto) operator()(const Source& source, std::size_t i) const {
    return transform(Element(At(source, member), i));
  }
};

template <typename T>
inline constexpr bool kIsUnbound = false;
template <typename Transform>
inline constexpr bool kIsUnbound<Unbound<Transform>> = true;

// A code table's row for the code: `RowOf(WeekdayTable)(3)`.
template <typename Table>
struct RowText {
  const Table* table;
  constexpr std::string_view operator()(int code) const { return table->RowView(code); }
};
template <typename Table>
constexpr RowText<Table> RowOf(const Table& table) {
  return {&table};
}

}  // namespace fields

// ---- The record side ----

// A field of a record part: FlatCount<Stored>() values of `width` bytes from
// `offset` on, kept in `member` when the record is read back. A number is stored
// big-endian in `width` bytes (its low bits); a text in `width` bytes, at most its
// first width - 1 and zeros after them; a block is a part of its own. `get` gives
// value i from what the part is made from.
template <typename Part, typename Stored, typename Get>
struct RecordField {
  std::string_view name;  // the JSON of dump names the field so
  std::size_t offset;
  std::size_t width;
  Stored Part::* member;
  Get get;

  static constexpr std::size_t kCount = FlatCount<Stored>();
  constexpr std::size_t end() const { return offset + kCount * width; }

  // The value passes through `transform` on its way to the record.
  template <typename Transform>
  constexpr auto Of(Transform transform) const {
    static_assert(fields::kIsUnbound<Get>, "Of() goes before From()");
    return RecordField<Part, Stored, fields::Unbound<Transform>>{name, offset, width, member, {transform}};
  }

  // The value comes from `source`: a member of what the part is made from (through
  // the transform given with Of), or a function of what the part is made from.
  template <typename Source>
  constexpr auto From(Source source) const {
    if constexpr (std::is_member_object_pointer_v<Source>) {
      return Bound(source);
    } else {
      return RecordField<Part, Stored, Source>{name, offset, width, member, source};
    }
  }

  // The field of a row whose first member is `source`: the value comes from there
  // unless the field said where it comes from.
  template <typename Member>
  constexpr auto Bound(Member source) const {
    if constexpr (fields::kIsUnbound<Get>) {
      using Transform = decltype(get.transform);
      return RecordField<Part, Stored, fields::FromMember<Member, Transform>>{
          name, offset, width, member, {source, get.transform}};
    } else {
      return *this;
    }
  }
};

// Bytes of a record part that are always zero.
struct RecordZeros {
  std::size_t offset;
  std::size_t width;

  constexpr std::size_t end() const { return offset + width; }
};

// ---- A row ----

template <typename Takes, typename ShownT, typename Records>
struct Field {
  std::string_view name;  // the test builder names the field so
  InputPlace at;
  Takes takes;  // a tuple of fields::Into: the ways it is taken, and into what
  ShownT shown;
  Records records;  // a tuple of RecordField: where the record carries it

  // The display text `member` of each value is `make(value)`.
  template <typename Member, typename Make>
  constexpr auto Shown(Member member, Make make) const {
    return Field<Takes, fields::ShownAs<Member, Make>, Records>{name, at, takes, {member, make}, records};
  }

  // The values lie `stride` bytes apart; the bytes after each one are not read.
  constexpr Field Every(std::size_t stride) const {
    Field every = *this;
    every.at.stride = stride;
    return every;
  }

  // Where the record carries the field.
  template <typename... More>
  constexpr auto To(More... more) const {
    static_assert(std::tuple_size_v<Records> == 0, "one To() a row");
    const auto first = std::get<0>(takes).member;
    auto bound = std::tuple{more.Bound(first)...};
    return Field<Takes, ShownT, decltype(bound)>{name, at, takes, shown, bound};
  }

  // Whether the readers take the field through the table, rather than compare it
  // (a key), skip it (a gap) or read it apart (the past runs).
  static constexpr bool kTaken = [] {
    if constexpr (std::tuple_size_v<Takes> == 0) {
      return false;
    } else {
      return !std::is_same_v<typename std::tuple_element_t<0, Takes>::WayType, fields::Apart>;
    }
  }();

  // Takes the field from `record`, whose byte 0 is byte `origin` of the layout,
  // into `object`. `kWhole`: the record holds every byte of the field, so that each
  // value is `width` bytes, a constant that lets the compiler lay out the taking of
  // a two-digit number as two digits rather than as a loop.
  template <bool kWhole, typename Object>
  void TakeInto(std::string_view record, std::size_t origin, Object& object) const {
    if constexpr (kTaken) {
      for (std::size_t i = 0; i < at.count; ++i) {
        const std::size_t offset = at.offset - origin + i * at.stride;
        const std::string_view bytes =
            kWhole ? std::string_view(record.data() + offset, at.width) : FieldBytes(record, offset, at.width);
        std::apply([&](const auto&... into) { (into.way(bytes, Element(At(object, into.member), i)), ...); },
                   takes);
        if constexpr (!std::is_same_v<ShownT, fields::NothingShown>) {
          Element(At(object, shown.member), i) = shown.make(Element(At(object, std::get<0>(takes).member), i));
        }
      }
    }
  }
};

template <typename T>
inline constexpr bool kIsField = false;
template <typename Takes, typename ShownT, typename Records>
inline constexpr bool kIsField<Field<Takes, ShownT, Records>> = true;

// ---- Building rows ----

namespace fields {

template <typename Member>
struct MemberTypeOf;
template <typename T, typename Class>
struct MemberTypeOf<T Class::*> {
  using type = T;
};
template <typename Member>
using MemberType = typename MemberTypeOf<Member>::type;

// A row taking the field in the way of `first` and of each of `rest`. A field
// repeats once per value of its first member (once for a per-entry member); every
// member it fills holds as many values.
template <typename First, typename... Rest>
constexpr auto Taken(std::string_view name, std::size_t offset, std::size_t width, First first, Rest... rest) {
  constexpr std::size_t kCount = FlatCount<MemberType<decltype(first.member)>>();
  static_assert(((FlatCount<MemberType<decltype(rest.member)>>() == kCount) && ...));
  using Row = Field<std::tuple<First, Rest...>, NothingShown, std::tuple<>>;
  return Row{name, {offset, width, kCount, width}, {first, rest...}, {}, {}};
}

template <typename Member>
constexpr auto Number(std::string_view name, std::size_t offset, std::size_t width, Member member) {
  return Taken(name, offset, width, Into<AsNumber, Member>{{}, member});
}
template <typename Member>
constexpr auto Value(std::string_view name, std::size_t offset, std::size_t width, Member member) {
  return Taken(name, offset, width, Into<AsValue, Member>{{}, member});
}
template <typename Member, typename Shape = AsIs>
constexpr auto Text(std::string_view name, std::size_t offset, std::size_t width, Member member,
                    Shape shape = {}) {
  return Taken(name, offset, width, Into<AsText<Shape>, Member>{{shape}, member});
}
template <typename Member>
constexpr auto Char(std::string_view name, std::size_t offset, std::size_t width, Member member) {
  return Taken(name, offset, width, Into<AsChar, Member>{{}, member});
}
template <typename NumberMember, typename TextMember>
constexpr auto NumberAndText(std::string_view name, std::size_t offset, std::size_t width,
                             NumberMember number, TextMember text) {
  return Taken(name, offset, width, Into<AsNumber, NumberMember>{{}, number},
               Into<AsText<>, TextMember>{{}, text});
}
template <typename NumberMember, typename CharMember>
constexpr auto NumberAndChar(std::string_view name, std::size_t offset, std::size_t width,
                             NumberMember number, CharMember c) {
  return Taken(name, offset, width, Into<AsNumber, NumberMember>{{}, number}, Into<AsChar, CharMember>{{}, c});
}
template <typename TextMember, typename CharMember>
constexpr auto TextAndChar(std::string_view name, std::size_t offset, std::size_t width, TextMember text,
                           CharMember c) {
  return Taken(name, offset, width, Into<AsText<>, TextMember>{{}, text}, Into<AsChar, CharMember>{{}, c});
}
// A field that its reader reads by code of its own, into `member`.
template <typename Member>
constexpr auto ReadApart(std::string_view name, std::size_t offset, std::size_t width, Member member) {
  return Taken(name, offset, width, Into<Apart, Member>{{}, member});
}
// A field that is looked at but not kept (a key), or not read at all (a gap).
constexpr auto Unkept(std::string_view name, std::size_t offset, std::size_t width) {
  return Field<std::tuple<>, NothingShown, std::tuple<>>{name, {offset, width, 1, width}, {}, {}, {}};
}
constexpr auto NotRead(std::size_t offset, std::size_t width) { return Unkept({}, offset, width); }

// Record fields: numbers of 1, 2 and 4 bytes, zero-padded texts, blocks, zeros.
template <std::size_t Width, typename Part, typename Stored>
constexpr auto RecordNumber(std::string_view name, std::size_t offset, Stored Part::* member) {
  static_assert(std::is_integral_v<FlatElement<Stored>> && sizeof(FlatElement<Stored>) == Width);
  return RecordField<Part, Stored, Unbound<AsIs>>{name, offset, Width, member, {}};
}
template <typename Part, typename Stored>
constexpr auto U8(std::string_view name, std::size_t offset, Stored Part::* member) {
  return RecordNumber<1>(name, offset, member);
}
template <typename Part, typename Stored>
constexpr auto U16(std::string_view name, std::size_t offset, Stored Part::* member) {
  return RecordNumber<2>(name, offset, member);
}
template <typename Part, typename Stored>
constexpr auto U32(std::string_view name, std::size_t offset, Stored Part::* member) {
  return RecordNumber<4>(name, offset, member);
}
template <typename Part, typename Stored>
constexpr auto ZeroPadded(std::string_view name, std::size_t offset, std::size_t width, Stored Part::* member) {
  static_assert(std::is_same_v<FlatElement<Stored>, std::string>);
  return RecordField<Part, Stored, Unbound<AsIs>>{name, offset, width, member, {}};
}
template <typename Part, typename Stored>
constexpr auto Blocks(std::string_view name, std::size_t offset, std::size_t width, Stored Part::* member) {
  static_assert(std::is_class_v<FlatElement<Stored>> && !std::is_same_v<FlatElement<Stored>, std::string>);
  return RecordField<Part, Stored, Unbound<AsIs>>{name, offset, width, member, {}};
}
constexpr RecordZeros Zeros(std::size_t offset, std::size_t width) { return {offset, width}; }

}  // namespace fields

// ---- A table ----

// An input field of a table: its name and where it lies.
struct NamedPlace {
  std::string_view name;  // empty for a gap
  InputPlace at;
};

template <std::size_t I, typename Entry>
struct TableSlot {
  Entry entry;
};

template <typename Indices, typename... Entries>
struct FieldRows;

// The rows of a table, each of a type of its own. Like a tuple, but flat, so that a
// table of many rows costs the compiler and the debug information little: no type
// or function is made for each row that names the types of all the others.
template <std::size_t... I, typename... Entries>
struct FieldRows<std::index_sequence<I...>, Entries...> : TableSlot<I, Entries>... {
  // How many of the rows have an input field (gaps included).
  static constexpr std::size_t kInputFields = (std::size_t{kIsField<Entries>} + ... + 0);

  // Calls `visit(entry)` for every row, in order.
  template <typename Visit>
  constexpr void ForEach(Visit&& visit) const {
    (visit(static_cast<const TableSlot<I, Entries>&>(*this).entry), ...);
  }

  // The same for the table `Table`, whose rows are then constants to the compiler:
  // their offsets, widths and members are part of the code rather than read at run
  // time, as in a reader written out by hand.
  template <const auto& Table, typename Visit>
  static constexpr void ForEachOf(Visit&& visit) {
    (visit(static_cast<const TableSlot<I, Entries>&>(Table).entry), ...);
  }
};

// A table of `entries`: rows, and record fields alone.
template <typename... Entries>
constexpr auto TableOf(Entries... entries) {
  return FieldRows<std::index_sequence_for<Entries...>, Entries...>{{entries}...};
}

template <std::size_t I, typename Entry>
constexpr const Entry& EntryAt(const TableSlot<I, Entry>& slot) {
  return slot.entry;
}

// The rows of `first`, then those of `second`.
template <std::size_t... I, typename... First, std::size_t... J, typename... Second>
constexpr auto Joined(const FieldRows<std::index_sequence<I...>, First...>& first,
                      const FieldRows<std::index_sequence<J...>, Second...>& second) {
  return TableOf(EntryAt<I>(first)..., EntryAt<J>(second)...);
}

namespace fields {

template <typename Object, bool kWhole>
struct Taking {
  std::string_view record;
  std::size_t origin;
  Object& object;

  template <typename Entry>
  void operator()(const Entry& entry) const {
    if constexpr (kIsField<Entry>) entry.template TakeInto<kWhole>(record, origin, object);
  }
};

template <typename Each>
struct EachRecordField {
  Each& each;

  template <typename Entry>
  constexpr void operator()(const Entry& entry) const {
    if constexpr (kIsField<Entry>) {
      std::apply([&](const auto&... field) { (each(field), ...); }, entry.records);
    } else {
      each(entry);
    }
  }
};

template <std::size_t N>
struct EachInputField {
  std::array<NamedPlace, N>& places;
  std::size_t& used;

  template <typename Entry>
  constexpr void operator()(const Entry& entry) const {
    if constexpr (kIsField<Entry>) places[used++] = {entry.name, entry.at};
  }
};

}  // namespace fields

// ---- Using a table ----

// The input fields of `table`, gaps included, in table order.
template <typename Table>
constexpr auto InputPlaces(const Table& table) {
  std::array<NamedPlace, Table::kInputFields> places{};
  std::size_t used = 0;
  table.ForEach(fields::EachInputField<Table::kInputFields>{places, used});
  return places;
}

// Where the input field `name` of `table` lies; nowhere (width 0) when it has none.
template <typename Table>
constexpr InputPlace InputPlaceOf(const Table& table, std::string_view name) {
  for (const NamedPlace& field : InputPlaces(table)) {
    if (field.name == name) return field.at;
  }
  return {};
}

// Where the last input field of `table` ends.
template <typename Table>
constexpr std::size_t InputEnd(const Table& table) {
  std::size_t end = 0;
  for (const NamedPlace& field : InputPlaces(table)) end = std::max(end, field.at.end());
  return end;
}

// Takes every field of `table` from `record` (whose byte 0 is byte `origin` of the
// layout) into `object`, in table order. A field past the end of `record` takes
// what is left of it, or nothing.
template <const auto& Table, typename Object>
void TakeFields(std::string_view record, std::size_t origin, Object& object) {
  using Rows = std::remove_cvref_t<decltype(Table)>;
  constexpr std::size_t kEnd = InputEnd(Table);
  if (origin + record.size() >= kEnd) {
    Rows::template ForEachOf<Table>(fields::Taking<Object, true>{record, origin, object});
  } else {
    Rows::template ForEachOf<Table>(fields::Taking<Object, false>{record, origin, object});
  }
}

// Calls `each(field)` for every record field of `table`, zeros included, in table
// order: those of its rows, and its rows of record fields alone.
template <typename Table, typename Each>
constexpr void ForEachRecordField(const Table& table, Each&& each) {
  table.ForEach(fields::EachRecordField<Each>{each});
}
// The same for the table `Table`, its fields constants to the compiler.
template <const auto& Table, typename Each>
constexpr void ForEachRecordField(Each&& each) {
  std::remove_cvref_t<decltype(Table)>::template ForEachOf<Table>(fields::EachRecordField<Each>{each});
}

// The layout of a record part of `Size` bytes that `Tables` give: PartLayout's
// specializations are made of it.
template <std::size_t Size, const auto&... Tables>
struct RecordLayout {
  static constexpr std::size_t kSize = Size;

  // Calls `each(field)` for every record field of the tables.
  template <typename Each>
  static constexpr void ForEachField(Each&& each) {
    (ForEachRecordField<Tables>(each), ...);
  }
};

// A stretch of bytes [begin, end).
struct Stretch {
  std::size_t begin;
  std::size_t end;
};

// Whether the stretches cover [0, size) one after the other, with no gap and no
// overlap.
template <std::size_t N>
constexpr bool Tiles(std::array<Stretch, N> stretches, std::size_t used, std::size_t size) {
  std::sort(stretches.begin(), stretches.begin() + used,
            [](const Stretch& a, const Stretch& b) { return a.begin < b.begin; });
  std::size_t at = 0;
  for (std::size_t i = 0; i < used; ++i) {
    if (stretches[i].begin != at || stretches[i].end <= stretches[i].begin) return false;
    at = stretches[i].end;
  }
  return at == size;
}

// Whether the input fields of `table` cover its input part of `size` bytes.
template <typename Table>
constexpr bool InputTiles(const Table& table, std::size_t size) {
  std::array<Stretch, Table::kInputFields> stretches{};
  bool valuesFit = true;
  std::size_t used = 0;
  for (const NamedPlace& field : InputPlaces(table)) {
    const InputPlace& at = field.at;
    valuesFit = valuesFit && at.width > 0 && at.width <= at.stride && at.count > 0;
    stretches[used++] = {at.offset, at.end()};
  }
  return valuesFit && Tiles(stretches, used, size);
}

// Whether the record fields that `forEachField(each)` visits cover [0, size).
template <typename ForEachField>
constexpr bool RecordFieldsTile(ForEachField forEachField, std::size_t size) {
  std::array<Stretch, 256> stretches{};
  std::size_t used = 0;
  bool fit = true;
  forEachField([&](const auto& field) {
    fit = fit && used < stretches.size() && field.width > 0;
    if (fit) stretches[used++] = {field.offset, field.end()};
  });
  return fit && Tiles(stretches, used, size);
}

// Whether the record fields of `table` cover a part of `size` bytes.
template <typename Table>
constexpr bool RecordTiles(const Table& table, std::size_t size) {
  return RecordFieldsTile([&](auto each) { ForEachRecordField(table, each); }, size);
}

// Whether the record fields of a part's layout cover the part.
template <typename Layout>
constexpr bool PartTiles() {
  return RecordFieldsTile([](auto each) { Layout::ForEachField(each); }, Layout::kSize);
}

}  // namespace kelvane
