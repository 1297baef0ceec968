// The three isotherm bands: what the view paints (limits in Celsius) and the editing rules of
// their limits (tenths of the display unit, kept in the order below < interval lower < interval
// upper < above inside the temperature range of the current image).
#pragma once

#include "controls/refusal.h"
#include "controls/unit_text.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace solvane::controls {

// Bands in the order they are painted.
enum class IsothermBand { Interval = 0, Above = 1, Below = 2 };
inline constexpr std::array<IsothermBand, 3> kIsothermBands = {
    IsothermBand::Interval, IsothermBand::Above, IsothermBand::Below};

// Limits in ascending order.
enum class IsothermLimit { Below = 0, IntervalLower = 1, IntervalUpper = 2, Above = 3 };

// Menu texts of the editor and of the band switches.
inline constexpr std::string_view kIsothermEditorMenu = "&Isotherm editor";
std::string_view isothermMenuText(IsothermBand band);

struct IsothermSettings {
  std::array<bool, 3> enabled{false, false, false};              // by IsothermBand
  std::array<uint32_t, 3> colour{0x00FF00, 0xFF0000, 0x0000FF};  // 0xRRGGBB by IsothermBand
  // Degrees Celsius, by IsothermLimit.
  std::array<float, 4> limit{10.0f, 20.0f, 30.0f, 40.0f};

  bool isEnabled(IsothermBand band) const { return enabled[static_cast<size_t>(band)]; }
  uint32_t colourOf(IsothermBand band) const { return colour[static_cast<size_t>(band)]; }
  float limitOf(IsothermLimit which) const { return limit[static_cast<size_t>(which)]; }
};

// Spin range of every limit, tenths.
inline constexpr int32_t kIsothermSpinLowest = -500;
inline constexpr int32_t kIsothermSpinHighest = 10000;
// How far a limit that broke the order is set from its neighbour, tenths.
inline constexpr int32_t kIsothermRepositionGap = 5;

class IsothermEditor {
 public:
  // The image's temperature range in Celsius bounds every enabled limit.
  IsothermEditor(const IsothermSettings& settings, Unit unit, float rangeLowCelsius,
                 float rangeHighCelsius);

  Unit unit() const { return unit_; }
  int32_t limitTenths(IsothermLimit which) const { return tenths_[index(which)]; }
  bool isEnabled(IsothermBand band) const { return settings_.isEnabled(band); }
  uint32_t colourOf(IsothermBand band) const { return settings_.colourOf(band); }
  int32_t rangeLowTenths() const { return rangeLow_; }
  int32_t rangeHighTenths() const { return rangeHigh_; }

  void setEnabled(IsothermBand band, bool on);
  void setColour(IsothermBand band, uint32_t rgb);
  Refusal step(IsothermLimit which, int32_t delta);
  // Typed limits are rounded to the nearest tenth, halves away from zero.
  Refusal type(IsothermLimit which, std::string_view text);

  // What the view paints, limits back in Celsius.
  IsothermSettings settings() const;

 private:
  static size_t index(IsothermLimit which) { return static_cast<size_t>(which); }
  bool isActive(size_t limitIndex) const;
  Refusal propose(IsothermLimit which, int64_t candidate);
  // Moves limits of the given band (all enabled bands when none) that break the order.
  void reposition(const IsothermBand* moved);
  bool inOrder() const;
  void spreadEvenly();

  IsothermSettings settings_;
  Unit unit_;
  std::array<int32_t, 4> tenths_{};
  int32_t rangeLow_;
  int32_t rangeHigh_;
};

}  // namespace solvane::controls
