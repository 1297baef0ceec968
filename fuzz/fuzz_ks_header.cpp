// A camera header is outside bytes: any 512 bytes must make a calibration slot (or refuse
// one) without a fault, and every conversion of the frame must stay inside its buffers.
#include <irdex.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  IRFrame frame{};
  std::memcpy(frame.header.bytes, data + 4, size - 4 < 512 ? size - 4 : 512);
  // The first bytes choose the generation, model and range so every path is reached.
  frame.header.bytes[IRDEX_HEADER_VERSION] = static_cast<uint8_t>(32 + data[0] % 4);
  frame.header.bytes[IRDEX_HEADER_MODEL] = static_cast<uint8_t>(0x20 + data[1] % 3);
  frame.header.bytes[IRDEX_HEADER_RANGE_INDEX] = static_cast<uint8_t>(data[2] % 5);
  const uint16_t width = 384, height = 288;
  // Room for the largest KS frame; the count handed over may claim less.
  std::vector<uint16_t> pixels(static_cast<size_t>(640) * 481);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<uint16_t>(data[i % size] * 257u + i);
  }
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());

  if (CreateIRCamDataKS(&frame) == SDK_SUCCESS) {
    const EnvParams params{0.5f + static_cast<float>(data[3] % 50) / 100.0f, 25.0f, 0.9f, 0.0f};
    const int32_t count = data[3] & 1 ? static_cast<int32_t>(pixels.size()) : width * height;
    LoadIRCamDataKS(&frame, pixels.data(), count);
    const uint32_t size32 = IrdexImageSize(width, height);
    std::vector<float> temps(static_cast<size_t>(width) * height);
    GetRawToTempKS(&frame, size32, params, temps.data());
    GetPointTempKS(&frame, size32, params, data[3] % width, data[2] % height);
    ConvertTempToRawKS(&frame, params, static_cast<float>(static_cast<int8_t>(data[1])) * 3.0f);
    std::vector<float> table(65536);
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
