#include "camera/camera_models.h"

namespace camera {

Family familyOf(uint8_t version) {
  if (version < kFirstKtVersion) return Family::FirstGeneration;
  if (version < kFirstKsVersion) return Family::KT;
  return Family::KS;
}

std::optional<CameraModel> modelOf(uint8_t version, uint8_t modelCode, uint8_t sizeCode) {
  const Family family = familyOf(version);
  for (const CameraModel& model : kModels) {
    if (model.modelCode != modelCode) continue;
    switch (family) {
      case Family::FirstGeneration:
        if (modelCode == kModelFirstGeneration && model.sizeCode == sizeCode) return model;
        break;
      case Family::KT:
        if (modelCode == kModelKT) return model;
        break;
      case Family::KS:
        if (modelCode == kModelVA320 || modelCode == kModelVI640) return model;
        break;
    }
  }
  return std::nullopt;
}

std::optional<FrameGeometry> controllerFrameGeometry(uint8_t version, uint8_t modelCode,
                                                     uint8_t sizeCode) {
  switch (familyOf(version)) {
    case Family::KS:
      if (modelCode == kModelVA320) return FrameGeometry{384, 288, 384 * 289, 2};
      if (modelCode == kModelVI640) return FrameGeometry{640, 480, 640 * 481, 3};
      return std::nullopt;
    case Family::KT: return FrameGeometry{640, 480, 640 * 481, 1};
    case Family::FirstGeneration:
      // The first generation is sized by its size code alone; its model code is always 0.
      if (sizeCode != 0) return FrameGeometry{384, 288, 384 * 288, 0};
      return FrameGeometry{320, 240, 320 * 240, 0};
  }
  return std::nullopt;
}

}  // namespace camera
