// Paints the enabled isotherm bands over a composed picture: every pixel whose temperature lies
// in a band gets each channel c' = c * 0.5 + v * 0.5 * c / 255 (c the band's channel, v the
// pixel's). The blend is a 256-entry table per band and channel, and band membership is either
// a comparison of an already converted temperature or a lookup by raw count, so no pixel is
// converted to a temperature here.
#pragma once

#include "controls/isotherm_rules.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace solvane::controls {

// One channel of the blend, as the rule states it; the tables are built from it.
uint8_t blendIsothermChannel(uint8_t bandChannel, uint8_t pixelChannel);

class IsothermPainter {
 public:
  explicit IsothermPainter(const IsothermSettings& settings = {});

  void configure(const IsothermSettings& settings);
  const IsothermSettings& settings() const { return settings_; }
  bool anyEnabled() const;
  // Whether a temperature (Celsius) lies in the band: interval lower..upper inclusive, above
  // strictly over its limit, below strictly under its limit.
  bool contains(IsothermBand band, float celsius) const;

  // Pixels are 0xAARRGGBB; alpha is kept. Sizes must match; a mismatch paints nothing.
  bool paintByTemperature(std::span<uint32_t> picture, std::span<const float> celsius) const;

  // The temperature of every raw count under the current conversion; rebuild when the bands,
  // the camera range or the measurement parameters change.
  void mapCounts(const std::function<float(uint16_t)>& celsiusOfCount);
  bool countsMapped() const { return !bandsOfCount_.empty(); }
  bool paintByCount(std::span<uint32_t> picture, std::span<const uint16_t> counts) const;

 private:
  uint32_t blend(uint8_t bandMask, uint32_t pixel) const;
  uint8_t bandMask(float celsius) const;

  IsothermSettings settings_;
  // [band][channel red, green, blue][pixel value]
  std::array<std::array<std::array<uint8_t, 256>, 3>, 3> blend_{};
  std::vector<uint8_t> bandsOfCount_;  // bit b set: band b contains the count
};

}  // namespace solvane::controls
