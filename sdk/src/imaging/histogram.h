// Histograms of 16-bit counts. Every render builds one pass over the frame; the window
// methods, the grey mappings and the plateau equalisation then work on the bins only.
#pragma once

#include <cstdint>
#include <span>

namespace irdex::imaging {

inline constexpr int kCountBins = 65536;

// 65536 bins plus the occupied stretch, so later steps scan only the counts present.
struct CountHistogram {
  uint32_t* bins = nullptr;  // kCountBins entries, owned by the caller (see ScratchBuffers)
  uint32_t total = 0;
  int32_t lowest = 0;    // lowest occupied count (0 when empty)
  int32_t highest = -1;  // highest occupied count (-1 when empty)

  bool empty() const { return total == 0; }
};

// Clears `bins` and counts every pixel into it.
CountHistogram buildHistogram(uint32_t* bins, std::span<const uint16_t> pixels);
// Moves every occupied bin n of `source` to bin countMap[n] of a cleared `bins`.
CountHistogram remapHistogram(uint32_t* bins, const CountHistogram& source,
                              const uint16_t* countMap);

// The raw histogram export: adds one per pixel to signed counters that are not cleared.
void accumulateHistogram(int32_t* counters, std::span<const uint16_t> pixels);

}  // namespace irdex::imaging
