// The two parameter records the document builds from its settings: the AGC parameter
// record handed to the rendering exports, and the 260-byte IR information block written into
// every radiometric snapshot.
#pragma once

#include "acquisition/camera_facts.h"
#include "app/analyzer_settings.h"

#include <irdex.h>

#include <array>
#include <cstdint>

namespace solvane {

inline constexpr std::size_t kIrInfoBlockSize = 260;
// The bytes filled from the settings; the rest of the block stays zero.
inline constexpr std::size_t kIrInfoFilledBytes = 27;
using IrInfoBlock = std::array<uint8_t, kIrInfoBlockSize>;

AgcParams agcParamsFrom(const AnalyzerSettings& settings);
// Takes the record's fields back into the settings (the record is what the level/span
// controls edit; the settings are what is saved).
void applyAgcParams(AnalyzerSettings& settings, const AgcParams& params);

struct ImageState {
  uint16_t width = kDefaultImageWidth;
  uint16_t height = kDefaultImageHeight;
  float level = 50.0f;
  float span = 10.0f;
};

// The first 27 bytes of the block from the settings and the image state; the rest zero.
IrInfoBlock buildIrInfoBlock(const AnalyzerSettings& settings, const ImageState& image);

}  // namespace solvane
