#include "controls/isotherm_painter.h"

namespace solvane::controls {

uint8_t blendIsothermChannel(uint8_t bandChannel, uint8_t pixelChannel) {
  const double c = bandChannel;
  const double v = pixelChannel;
  return static_cast<uint8_t>(c * 0.5 + v * 0.5 * c / 255.0);
}

IsothermPainter::IsothermPainter(const IsothermSettings& settings) { configure(settings); }

void IsothermPainter::configure(const IsothermSettings& settings) {
  settings_ = settings;
  bandsOfCount_.clear();
  for (IsothermBand band : kIsothermBands) {
    const uint32_t rgb = settings.colourOf(band);
    const std::array<uint8_t, 3> channel = {
        static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)};
    auto& tables = blend_[static_cast<size_t>(band)];
    for (size_t ch = 0; ch < 3; ++ch)
      for (int v = 0; v < 256; ++v)
        tables[ch][v] = blendIsothermChannel(channel[ch], static_cast<uint8_t>(v));
  }
}

bool IsothermPainter::anyEnabled() const {
  for (bool on : settings_.enabled)
    if (on) return true;
  return false;
}

bool IsothermPainter::contains(IsothermBand band, float celsius) const {
  switch (band) {
    case IsothermBand::Interval:
      return celsius >= settings_.limitOf(IsothermLimit::IntervalLower) &&
             celsius <= settings_.limitOf(IsothermLimit::IntervalUpper);
    case IsothermBand::Above: return celsius > settings_.limitOf(IsothermLimit::Above);
    case IsothermBand::Below: return celsius < settings_.limitOf(IsothermLimit::Below);
  }
  return false;
}

uint8_t IsothermPainter::bandMask(float celsius) const {
  uint8_t mask = 0;
  for (IsothermBand band : kIsothermBands)
    if (settings_.isEnabled(band) && contains(band, celsius))
      mask |= static_cast<uint8_t>(1u << static_cast<unsigned>(band));
  return mask;
}

uint32_t IsothermPainter::blend(uint8_t mask, uint32_t pixel) const {
  // Bands are applied one after the other, in painting order.
  for (IsothermBand band : kIsothermBands) {
    if (!(mask & (1u << static_cast<unsigned>(band)))) continue;
    const auto& tables = blend_[static_cast<size_t>(band)];
    pixel = (pixel & 0xFF000000u) | uint32_t{tables[0][(pixel >> 16) & 0xFF]} << 16 |
            uint32_t{tables[1][(pixel >> 8) & 0xFF]} << 8 | tables[2][pixel & 0xFF];
  }
  return pixel;
}

bool IsothermPainter::paintByTemperature(std::span<uint32_t> picture,
                                         std::span<const float> celsius) const {
  if (picture.size() != celsius.size()) return false;
  if (!anyEnabled()) return true;
  for (size_t k = 0; k < picture.size(); ++k) {
    const uint8_t mask = bandMask(celsius[k]);
    if (mask) picture[k] = blend(mask, picture[k]);
  }
  return true;
}

void IsothermPainter::mapCounts(const std::function<float(uint16_t)>& celsiusOfCount) {
  bandsOfCount_.assign(65536, 0);
  if (!anyEnabled()) return;
  for (uint32_t count = 0; count < 65536; ++count)
    bandsOfCount_[count] = bandMask(celsiusOfCount(static_cast<uint16_t>(count)));
}

bool IsothermPainter::paintByCount(std::span<uint32_t> picture,
                                   std::span<const uint16_t> counts) const {
  if (picture.size() != counts.size() || bandsOfCount_.empty()) return false;
  if (!anyEnabled()) return true;
  const uint8_t* bands = bandsOfCount_.data();
  for (size_t k = 0; k < picture.size(); ++k) {
    const uint8_t mask = bands[counts[k]];
    if (mask) picture[k] = blend(mask, picture[k]);
  }
  return true;
}

}  // namespace solvane::controls
