// The ten ways of filling a gradient segment between two colours.
#pragma once

#include <array>
#include <string_view>

#include "palette/peg.h"

namespace tessor {

enum class InterpolationMethod : int {
  Linear = 0,
  FlatStart = 1,
  FlatMiddle = 2,
  FlatEnd = 3,
  Cosine = 4,
  HslClockwise = 5,
  HslAntiClockwise = 6,
  HslShortest = 7,
  HslLongest = 8,
  Reverse = 9,
};

inline constexpr int kInterpolationMethodCount = 10;

// The names shown in the method list, in index order.
inline constexpr std::array<std::string_view, kInterpolationMethodCount> kInterpolationNames = {
    "Linear",        "Flat Start",         "Flat Middle",  "Flat End",    "Cosine",
    "HSL Clockwise", "HSL Anti-Clockwise", "HSL Shortest", "HSL Longest", "Reverse"};

constexpr bool isInterpolationIndex(int index) {
  return index >= 0 && index < kInterpolationMethodCount;
}

// The colour at position p of the segment [s, e] whose ends have colours a and b.
ColourRef interpolate(InterpolationMethod method, ColourRef a, ColourRef b, double p, double s,
                      double e);

// Hue, saturation and lightness, each in 0..1 (hexcone model, lightness (max + min) / 2).
struct Hsl {
  double hue = 0, saturation = 0, lightness = 0;
};
Hsl toHsl(ColourRef colour);
ColourRef fromHsl(const Hsl& hsl);

}  // namespace tessor
