// What the histogram pane draws, worked out without a painter: the plot box inside the client
// area (80 units across and 75 down left for the axes), five equal steps on both axes with their
// labels, the captions by unit, and the bars: the frame's pixels whose temperature lies inside
// the display window, binned across it, as a percentage of all counted pixels.
#pragma once

#include "controls/unit_text.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace solvane::graphs {

inline constexpr int32_t kAxisRoomX = 80;
inline constexpr int32_t kAxisRoomY = 75;
inline constexpr int32_t kPlotLeft = 60;  // of the 80 units across, left of the box
inline constexpr int32_t kPlotTop = 20;   // of the 75 units down, above the box
inline constexpr int32_t kAxisSteps = 5;
inline constexpr uint32_t kHistogramGridColour = 0xAAAAAA;
inline constexpr std::string_view kYCaption = "Frequency (%)";
inline constexpr std::string_view kXCaptionFont = "Times New Roman";
inline constexpr int32_t kXCaptionHeight = 17;
inline constexpr std::string_view kYCaptionFont = "Arial";
inline constexpr int32_t kYCaptionHeight = 14;
inline constexpr int32_t kHistogramBins = 64;

std::string histogramXCaption(controls::Unit unit);
std::string_view connectButtonText(bool connected);
std::string_view liveButtonText(bool live);

struct Box {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};

struct Tick {
  int32_t position;  // x for the temperature axis, y for the frequency axis
  std::string label;
};

struct HistogramLayout {
  Box plot;
  std::vector<Tick> xTicks;  // kAxisSteps + 1, left to right
  std::vector<Tick> yTicks;  // kAxisSteps + 1, bottom to top
  std::vector<Box> bars;     // one per bin with pixels, left to right
  std::string xCaption;
  int32_t topPercent = 0;  // what the top of the frequency axis stands for
};

// Percent of all counted pixels per bin of the window [low, high] (display unit). `counts` has
// an entry per raw count; `shownOfCount` is the temperature of a raw count in the display unit.
std::vector<double> binHistogram(std::span<const int32_t> counts, double low, double high,
                                 const std::function<double(uint16_t)>& shownOfCount,
                                 int32_t bins = kHistogramBins);

HistogramLayout layoutHistogram(int32_t clientWidth, int32_t clientHeight,
                                const std::vector<double>& percentPerBin, double low, double high,
                                controls::Unit unit);

}  // namespace solvane::graphs
