// Overlays a host draws over its thermal image: the colour bar with its temperature scale at
// the right edge, and the markers of the coldest and hottest pixels.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace irdex::imaging {

// Layout of the colour bar, in canvas pixels.
inline constexpr int kBarPanelWidth = 80;
inline constexpr int kBarPanelOffset = 130;  // panel left edge = canvas width - this
inline constexpr int kBarLabelBoxHeight = 18;
inline constexpr int kBarMargin = 2 * kBarLabelBoxHeight;  // bar height = canvas height - this
inline constexpr int kStripWidth = 40;
inline constexpr int kScaleColumn = 43;  // scale line, from the panel's left edge
inline constexpr int kBlueStripWidth = 9;

struct Rgb {
  uint8_t red, green, blue;
};
inline constexpr Rgb kPanelBlue{136, 171, 218};

// One tick of the temperature scale: its row, its length to the right of the scale line and,
// for a major tick, its label.
struct ScaleTick {
  int row;
  int length;
  std::optional<int> label;
};

// The ticks of a scale from bottom to top (in display units) over a bar of barHeight rows
// starting at row 18. Empty when no whole degree lies in the window or the window is not a
// usable range of numbers.
std::vector<ScaleTick> scaleTicks(float top, float bottom, int barHeight);

// A canvas cairo can draw into: pixels present, sizes positive, rows of whole 32-bit pixels.
bool isDrawableCanvas(const IrdexCanvas& canvas);

bool drawColorBar(const IrdexCanvas& canvas, std::span<const uint8_t, 768> palette, float level,
                  float span, int32_t unit, bool noBar);

bool drawMinMaxMarkers(const IrdexCanvas& canvas, int minX, int minY, int maxX, int maxY, int size);

// The family fontconfig picks for a requested one ("Arial" finds a metric-compatible face).
std::string resolvedFontFamily(const std::string& requested);

}  // namespace irdex::imaging
