#include "imaging/histogram.h"

#include <algorithm>
#include <cstring>

namespace irdex::imaging {
namespace {

template <typename Cell>
CountHistogram countInto(uint32_t* bins, std::span<const Cell> pixels) {
  std::memset(bins, 0, sizeof(uint32_t) * kCountBins);
  // Neighbouring thermal pixels often share a count; two alternating bins would still chain
  // their increments, so two histograms of half the pixels would not pay for their clearing.
  for (const Cell cell : pixels) ++bins[static_cast<uint16_t>(cell)];
  CountHistogram histogram;
  histogram.bins = bins;
  histogram.total = static_cast<uint32_t>(pixels.size());
  if (pixels.empty()) return histogram;
  int32_t low = 0;
  while (bins[low] == 0) ++low;
  int32_t high = kCountBins - 1;
  while (bins[high] == 0) --high;
  histogram.lowest = low;
  histogram.highest = high;
  return histogram;
}

}  // namespace

CountHistogram buildHistogram(uint32_t* bins, std::span<const uint16_t> pixels) {
  return countInto(bins, pixels);
}

CountHistogram remapHistogram(uint32_t* bins, const CountHistogram& source,
                              const uint16_t* countMap) {
  std::memset(bins, 0, sizeof(uint32_t) * kCountBins);
  CountHistogram histogram;
  histogram.bins = bins;
  histogram.total = source.total;
  if (source.empty()) return histogram;
  int32_t low = kCountBins;
  int32_t high = -1;
  for (int32_t n = source.lowest; n <= source.highest; ++n) {
    const uint32_t count = source.bins[n];
    if (count == 0) continue;
    const int32_t mapped = countMap[n];
    bins[mapped] += count;
    low = std::min(low, mapped);
    high = std::max(high, mapped);
  }
  histogram.lowest = low;
  histogram.highest = high;
  return histogram;
}

void accumulateHistogram(int32_t* counters, std::span<const uint16_t> pixels) {
  // Counters the caller never clears may run over; they wrap instead of misbehaving.
  for (const uint16_t count : pixels) {
    counters[count] = static_cast<int32_t>(static_cast<uint32_t>(counters[count]) + 1u);
  }
}

}  // namespace irdex::imaging
