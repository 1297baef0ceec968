// Frames and KS headers for the temperature tests.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <vector>

#include "records/byte_order.h"

namespace irdex::test {

inline constexpr EnvParams kDefaults{0.95f, 20.0f, 1.0f, 0.0f};
inline constexpr EnvParams kUnity{1.0f, 20.0f, 1.0f, 0.0f};

// A frame record over a pixel buffer the caller keeps alive.
inline IRFrame makeFrame(uint8_t version, uint8_t model, uint8_t rangeIndex,
                         std::vector<uint16_t>* pixels = nullptr) {
  IRFrame frame{};
  frame.header.bytes[IRDEX_HEADER_VERSION] = version;
  frame.header.bytes[IRDEX_HEADER_MODEL] = model;
  frame.header.bytes[IRDEX_HEADER_RANGE_INDEX] = rangeIndex;
  if (pixels) {
    frame.pixels = pixels->data();
    frame.pixelCapacity = static_cast<uint32_t>(pixels->size());
  }
  return frame;
}

// Calibration of the entry-th calibrated range of a KS header, temperatures in tenths.
struct HeaderRange {
  int16_t minTenths, maxTenths;
  uint16_t minCount, maxCount;
};

inline void writeKsCalibration(IRFrame& frame, uint16_t mask,
                               std::initializer_list<HeaderRange> entries) {
  uint8_t* h = frame.header.bytes;
  writeLe16(h + 339, mask);
  int j = 0;
  for (const HeaderRange& e : entries) {
    writeLe16(h + 347 + 4 * j, static_cast<uint16_t>(e.minTenths));
    writeLe16(h + 349 + 4 * j, static_cast<uint16_t>(e.maxTenths));
    writeLe16(h + 355 + 4 * j, e.minCount);
    writeLe16(h + 357 + 4 * j, e.maxCount);
    ++j;
  }
}

// A calibrated KS frame (version 33) of model 0x20 whose range 0 runs from count 2000 at
// -20.0 degrees to count 14000 at 120.0 degrees.
inline IRFrame makeCalibratedFrame(uint8_t model = 0x20, uint8_t rangeIndex = 0) {
  IRFrame frame = makeFrame(33, model, rangeIndex);
  writeKsCalibration(frame, 0b0001, {{-200, 1200, 2000, 14000}});
  return frame;
}

// Holds a frame's slot for the length of a test, whatever the test's outcome.
class SlotHolder {
 public:
  explicit SlotHolder(IRFrame& frame) : frame_(frame) { status_ = CreateIRCamDataKS(&frame_); }
  ~SlotHolder() { CloseIRCamDataKS(&frame_); }
  SlotHolder(const SlotHolder&) = delete;
  SlotHolder& operator=(const SlotHolder&) = delete;
  SdkStatus status() const { return status_; }

 private:
  IRFrame& frame_;
  SdkStatus status_;
};

}  // namespace irdex::test
