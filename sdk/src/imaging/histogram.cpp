#include "imaging/histogram.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace irdex::imaging {
namespace {

// The lowest and highest count present, eight at a time. SSE2 (the baseline) compares
// signed words only, so the sign bit is flipped on the way in and out.
std::pair<int32_t, int32_t> countRange(std::span<const uint16_t> pixels) {
  const __m128i flip = _mm_set1_epi16(static_cast<int16_t>(0x8000));
  __m128i low = _mm_set1_epi16(0x7FFF);
  __m128i high = _mm_set1_epi16(static_cast<int16_t>(0x8000));
  std::size_t i = 0;
  for (; i + 8 <= pixels.size(); i += 8) {
    const __m128i v =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels.data() + i)), flip);
    low = _mm_min_epi16(low, v);
    high = _mm_max_epi16(high, v);
  }
  alignas(16) uint16_t lows[8];
  alignas(16) uint16_t highs[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(lows), _mm_xor_si128(low, flip));
  _mm_store_si128(reinterpret_cast<__m128i*>(highs), _mm_xor_si128(high, flip));
  int32_t lowest = *std::min_element(lows, lows + 8);
  int32_t highest = *std::max_element(highs, highs + 8);
  for (; i < pixels.size(); ++i) {
    lowest = std::min<int32_t>(lowest, pixels[i]);
    highest = std::max<int32_t>(highest, pixels[i]);
  }
  return {lowest, highest};
}

// Three more sets of bins for the counting, kept all zero between calls (each call clears
// what it used), one per thread that renders.
uint32_t* extraBins() {
  thread_local std::unique_ptr<uint32_t[]> bins;
  if (!bins) bins = std::make_unique<uint32_t[]>(3 * static_cast<std::size_t>(kCountBins));
  return bins.get();
}

}  // namespace

CountHistogram buildHistogram(uint32_t* bins, std::span<const uint16_t> pixels) {
  std::memset(bins, 0, sizeof(uint32_t) * kCountBins);
  CountHistogram histogram;
  histogram.bins = bins;
  histogram.total = static_cast<uint32_t>(pixels.size());
  if (pixels.empty()) return histogram;
  // Thermal frames hold long runs of one count, and each increment of one bin waits for
  // the one before: four sets of bins, one per pixel of four, keep four chains in flight.
  // The sets are added up over the occupied stretch only, and cleared there for the next
  // call.
  uint32_t* extra = extraBins();
  uint32_t* const sets[4] = {bins, extra, extra + kCountBins, extra + 2 * kCountBins};
  const uint16_t* p = pixels.data();
  const std::size_t n = pixels.size();
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    ++sets[0][p[i]];
    ++sets[1][p[i + 1]];
    ++sets[2][p[i + 2]];
    ++sets[3][p[i + 3]];
  }
  for (; i < n; ++i) ++bins[p[i]];
  const auto [low, high] = countRange(pixels);
  for (int32_t c = low; c <= high; ++c) {
    bins[c] += sets[1][c] + sets[2][c] + sets[3][c];
    sets[1][c] = sets[2][c] = sets[3][c] = 0;
  }
  histogram.lowest = low;
  histogram.highest = high;
  return histogram;
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
