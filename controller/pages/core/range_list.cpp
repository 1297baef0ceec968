#include "pages/core/range_list.h"

namespace pages {

std::vector<MeasurementRange> measurementRanges(std::span<const uint8_t, 512> header) {
  std::vector<MeasurementRange> ranges;
  const unsigned mask = header[kRangeMaskOffset] | header[kRangeMaskOffset + 1] << 8;
  for (int bit = 0; bit < 16 && ranges.size() < kMaxRanges; ++bit) {
    if (!(mask & (1u << bit))) continue;
    const size_t at = kRangeNamesOffset + kRangeNameSize * ranges.size();
    std::string name;
    for (size_t i = 0; i < kRangeNameSize && header[at + i] != 0; ++i)
      name.push_back(static_cast<char>(header[at + i]));
    ranges.push_back(MeasurementRange{bit, std::move(name)});
  }
  return ranges;
}

}  // namespace pages
