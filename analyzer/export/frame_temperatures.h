// The temperature conversion an export thread runs on its own copy of a KT frame.
#pragma once

#include <irdex.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace solvane::exports {

// What a temperature map needs of a KT (or first-generation) frame, copied so the export
// thread never reads buffers the acquisition thread keeps writing.
struct KtFrameCopy {
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint16_t> pixels;
  std::array<uint8_t, 512> header{};
  std::shared_ptr<const std::vector<float>> table;  // the TempMapTable, 65,536 values
  EnvParams env{0.95f, 20.0f, 1.0f, 0.0f};
};

// GetRawToTemp over the copy: width x height degrees Celsius, empty when the copy is unusable
// or the library refuses it.
std::vector<float> temperaturesOf(const KtFrameCopy& frame);

}  // namespace solvane::exports
