#include "view/temperature_source.h"

namespace solvane {
namespace {

class KsCalibration final : public TemperatureSource {
 public:
  SdkStatus mapToGrey(uint8_t* grey, const IRFrame& frame, int32_t count, const float*,
                      EnvParams env, float* level, float* span, AgcParams* agc) const override {
    return GetCorrectedImageKS(grey, &frame, count, env, level, span, agc);
  }
  SdkStatus regionStatistics(const IRFrame& frame, uint32_t size, const float*, EnvParams env,
                             RoiRect region, RoiTempStats* stats, int32_t* minPos,
                             int32_t* maxPos) const override {
    return GetROITempKS(&frame, size, env, region, stats, minPos, maxPos);
  }
  bool temperatures(const IRFrame& frame, uint32_t size, const float*, EnvParams env,
                    float* out) const override {
    GetRawToTempKS(&frame, size, env, out);
    return true;
  }
};

class RangeTable final : public TemperatureSource {
 public:
  SdkStatus mapToGrey(uint8_t* grey, const IRFrame& frame, int32_t count, const float* table,
                      EnvParams env, float* level, float* span, AgcParams* agc) const override {
    return GetCorrectedImage(grey, &frame, count, table, env, level, span, agc);
  }
  SdkStatus regionStatistics(const IRFrame& frame, uint32_t size, const float* table, EnvParams env,
                             RoiRect region, RoiTempStats* stats, int32_t* minPos,
                             int32_t* maxPos) const override {
    return GetROITemp(&frame, size, table, env, region, stats, minPos, maxPos);
  }
  bool temperatures(const IRFrame& frame, uint32_t size, const float* table, EnvParams env,
                    float* out) const override {
    if (!table) return false;
    GetRawToTemp(&frame, size, table, env, out);
    return true;
  }
};

}  // namespace

std::unique_ptr<TemperatureSource> temperatureSourceFor(bool ks) {
  if (ks) return std::make_unique<KsCalibration>();
  return std::make_unique<RangeTable>();
}

}  // namespace solvane
