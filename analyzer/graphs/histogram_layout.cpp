#include "graphs/histogram_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace solvane::graphs {

std::string histogramXCaption(controls::Unit unit) {
  switch (unit) {
    case controls::Unit::Fahrenheit: return "Temperature (Fahrenheit)";
    case controls::Unit::Kelvin: return "Temperature (Kelvin)";
    case controls::Unit::Celsius: break;
  }
  return "Temperature (Celsius)";
}

std::string_view connectButtonText(bool connected) { return connected ? "Disconnect" : "Connect"; }
std::string_view liveButtonText(bool live) { return live ? "Freeze" : "Live"; }

std::vector<double> binHistogram(std::span<const int32_t> counts, double low, double high,
                                 const std::function<double(uint16_t)>& shownOfCount,
                                 int32_t bins) {
  bins = std::max(bins, 1);
  std::vector<double> percent(static_cast<size_t>(bins), 0.0);
  if (!(high > low) || counts.empty()) return percent;
  std::vector<int64_t> inBin(percent.size(), 0);
  int64_t total = 0;
  const size_t entries = std::min<size_t>(counts.size(), 65536);
  for (size_t raw = 0; raw < entries; ++raw) {
    const int32_t n = counts[raw];
    if (n <= 0) continue;
    total += n;
    const double t = shownOfCount(static_cast<uint16_t>(raw));
    if (!(t >= low && t <= high)) continue;
    const auto bin =
        std::min<int64_t>(static_cast<int64_t>((t - low) / (high - low) * bins), bins - 1);
    inBin[static_cast<size_t>(bin)] += n;
  }
  if (total == 0) return percent;
  for (size_t b = 0; b < percent.size(); ++b)
    percent[b] = 100.0 * static_cast<double>(inBin[b]) / static_cast<double>(total);
  return percent;
}

HistogramLayout layoutHistogram(int32_t clientWidth, int32_t clientHeight,
                                const std::vector<double>& percentPerBin, double low, double high,
                                controls::Unit unit) {
  HistogramLayout layout;
  layout.xCaption = histogramXCaption(unit);
  layout.plot = Box{kPlotLeft, kPlotTop, std::max(clientWidth - kAxisRoomX, 0),
                    std::max(clientHeight - kAxisRoomY, 0)};
  const Box& p = layout.plot;

  // The frequency axis tops out at the next multiple of the step count above the highest bar,
  // so the five steps carry whole percents.
  const double highest =
      percentPerBin.empty() ? 0.0 : *std::max_element(percentPerBin.begin(), percentPerBin.end());
  layout.topPercent = std::clamp(static_cast<int32_t>(std::ceil(highest / kAxisSteps)) * kAxisSteps,
                                 kAxisSteps, 100);

  char text[64];
  for (int32_t i = 0; i <= kAxisSteps; ++i) {
    const double t = low + (high - low) * i / kAxisSteps;
    std::snprintf(text, sizeof text, "%.2f", t);
    layout.xTicks.push_back(Tick{p.x + p.width * i / kAxisSteps, text});
    std::snprintf(text, sizeof text, "%d", layout.topPercent * i / kAxisSteps);
    layout.yTicks.push_back(Tick{p.y + p.height - p.height * i / kAxisSteps, text});
  }

  const auto bins = static_cast<int32_t>(percentPerBin.size());
  for (int32_t b = 0; b < bins && p.width > 0 && p.height > 0; ++b) {
    const double share = std::min(percentPerBin[static_cast<size_t>(b)] / layout.topPercent, 1.0);
    const auto barHeight = static_cast<int32_t>(std::lround(share * p.height));
    if (barHeight <= 0) continue;
    const int32_t left = p.x + p.width * b / bins;
    const int32_t right = p.x + p.width * (b + 1) / bins;
    layout.bars.push_back(
        Box{left, p.y + p.height - barHeight, std::max(right - left, 1), barHeight});
  }
  return layout;
}

}  // namespace solvane::graphs
