// A camera header is outside bytes: any 512 bytes must make a calibration slot (or refuse
// one) without a fault, and every conversion of the frame must stay inside its buffers.
#include <irdex.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Room for the largest KS frame with its extra row; filled once, not per input.
std::vector<uint16_t>& framePixels() {
  static std::vector<uint16_t> pixels = [] {
    std::vector<uint16_t> ramp(static_cast<size_t>(640) * 481);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    return ramp;
  }();
  return pixels;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  framePixels();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  IRFrame frame{};
  std::memcpy(frame.header.bytes, data + 4, size - 4 < 512 ? size - 4 : 512);
  // The first bytes choose the generation, model and range so every path is reached.
  frame.header.bytes[IRDEX_HEADER_VERSION] = static_cast<uint8_t>(32 + data[0] % 4);
  frame.header.bytes[IRDEX_HEADER_MODEL] = static_cast<uint8_t>(0x20 + data[1] % 3);
  frame.header.bytes[IRDEX_HEADER_RANGE_INDEX] = static_cast<uint8_t>(data[2] % 5);
  std::vector<uint16_t>& pixels = framePixels();
  // The counts the conversions meet: the ramp, with the input's own bytes at the start.
  for (size_t i = 0; i < 256; ++i) pixels[i] = static_cast<uint16_t>(data[i % size] * 257u + i);
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());

  if (CreateIRCamDataKS(&frame) == SDK_SUCCESS) {
    const EnvParams params{0.5f + static_cast<float>(data[3] % 50) / 100.0f, 25.0f, 0.9f, 0.0f};
    // Smoothing works on the model's whole image whatever the header says, so one input in
    // sixteen takes it (with a count that may claim too little); the rest convert the image
    // as it came, which is where the header's calibration is read.
    if ((data[3] & 0x1E) == 0) {
      const int32_t count = data[3] & 1 ? static_cast<int32_t>(pixels.size()) : 16 * 12;
      LoadIRCamDataKS(&frame, pixels.data(), count);
    }
    // A small corner of the image: the calibration code per pixel is the same for all.
    const uint16_t width = static_cast<uint16_t>(1 + data[3] % 16), height = 12;
    const uint32_t size32 = IrdexImageSize(width, height);
    static std::vector<float> temps(static_cast<size_t>(16) * 12);
    GetRawToTempKS(&frame, size32, params, temps.data());
    GetPointTempKS(&frame, size32, params, data[3] % width, data[2] % height);
    ConvertTempToRawKS(&frame, params, static_cast<float>(static_cast<int8_t>(data[1])) * 3.0f);
    static std::vector<float> table(65536);
    for (int range = 0; range < 4; ++range) {
      GetTempMapTableKS(&frame, table.data(), range);
      int16_t low = 0, high = 0;
      GetTempRangeValueKS(&frame, range, &low, &high);
    }
    RoiTempStats stats{};
    int32_t minPos[2] = {}, maxPos[2] = {};  // (x, y) pairs
    GetROITempKS(&frame, size32, params, RoiRect{data[3] % width, 0, width, height}, &stats, minPos,
                 maxPos);
  }
  CloseIRCamDataKS(&frame);
  return 0;
}
