#include "imaging/plateau.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace irdex::imaging {
namespace {

// Running sum of the histogram with every bin cut to `cut`, turned into the grey map.
std::optional<GreyMap> mapFromCutHistogram(const GreyHistogram& histogram, uint32_t cut) {
  std::array<uint32_t, 256> running{};
  uint32_t sum = 0;
  for (int i = 0; i < 256; ++i) {
    sum += std::min(histogram[i], cut);
    running[i] = sum;
  }
  if (sum == 0) return std::nullopt;  // no pixel left: the map would divide by zero
  GreyMap map{};
  const float total = static_cast<float>(sum);
  for (int i = 0; i < 256; ++i) {
    map[i] = static_cast<uint8_t>(255.0f * static_cast<float>(running[i]) / total);
  }
  return map;
}

// A plateau computed in floating point as a bin limit: a limit below zero (or not a number)
// keeps no pixel, which leaves the image as it is.
uint32_t plateauAsCut(float plateau) {
  if (!(plateau >= 0.0f)) return 0;
  if (plateau >= 4294967295.0f) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(plateau);
}

void applyMap(std::span<uint8_t> image, const std::optional<GreyMap>& map) {
  if (!map) return;
  for (uint8_t& grey : image) grey = (*map)[grey];
}

}  // namespace

GreyHistogram greyHistogram(std::span<const uint8_t> image) {
  GreyHistogram histogram{};
  for (const uint8_t grey : image) ++histogram[grey];
  return histogram;
}

std::optional<GreyMap> plateauMapTPE(const GreyHistogram& histogram, int32_t plateau) {
  return mapFromCutHistogram(histogram, static_cast<uint32_t>(plateau));
}

std::optional<GreyMap> plateauMapAPE(const GreyHistogram& histogram, float epsilon, float psi,
                                     float& prevPlateau) {
  std::array<uint32_t, 256> running{};
  uint32_t sum = 0;
  for (int i = 0; i < 256; ++i) {
    sum += histogram[i];
    running[i] = sum;
  }
  const uint32_t total = sum;
  if (total == 0) return std::nullopt;

  int first = 0;
  while (histogram[first] == 0) ++first;
  int last = 255;
  while (histogram[last] == 0) --last;

  const auto percentileLevel = [&](double fraction) {
    const double limit = total * fraction;
    int level = 0;
    for (int i = 0; i < 256; ++i) {
      if (running[i] <= limit) level = i;
    }
    return level;
  };
  const int p1 = percentileLevel(0.01);
  const int p25 = percentileLevel(0.25);
  const int p75 = percentileLevel(0.75);
  const int p9999 = percentileLevel(0.9999);

  std::array<uint32_t, 256> smoothed{};
  smoothed[0] = histogram[0] + histogram[1];
  smoothed[255] = histogram[254] + histogram[255];
  for (int i = 1; i < 255; ++i) smoothed[i] = histogram[i - 1] + histogram[i] + histogram[i + 1];

  const float threshold = static_cast<float>(last - first) * epsilon;
  // The step is an unsigned difference on purpose: a falling edge counts as a huge step.
  const auto isEdge = [&](int j) {
    return static_cast<float>(static_cast<uint32_t>(smoothed[j] - smoothed[j - 1])) > threshold;
  };
  int lower = p25 == 0 ? 0 : p25 - 1;
  for (int j = p25 - 1; j >= 2; --j) {
    if (isEdge(j)) {
      lower = j;
      break;
    }
  }
  int upper = p75 - 1;
  for (int k = p75 + 1; k <= 254; ++k) {
    if (isEdge(k)) {
      upper = k;
      break;
    }
  }

  int64_t lowCount = 0;
  for (int i = first; i < lower; ++i) lowCount += histogram[i];
  int64_t highCount = 0;
  for (int i = std::max(upper + 1, 0); i <= last; ++i) highCount += histogram[i];

  const float ratio = static_cast<float>(static_cast<int64_t>(total) - highCount - lowCount) /
                      static_cast<float>(lowCount + highCount);
  const int64_t chosen = (p9999 - upper > lower - p1) ? highCount : lowCount;
  const float base = static_cast<float>(chosen) * ratio / static_cast<float>(upper - lower);

  float c1 = 1.0f;
  if (p9999 != p1) c1 = 1.0f - static_cast<float>(p9999 - p1) / 255.0f;
  float c2 = 1.0f;
  if (p25 != p1 && p75 != p1) {
    c2 = 1.0f - static_cast<float>(p25 - p1) / static_cast<float>(p75 - p1);
  }
  if (c1 <= 0.1f) c1 = 0.1f;
  if (c2 <= 0.1f) c2 = 0.1f;
  float shape = c1 * c2;
  if (shape < 0.3f) shape = 0.3f;

  const float fresh = shape * base;
  const float used = (1.0f - psi) * prevPlateau + psi * fresh;
  prevPlateau = fresh;

  // A plateau that is not a number or infinite cuts nothing: plain equalisation.
  GreyHistogram cut = histogram;
  const uint32_t limit = plateauAsCut(used);
  for (uint32_t& bin : cut) {
    if (static_cast<float>(bin) > used) bin = limit;
  }
  return mapFromCutHistogram(cut, 0xFFFFFFFFu);
}

