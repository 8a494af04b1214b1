#pragma once

// A record part written from what it is made from, and read back, by the record
// fields of its field tables (PartLayout<Part>, jravan/race_fields.h and
// jravan/horse_fields.h): numbers big-endian in their width, keeping their low bits;
// texts cut to their width less one and zero-padded; blocks as parts of their own.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "jravan/field_table.h"
#include "jravan/horse_fields.h"
#include "jravan/race_fields.h"
#include "pdb/big_endian.h"

namespace kelvane {

template <typename Part, typename Source>
void EncodePart(const Source& source, std::span<std::uint8_t> part);
template <typename Part>
Part DecodePart(std::span<const std::uint8_t> part);

namespace part_coding {

template <typename Part, typename Stored, typename Get, typename Source>
void Encode(const RecordField<Part, Stored, Get>& field, const Source& source, std::span<std::uint8_t> part) {
  using One = FlatElement<Stored>;
  for (std::size_t i = 0; i < field.kCount; ++i) {
    const std::span<std::uint8_t> bytes = part.subspan(field.offset + i * field.width, field.width);
    const auto& value = field.get(source, i);
    if constexpr (std::is_integral_v<One>) {
      PutBigEndian(bytes.data(), field.width, static_cast<std::uint64_t>(static_cast<One>(value)));
    } else if constexpr (std::is_same_v<One, std::string>) {
      const std::string_view text = value;
      // The rest of the field stays zero: at least its last byte.
      std::copy_n(text.begin(), std::min(text.size(), field.width - 1), bytes.begin());
    } else {
      EncodePart<One>(value, bytes);
    }
  }
}
template <typename Source>
void Encode(const RecordZeros&, const Source&, std::span<std::uint8_t>) {}

template <typename Part, typename Stored, typename Get, typename Decoded>
void Decode(const RecordField<Part, Stored, Get>& field, std::span<const std::uint8_t> part, Decoded& decoded) {
  using One = FlatElement<Stored>;
  for (std::size_t i = 0; i < field.kCount; ++i) {
    const std::span<const std::uint8_t> bytes = part.subspan(field.offset + i * field.width, field.width);
    One& one = Element(decoded.*field.member, i);
    if constexpr (std::is_integral_v<One>) {
      one = static_cast<One>(GetBigEndian(bytes.data(), field.width));
    } else if constexpr (std::is_same_v<One, std::string>) {
      one.assign(bytes.begin(), std::find(bytes.begin(), bytes.end(), std::uint8_t{0}));
    } else {
      one = DecodePart<One>(bytes);
    }
  }
}
template <typename Decoded>
void Decode(const RecordZeros&, std::span<const std::uint8_t>, Decoded&) {}

}  // namespace part_coding

// Writes the part made from `source` into `part`, which is zeroed and as long as the
// part.
template <typename Part, typename Source>
void EncodePart(const Source& source, std::span<std::uint8_t> part) {
  PartLayout<Part>::ForEachField([&](const auto& field) { part_coding::Encode(field, source, part); });
}

// The part held by `part`, which is as long as the part.
template <typename Part>
Part DecodePart(std::span<const std::uint8_t> part) {
  Part decoded;
  PartLayout<Part>::ForEachField([&](const auto& field) { part_coding::Decode(field, part, decoded); });
  return decoded;
}

}  // namespace kelvane
