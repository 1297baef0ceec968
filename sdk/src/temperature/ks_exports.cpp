// Exports of the KS family: the calibration slots and the conversions that read them.
#include <irdex.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "records/camera_generation.h"
#include "temperature/conversion.h"
#include "temperature/count_lookup.h"
#include "temperature/image_size.h"
#include "temperature/ks_calibration.h"

namespace irdex::ks {

namespace {

using temperature::Generation;
using temperature::kMissingTemperature;

constexpr int kBuiltInFirstCount = 2000;
constexpr int kBuiltInLastCount = 14000;

float correctUnlessDefault(float t0, const EnvParams& params) {
  return temperature::isDefaultParams(params) ? t0 : temperature::radianceCorrection(t0, params);
}

float builtInPixelTemp(const IRFrame& frame, uint16_t count, const EnvParams& params) {
  return correctUnlessDefault(temperature::builtInTemp(count, IRFrameRangeIndex(&frame)), params);
}

}  // namespace

float calibratedPointTemp(const IRFrame& frame, int width, const EnvParams& params, int x, int y) {
  const KSCameraData* slot = slotOf(frame);
  if (!slot) return kMissingTemperature;
  const int64_t index = static_cast<int64_t>(width) * y + x;
  if (index < 0 || index >= static_cast<int64_t>(kReceiveBufferPixels)) return kMissingTemperature;
  const uint16_t count = smoothedCounts(*slot)[index];
  return correctUnlessDefault(calibratedTemp(*slot, IRFrameRangeIndex(&frame), count), params);
}

namespace {

// Every count's temperature in a calibrated range for the last parameters, kept per thread
// with a copy of the calibration it was made from: frames of one camera share it until the
// parameters or the calibration change, and a pixel then costs one table read.
struct RangeTableCache {
  bool valid = false;
  bool correct = false;
  uint32_t params[3] = {};
  uint16_t minCount = 0, maxCount = 0;
  float below = 0.0f, above = 0.0f;
  std::vector<float> source;
  std::shared_ptr<const std::vector<float>> values;
};
thread_local RangeTableCache lastRangeTable;

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Null when the memory for it cannot be had.
std::shared_ptr<const std::vector<float>> rangeTable(const KSRangeCal& cal,
                                                     const EnvParams& params) {
  RangeTableCache& cache = lastRangeTable;
  const bool correct = !temperature::isDefaultParams(params);
  uint32_t key[3] = {0, 0, 0};
  if (correct) {
    key[0] = bitsOf(params.emissivity);
    key[1] = bitsOf(params.atmosphericTemp);
    key[2] = bitsOf(params.transmission);
  }
  // calibratedTemp's values outside the interval.
  const float below = cal.minTemp - 0.1f;
  const float above = cal.maxTemp + 0.1f;
  const std::size_t first = cal.minCount;
  const std::size_t entries = cal.maxCount >= cal.minCount ? cal.maxCount - cal.minCount + 1u : 0u;
  const bool same =
      cache.valid && cache.correct == correct && std::memcmp(cache.params, key, sizeof key) == 0 &&
      cache.minCount == cal.minCount && cache.maxCount == cal.maxCount &&
      bitsOf(cache.below) == bitsOf(below) && bitsOf(cache.above) == bitsOf(above) &&
      cache.source.size() == entries &&
      std::memcmp(cache.source.data(), cal.table + first, entries * sizeof(float)) == 0;
  if (same) return cache.values;
  cache = RangeTableCache{};
  try {
    auto values = std::make_shared<std::vector<float>>(temperature::kTableEntries);
    // The correction is a pure function of the uncorrected temperature, so runs of equal
    // inputs (the counts outside the interval) are corrected once.
    float lastInput = 0.0f;
    float lastOutput = 0.0f;
    bool haveLast = false;
    for (int n = 0; n < temperature::kTableEntries; ++n) {
      const float t0 = n < cal.minCount ? below : (n > cal.maxCount ? above : cal.table[n]);
      float t = t0;
      if (correct) {
        if (!haveLast || bitsOf(t0) != bitsOf(lastInput)) {
          lastInput = t0;
          lastOutput = temperature::radianceCorrection(t0, params);
          haveLast = true;
        }
        t = lastOutput;
      }
      (*values)[static_cast<std::size_t>(n)] = t;
    }
    cache.source.assign(cal.table + first, cal.table + first + entries);
    cache.values = std::move(values);
  } catch (const std::bad_alloc&) {
    cache = RangeTableCache{};
    return nullptr;
  }
  cache.correct = correct;
  std::memcpy(cache.params, key, sizeof key);
  cache.minCount = cal.minCount;
  cache.maxCount = cal.maxCount;
  cache.below = below;
  cache.above = above;
  cache.valid = true;
  return cache.values;
}

}  // namespace

SdkStatus calibratedImageTemps(const IRFrame& frame, int width, int height, const EnvParams& params,
                               float* out) {
  const KSCameraData* slot = slotOf(frame);
  const int64_t pixels = static_cast<int64_t>(width) * height;
  if (!slot || pixels > static_cast<int64_t>(kReceiveBufferPixels)) return SDK_ERR_MISSING_VALUE;
  const uint16_t* counts = smoothedCounts(*slot);
  const int range = IRFrameRangeIndex(&frame);
  const KSRangeCal* cal = calibratedRange(*slot, range);
  if (cal && pixels >= temperature::kCountTableMinUses) {
    if (const auto table = rangeTable(*cal, params)) {
      temperature::lookUpCounts(counts, pixels, table->data(), out);
      return SDK_SUCCESS;
    }
  }
  for (int64_t k = 0; k < pixels; ++k)
    out[k] = correctUnlessDefault(calibratedTemp(*slot, range, counts[k]), params);
  return SDK_SUCCESS;
}

}  // namespace irdex::ks