float sapeCandidate(const GreyHistogram& histogram) {
  std::vector<int64_t> values;
  std::vector<int64_t> steps;
  values.reserve(254);
  steps.reserve(254);
  for (int i = 0; i <= 253; ++i) {
    std::array<uint32_t, 3> three{histogram[i], histogram[i + 1], histogram[i + 2]};
    std::sort(three.begin(), three.end());
    const int64_t median = three[1];
    if (median == 0) continue;
    steps.push_back(values.empty() ? 0 : median - values.back());
    values.push_back(median);
  }

  std::vector<int64_t> valleys;
  size_t largest = 0;
  for (size_t j = 1; j + 1 < values.size(); ++j) {
    const int64_t before = steps[j - 1];
    const int64_t after = steps[j + 1];
    if (before < 0 && after > 0 &&
        std::llabs(steps[j]) < std::min(std::llabs(before), std::llabs(after))) {
      if (valleys.empty() || values[j] >= valleys[largest]) largest = valleys.size();
      valleys.push_back(values[j]);
    }
  }

  int64_t candidate = 0;
  if (!valleys.empty()) {
    const size_t count = valleys.size();
    const size_t index = largest + (count - largest) / 2;
    // Only the entries up to the chosen one need their place in descending order.
    for (size_t a = largest; a <= index; ++a) {
      const auto top =
          std::max_element(valleys.begin() + static_cast<std::ptrdiff_t>(a), valleys.end());
      std::iter_swap(valleys.begin() + static_cast<std::ptrdiff_t>(a), top);
    }
    candidate = valleys[index];
  }
  return static_cast<float>(std::max<int64_t>(candidate, 10));
}

std::optional<GreyMap> plateauMapSAPE(const GreyHistogram& histogram, float psi,
                                      float& prevPlateau) {
  uint32_t total = 0;
  for (const uint32_t bin : histogram) total += bin;
  if (total == 0) return std::nullopt;

  float candidate = sapeCandidate(histogram);
  if (prevPlateau == 0.0f) prevPlateau = candidate;
  if (std::fabs(candidate - prevPlateau) > 50.0f) candidate = std::trunc(prevPlateau);
  const float used = std::trunc((1.0f - psi) * prevPlateau + psi * candidate);
  prevPlateau = candidate;
  return mapFromCutHistogram(histogram, plateauAsCut(used));
}

void equaliseTPE(std::span<uint8_t> image, int32_t plateau) {
  applyMap(image, plateauMapTPE(greyHistogram(image), plateau));
}

void equaliseAPE(std::span<uint8_t> image, float epsilon, float psi, float& prevPlateau) {
  applyMap(image, plateauMapAPE(greyHistogram(image), epsilon, psi, prevPlateau));
}

void equaliseSAPE(std::span<uint8_t> image, float psi, float& prevPlateau) {
  applyMap(image, plateauMapSAPE(greyHistogram(image), psi, prevPlateau));
}

}  // namespace irdex::imaging
