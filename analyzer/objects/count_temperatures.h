// The temperature of every raw count of a frame's conversion under one environment, made
// by the library itself and kept while the conversion stays the same. The analyzer's own
// walks (ellipses, polygons, lines) read one entry per pixel instead of converting each
// pixel again, with results identical to the library's per-pixel conversion.
#pragma once

#include <irdex.h>

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace solvane {

// What the measurement of one frame needs to know about it.
struct MeasurementFrame {
  const IRFrame* frame = nullptr;
  uint16_t width = 0;
  uint16_t height = 0;
  const float* table = nullptr;  // TempMapTable of frames below version 32
  // Raise when the table's contents change at the same address (a range change).
  uint64_t tableRevision = 0;
  EnvParams env{0.95f, 20.0f, 1.0f, 0.0f};  // the global environment
  uint64_t frameNumber = 0;
};

class CountTemperatures {
 public:
  static constexpr size_t kCounts = 65536;
  static constexpr size_t kCapacity = 4;  // the global environment and a few local ones

  // The table for the frame's conversion under `env`; null when the frame cannot be
  // converted (a frame below version 32 without a TempMapTable, a calibrated KS frame
  // without its calibration slot).
  const float* lookup(const MeasurementFrame& frame, const EnvParams& env);
  // Forgets every table (a new connection or file).
  void clear();
  size_t builds() const { return builds_; }

 private:
  struct Key {
    std::array<uint8_t, 512> header{};
    const void* calibration = nullptr;
    const float* table = nullptr;
    uint64_t tableRevision = 0;
    std::array<uint32_t, 4> env{};
    bool operator==(const Key&) const = default;
  };
  struct Entry {
    Key key;
    std::vector<float> temperatures;
    uint64_t lastUse = 0;
  };
  static bool build(const MeasurementFrame& frame, const EnvParams& env, std::vector<float>& out);

  std::vector<Entry> entries_;
  uint64_t uses_ = 0;
  size_t builds_ = 0;
};

}  // namespace solvane
