// Temperatures and false-colour pictures of frames, through the SDK's conversions and the
// analyzer's frame pipeline (AGC, palette), with the measurement parameters a file carries
// or the user overrides.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "view/frame_pipeline.h"

namespace irdexcli {

struct EnvOverrides {
  std::optional<float> emissivity;
  std::optional<float> atmosphericTemp;
  std::optional<float> transmission;
  EnvParams applyTo(EnvParams env) const;
};

// What the conversion needs to know of the frames' camera.
struct FrameFormat {
  uint16_t width = 0;
  uint16_t height = 0;
  CamHeaderBlock header{};
  uint8_t range = 0;
  bool ks() const;
  int32_t cameraType() const;
};

class TemperatureConverter {
 public:
  // KT and first-generation frames need the temperature table of their range beside the
  // program; throws a run error naming it when it cannot be read.
  explicit TemperatureConverter(const FrameFormat& format);
  // width x height degrees Celsius, bit for bit what GetRawToTemp(KS) gives.
  void convert(const IRFrame& frame, EnvParams env, std::vector<float>& out) const;
  const float* table() const { return table_.empty() ? nullptr : table_.data(); }
  // The nominal range of the frames, degrees Celsius (for the level guard of the picture).
  float rangeMin() const { return rangeMin_; }
  float rangeMax() const { return rangeMax_; }

 private:
  FrameFormat format_;
  std::vector<float> table_;
  float rangeMin_ = -20.0f;
  float rangeMax_ = 150.0f;
};

// The thirteen palettes of the palette file, by index.
inline constexpr int32_t kPaletteCount = 13;
inline constexpr int32_t kDefaultPalette = 11;  // "Grey"
const char* paletteName(int32_t index);
// A palette by name (without regard to case) or by index; throws a usage error listing the
// names for anything else.
int32_t parsePalette(const std::string& text);

struct RenderOptions {
  int32_t palette = kDefaultPalette;
  bool invert = false;
  // Without a manual window the AGC chooses it from each frame.
  std::optional<float> level;
  std::optional<float> span;
};

// One composed picture: 32-bit pixels 0xAARRGGBB (bytes B, G, R, A in memory).
struct Picture {
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint32_t> pixels;
  float level = 0;
  float span = 0;
};

class FrameRenderer {
 public:
  // Throws a run error when the palette file beside the program cannot be read.
  FrameRenderer(const FrameFormat& format, const RenderOptions& options,
                const TemperatureConverter& temperatures);
  Picture render(const IRFrame& frame, EnvParams env);

 private:
  FrameFormat format_;
  RenderOptions options_;
  const TemperatureConverter& temperatures_;
  solvane::FramePipeline pipeline_;
  AgcParams agc_{};
  float level_ = 0;
  float span_ = 0;
};

}  // namespace irdexcli
