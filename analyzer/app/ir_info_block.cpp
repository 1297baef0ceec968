#include "app/ir_info_block.h"

#include "bytes/byte_order.h"

#include <algorithm>
#include <cmath>

namespace solvane {
namespace {

// Field offsets of the block: natural alignment, with gaps at 5 and 10..11.
constexpr std::size_t kWidthAt = 0;
constexpr std::size_t kHeightAt = 2;
constexpr std::size_t kAgcAt = 4;
constexpr std::size_t kLevelAt = 6;
constexpr std::size_t kSpanAt = 8;
constexpr std::size_t kAtmTempAt = 12;
constexpr std::size_t kAtmTransAt = 16;
constexpr std::size_t kEmissivityAt = 18;
constexpr std::size_t kRangeAt = 20;
constexpr std::size_t kPaletteAt = 21;
constexpr std::size_t kZoomAt = 22;
constexpr std::size_t kInvertAt = 23;
constexpr std::size_t kMirrorAt = 24;
constexpr std::size_t kFlipAt = 25;
constexpr std::size_t kUnitAt = 26;

// Level and span keep their integer tenths, truncated like the stored zoom.
int16_t tenthsOf(float value) {
  const double tenths = std::trunc(static_cast<double>(value * 10.0f));
  if (std::isnan(tenths)) return 0;
  return static_cast<int16_t>(std::clamp(tenths, -32768.0, 32767.0));
}

}  // namespace

AgcParams agcParamsFrom(const AnalyzerSettings& settings) {
  AgcParams params{};
  params.manual = settings.agcMode;
  params.inputMethod = settings.inputMethod;
  params.outputMethod = settings.outputMethod;
  params.brightnessRate = settings.bRate;
  params.sdRate = settings.sdRate;
  params.intercept = settings.intercept;
  params.gamma = settings.gamma;
  params.plateau = settings.plateau;
  params.epsilon = settings.epsilon;
  params.psi = settings.psi;
  params.prevPlateau = settings.prevPlateau;
  return params;
}

void applyAgcParams(AnalyzerSettings& settings, const AgcParams& params) {
  settings.agcMode = params.manual;
  settings.inputMethod = params.inputMethod;
  settings.outputMethod = params.outputMethod;
  settings.bRate = params.brightnessRate;
  settings.sdRate = params.sdRate;
  settings.intercept = params.intercept;
  settings.gamma = params.gamma;
  settings.plateau = params.plateau;
  settings.epsilon = params.epsilon;
  settings.psi = params.psi;
  settings.prevPlateau = params.prevPlateau;
}

IrInfoBlock buildIrInfoBlock(const AnalyzerSettings& settings, const ImageState& image) {
  IrInfoBlock block{};
  uint8_t* bytes = block.data();
  bytes::writeLe16(bytes + kWidthAt, image.width);
  bytes::writeLe16(bytes + kHeightAt, image.height);
  block[kAgcAt] = static_cast<uint8_t>(settings.agcMode);
  bytes::writeLe16(bytes + kLevelAt, static_cast<uint16_t>(tenthsOf(image.level)));
  bytes::writeLe16(bytes + kSpanAt, static_cast<uint16_t>(tenthsOf(image.span)));
  // The three environment values use the stored rounding, so a snapshot carries exactly
  // the integers the settings would save.
  bytes::writeLe32(bytes + kAtmTempAt,
                   static_cast<uint32_t>(storedFromValue(Storage::Thousandths, settings.atmTemp)));
  bytes::writeLe16(bytes + kAtmTransAt,
                   static_cast<uint16_t>(storedFromValue(Storage::Thousandths, settings.atmTrans)));
  bytes::writeLe16(bytes + kEmissivityAt, static_cast<uint16_t>(storedFromValue(
                                              Storage::Thousandths, settings.emissivity)));
  block[kRangeAt] = static_cast<uint8_t>(settings.dynamicRange);
  block[kPaletteAt] = static_cast<uint8_t>(settings.palette);
  block[kZoomAt] = static_cast<uint8_t>(storedFromValue(Storage::Tenths, settings.zoom));
  block[kInvertAt] = settings.invert ? 1 : 0;
  block[kMirrorAt] = settings.mirror ? 1 : 0;
  block[kFlipAt] = settings.flip ? 1 : 0;
  block[kUnitAt] = static_cast<uint8_t>(settings.tempUnit);
  return block;
}

}  // namespace solvane
