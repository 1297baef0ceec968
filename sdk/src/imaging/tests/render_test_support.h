// Frames, scenes and AGC records shared by the rendering tests.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <vector>

#include "temperature/tests/test_frames.h"

namespace irdex::imaging::test {

using irdex::test::makeFrame;

inline AgcParams agcRecord(int32_t inputMethod, int32_t outputMethod, bool manual = false) {
  AgcParams agc{};
  agc.manual = manual ? 1 : 0;
  agc.inputMethod = inputMethod;
  agc.outputMethod = outputMethod;
  agc.brightnessRate = 0.01f;
  agc.sdRate = 5.0f;
  agc.intercept = 0;
  agc.gamma = 1.0f;
  agc.plateau = 100;
  agc.epsilon = 0.5f;
  agc.psi = 0.3f;
  agc.prevPlateau = 0.0f;
  return agc;
}

// A thermal-looking scene: a slope across the frame, a hot round object, a cold strip and a
// little deterministic noise, with counts from base to base + range.
inline std::vector<uint16_t> syntheticScene(int width, int height, uint16_t base, uint16_t range) {
  std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      double v = 0.25 * x / width + 0.15 * y / height;
      const double dx = x - 0.65 * width;
      const double dy = y - 0.4 * height;
      if (dx * dx + dy * dy < 0.03 * width * width) v = 0.9 + 0.1 * (x % 5) / 5.0;
      if (x < width / 10) v = 0.02;
      v += static_cast<double>((noise >> 16) % 100) / 4000.0;
      if (v > 1.0) v = 1.0;
      pixels[static_cast<size_t>(y) * width + x] = static_cast<uint16_t>(base + v * range);
    }
  }
  return pixels;
}

// A TempMapTable that rises by 0.01 degree per count from -40 degrees.
inline std::vector<float> linearTable() {
  std::vector<float> table(65536);
  for (int i = 0; i < 65536; ++i) table[i] = static_cast<float>(i) * 0.01f - 40.0f;
  return table;
}

}  // namespace irdex::imaging::test
