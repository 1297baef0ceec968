// The measurement ranges a KS camera of header version 33 or later offers: the set bits of
// its 16-bit range mask, named by the 10-byte name fields that follow in the header.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pages {

struct MeasurementRange {
  int number = -1;
  std::string name;
  bool operator==(const MeasurementRange&) const = default;
};

inline constexpr size_t kRangeMaskOffset = 339;
inline constexpr size_t kRangeNamesOffset = 363;
inline constexpr size_t kRangeNameSize = 10;
// The header has room for the names of two ranges; further set bits are ignored.
inline constexpr size_t kMaxRanges = 2;

std::vector<MeasurementRange> measurementRanges(std::span<const uint8_t, 512> header);

}  // namespace pages
