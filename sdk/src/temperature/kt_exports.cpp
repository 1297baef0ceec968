// Exports of the raw-to-temperature conversion for every generation, and the nominal ranges.
#include <irdex.h>

#include "temperature/conversion.h"
#include "temperature/image_size.h"
#include "temperature/ks_calibration.h"

using irdex::temperature::Generation;
using irdex::temperature::generationOf;
using irdex::temperature::kMissingTemperature;
using irdex::temperature::PixelConverter;
using irdex::temperature::unpackImageSize;

namespace {

constexpr auto kAlwaysCorrect = PixelConverter::BuiltInCorrection::kAlways;

struct Range {
  int16_t low, high;
};

void writeRange(const Range& range, int16_t* low, int16_t* high) {
  *low = range.low;
  *high = range.high;
}

}  // namespace

extern "C" {

IRDEX_API SdkStatus GetTempRangeValue(int32_t range, int16_t* low, int16_t* high) {
  if (!low || !high) return SDK_ERR_BUFFER;
  if (range == 0) {
    writeRange({-20, 130}, low, high);
  } else if (range == 1) {
    writeRange({0, 650}, low, high);
  } else {
    return SDK_ERR_INVALID_HANDLE;
  }
  return SDK_SUCCESS;
}

IRDEX_API SdkStatus GetCameraTempRangeValue(int32_t cameraType, int32_t range, int16_t* low,
                                            int16_t* high) {
  if (!low || !high) return SDK_ERR_BUFFER;
  switch (cameraType) {
    case 0:
      if (range == 0) {
        writeRange({-20, 120}, low, high);
      } else if (range == 1) {
        writeRange({0, 120}, low, high);
      } else {
        return SDK_ERR_MISSING_VALUE;
      }
      return SDK_SUCCESS;
    case 1:
      if (range != 0 && range != 1) return SDK_ERR_MISSING_VALUE;
      writeRange({0, 650}, low, high);
      return SDK_SUCCESS;
    case 2: return SDK_ERR_INVALID_HANDLE;
    default: return SDK_SUCCESS;
  }
}

IRDEX_API float GetPointTemp(const IRFrame* frame, uint32_t imageSize, const float* table,
                             EnvParams params, int32_t x, int32_t y) {
  if (!frame || !table) return kMissingTemperature;
  const auto size = unpackImageSize(imageSize);
  const Generation generation = generationOf(IRFrameVersion(frame));
  if (generation == Generation::kKsCalibrated)
    return irdex::ks::calibratedPointTemp(*frame, size.width, params, x, y);
  if (!frame->pixels) return generation == Generation::kFirst ? table[0] : kMissingTemperature;
  const PixelConverter convert(*frame, params, table, kAlwaysCorrect);
  return convert(frame->pixels[static_cast<int64_t>(size.width) * y + x]);
}

IRDEX_API float GetNeighborPointTemp(const IRFrame* frame, uint32_t imageSize, const float* table,
                                     EnvParams params, int32_t x, int32_t y) {
  if (!frame || !table) return kMissingTemperature;
  const auto size = unpackImageSize(imageSize);
  if (generationOf(IRFrameVersion(frame)) == Generation::kKsCalibrated)
    return irdex::ks::calibratedPointTemp(*frame, size.width, params, x, y);
  if (!frame->pixels) return kMissingTemperature;
  const PixelConverter convert(*frame, params, table, kAlwaysCorrect);
  return convert(
      irdex::temperature::neighbourhoodMean(frame->pixels, size.width, size.height, x, y));
}

IRDEX_API SdkStatus GetRawToTemp(const IRFrame* frame, uint32_t imageSize, const float* table,
                                 EnvParams params, float* out) {
  if (!frame || !table || !out) return SDK_ERR_BUFFER;
  const auto size = unpackImageSize(imageSize);
  if (generationOf(IRFrameVersion(frame)) == Generation::kKsCalibrated)
    return irdex::ks::calibratedImageTemps(*frame, size.width, size.height, params, out);
  if (size.height == 0) return SDK_SUCCESS;
  if (!frame->pixels) return SDK_ERR_BUFFER;
  PixelConverter convert(*frame, params, table, kAlwaysCorrect);
  convert.expectConversions(size.pixels());
  convert.convertAll(frame->pixels, size.pixels(), out);
  return SDK_SUCCESS;
}

// Neither has a frame, so both follow the first-generation rules.
IRDEX_API float GetIRdataToTemp(uint16_t raw, const float* table, EnvParams params) {
  if (!table) return kMissingTemperature;
  const auto gain = irdex::temperature::gainFor(0, params, table);
  return irdex::temperature::countSpaceTemp(raw, gain, table);
}

IRDEX_API float GetCorrectedTemp(const float* table, EnvParams params, uint16_t raw) {
  return GetIRdataToTemp(raw, table, params);
}

}  // extern "C"