using irdex::ks::KSRangeCal;
using irdex::temperature::Generation;
using irdex::temperature::generationOf;
using irdex::temperature::kMissingTemperature;
using irdex::temperature::unpackImageSize;

extern "C" {

IRDEX_API SdkStatus CreateIRCamDataKS(IRFrame* frame) {
  if (!frame) return SDK_ERR_UNSUPPORTED;
  if (!irdex::camera::isCalibrated(IRFrameVersion(frame))) return SDK_SUCCESS;
  return irdex::ks::makeSlot(*frame);
}

// The image size follows from the model; a positive pixel count that cannot hold that image
// is refused rather than read past. Callers that pass no count (0) are still served.
IRDEX_API SdkStatus LoadIRCamDataKS(IRFrame* frame, const uint16_t* pixels, int32_t pixelCount) {
  if (!frame) return SDK_ERR_UNSUPPORTED;
  if (!irdex::camera::isCalibrated(IRFrameVersion(frame))) return SDK_SUCCESS;
  if (!pixels) return SDK_ERR_BUFFER;
  if (!frame->ksCalib) return SDK_ERR_MISSING_VALUE;
  const irdex::ks::KsGeometry image = irdex::ks::geometryOfModel(IRFrameModel(frame));
  if (pixelCount > 0 && static_cast<int64_t>(pixelCount) < int64_t{image.width} * image.height) {
    return SDK_ERR_BUFFER;
  }
  irdex::ks::smoothFrame(*frame, pixels);
  return SDK_SUCCESS;
}

// Frees the frame's slot whatever its header says now: a slot must never outlive the
// frame that holds it, or the pool runs dry.
IRDEX_API SdkStatus CloseIRCamDataKS(IRFrame* frame) {
  if (!frame) return SDK_ERR_UNSUPPORTED;
  irdex::ks::releaseSlotOfFrame(*frame);
  return SDK_SUCCESS;
}

IRDEX_API float ConvertRawToTempKS(const IRFrame* frame, EnvParams params, uint16_t raw) {
  if (!frame) return kMissingTemperature;
  switch (generationOf(IRFrameVersion(frame))) {
    case Generation::kFirst:
    case Generation::kKt: return 0.0f;
    case Generation::kKsBuiltIn: return irdex::ks::builtInPixelTemp(*frame, raw, params);
    case Generation::kKsCalibrated: break;
  }
  const KSCameraData* slot = irdex::ks::slotOf(*frame);
  if (!slot) return kMissingTemperature;
  return irdex::ks::correctUnlessDefault(
      irdex::ks::calibratedTemp(*slot, IRFrameRangeIndex(frame), raw), params);
}

IRDEX_API int32_t ConvertTempToRawKS(const IRFrame* frame, EnvParams params, float temperature) {
  if (!frame) return SDK_ERR_BUFFER;
  const Generation generation = generationOf(IRFrameVersion(frame));
  if (generation == Generation::kFirst || generation == Generation::kKt) return 0;
  const KSCameraData* slot = irdex::ks::slotOf(*frame);
  if (generation == Generation::kKsCalibrated && !slot) return SDK_ERR_BUFFER;

  const float t = irdex::temperature::isDefaultParams(params)
                      ? temperature
                      : irdex::temperature::inverseRadianceCorrection(temperature, params);
  const int range = IRFrameRangeIndex(frame);
  if (generation == Generation::kKsBuiltIn) {
    const float* table = irdex::temperature::builtInTableFor(static_cast<uint8_t>(range));
    for (int i = irdex::ks::kBuiltInFirstCount; i < irdex::ks::kBuiltInLastCount; ++i)
      if (t <= table[i]) return i;
    return irdex::ks::kBuiltInLastCount;
  }
  const KSRangeCal* cal = irdex::ks::calibratedRange(*slot, range);
  if (!cal) return 0;
  if (t < cal->minTemp) return cal->minCount;
  if (t > cal->maxTemp) return cal->maxCount;
  return irdex::ks::calibratedCount(*slot, range, t);
}

IRDEX_API float GetPointTempKS(const IRFrame* frame, uint32_t imageSize, EnvParams params,
                               int32_t x, int32_t y) {
  if (!frame) return kMissingTemperature;
  const auto size = unpackImageSize(imageSize);
  switch (generationOf(IRFrameVersion(frame))) {
    case Generation::kFirst:
    case Generation::kKt: return -1.0f;
    case Generation::kKsBuiltIn:
      if (!frame->pixels) return kMissingTemperature;
      return irdex::ks::builtInPixelTemp(
          *frame, frame->pixels[static_cast<int64_t>(size.width) * y + x], params);
    case Generation::kKsCalibrated: break;
  }
  return irdex::ks::calibratedPointTemp(*frame, size.width, params, x, y);
}

IRDEX_API float GetNeighborPointTempKS(const IRFrame* frame, uint32_t imageSize, EnvParams params,
                                       int32_t x, int32_t y) {
  if (!frame) return kMissingTemperature;
  const auto size = unpackImageSize(imageSize);
  switch (generationOf(IRFrameVersion(frame))) {
    case Generation::kFirst:
    case Generation::kKt: return -1.0f;
    case Generation::kKsBuiltIn:
      if (!frame->pixels) return kMissingTemperature;
      return irdex::ks::builtInPixelTemp(
          *frame,
          irdex::temperature::neighbourhoodMean(frame->pixels, size.width, size.height, x, y),
          params);
    case Generation::kKsCalibrated: break;
  }
  // The smoothed image already holds the 3 x 3 means.
  return irdex::ks::calibratedPointTemp(*frame, size.width, params, x, y);
}

IRDEX_API SdkStatus GetRawToTempKS(const IRFrame* frame, uint32_t imageSize, EnvParams params,
                                   float* out) {
  if (!frame || !out) return SDK_ERR_BUFFER;
  const auto size = unpackImageSize(imageSize);
  switch (generationOf(IRFrameVersion(frame))) {
    case Generation::kFirst:
    case Generation::kKt: return SDK_ERR_INVALID_HANDLE;
    case Generation::kKsBuiltIn: {
      if (size.height == 0) return SDK_SUCCESS;
      if (!frame->pixels) return SDK_ERR_BUFFER;
      irdex::temperature::PixelConverter convert(
          *frame, params, nullptr,
          irdex::temperature::PixelConverter::BuiltInCorrection::kUnlessDefault);
      convert.expectConversions(size.pixels());
      convert.convertAll(frame->pixels, size.pixels(), out);
      return SDK_SUCCESS;
    }
    case Generation::kKsCalibrated: break;
  }
  return irdex::ks::calibratedImageTemps(*frame, size.width, size.height, params, out);
}

IRDEX_API SdkStatus GetTempMapTableKS(const IRFrame* frame, float* dest, int32_t range) {
  if (!frame) return SDK_ERR_MISSING_VALUE;
  if (!dest) return SDK_ERR_BUFFER;
  const Generation generation = generationOf(IRFrameVersion(frame));
  if (generation == Generation::kFirst || generation == Generation::kKt)
    return SDK_ERR_MODEL_MISMATCH;
  constexpr std::size_t kTableBytes = sizeof(float) * irdex::temperature::kTableEntries;
  if (generation == Generation::kKsBuiltIn) {
    if (range != 0 && range != 1) return SDK_ERR_MISSING_VALUE;
    std::memcpy(dest, irdex::temperature::builtInTableFor(static_cast<uint8_t>(range)),
                kTableBytes);
    return SDK_SUCCESS;
  }
  if (range < 0 || range > 2) return SDK_ERR_MISSING_VALUE;
  const KSCameraData* slot = irdex::ks::slotOf(*frame);
  if (!slot) return SDK_ERR_MISSING_VALUE;
  // A range the camera did not calibrate leaves the destination as it was.
  if (const KSRangeCal* cal = irdex::ks::calibratedRange(*slot, range))
    std::memcpy(dest, cal->table, kTableBytes);
  return SDK_SUCCESS;
}

IRDEX_API SdkStatus GetTempRangeValueKS(const IRFrame* frame, int32_t range, int16_t* low,
                                        int16_t* high) {
  if (!frame) return SDK_ERR_MISSING_VALUE;
  const Generation generation = generationOf(IRFrameVersion(frame));
  if (generation == Generation::kFirst || generation == Generation::kKt)
    return SDK_ERR_MISSING_VALUE;
  if (!low || !high) return SDK_ERR_BUFFER;
  if (generation == Generation::kKsBuiltIn) {
    if (range == 0) {
      *low = -20;
      *high = 120;
    } else if (range == 1) {
      *low = 0;
      *high = 650;
    } else {
      return SDK_ERR_MISSING_VALUE;
    }
    return SDK_SUCCESS;
  }
  if (range < 0 || range >= irdex::ks::kRangeCount) return SDK_ERR_MISSING_VALUE;
  const KSCameraData* slot = irdex::ks::slotOf(*frame);
  if (!slot) return SDK_ERR_MISSING_VALUE;
  const KSRangeCal* cal = irdex::ks::calibratedRange(*slot, range);
  *low = cal ? static_cast<int16_t>(irdex::temperature::truncToInt32(cal->minTemp)) : int16_t{0};
  *high = cal ? static_cast<int16_t>(irdex::temperature::truncToInt32(cal->maxTemp)) : int16_t{0};
  return SDK_SUCCESS;
}

}  // extern "C"
