// What a camera header says about the camera: its generation, model, image size, ranges and
// the header bytes the analyzer reads. Versions, model codes and sensor sizes come from the
// programs' shared vocabulary; what only the analyzer reads of them is written here once.
#pragma once

#include <irdex.h>

#include "camera/camera_models.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace solvane {

// Header bytes the analyzer reads besides version, model and range.
namespace header_byte {
inline constexpr size_t kSensorSize = 6;
inline constexpr size_t kTempOffset = 118;
inline constexpr size_t kReducedRate = 128;
inline constexpr size_t kHighRange = 129;
inline constexpr size_t kRangeMask = 339;
inline constexpr size_t kRangeNames = 363;
}  // namespace header_byte

// Camera generations by header version.
enum class Generation {
  First,   // 0..16
  Kt,      // 17..31: KT cameras with the extended header
  Ks,      // 32: KS cameras
  KsRows,  // 33 and above: KS with a range list and one extra row under each frame
};
Generation generationOf(uint8_t headerVersion);
// Frames of these versions carry one row more than the image.
inline bool hasExtraRow(uint8_t headerVersion) {
  return generationOf(headerVersion) == Generation::KsRows;
}

// Model codes of the header's model byte.
inline constexpr uint8_t kModelKtStandard = camera::kModelFirstGeneration;
inline constexpr uint8_t kModelKtLarge = camera::kModelKT;
inline constexpr uint8_t kModelVa320 = camera::kModelVA320;
inline constexpr uint8_t kModelVi640 = camera::kModelVI640;
constexpr bool isKsModel(uint8_t model) { return model == kModelVa320 || model == kModelVi640; }

// The models the analyzer names, by model index (the status bar's model pane): the shared
// models in their order, with the pane's name for each (both first-generation sizes show
// as "RO320").
struct ModelFacts {
  const char* name;
  uint16_t width;
  uint16_t height;
  bool ks;
};
constexpr ModelFacts modelFacts(const char* name, const camera::CameraModel& model) {
  return ModelFacts{name, static_cast<uint16_t>(model.width), static_cast<uint16_t>(model.height),
                    isKsModel(model.modelCode)};
}
inline constexpr std::array kModels{
    modelFacts("RO320", camera::kModels[0]), modelFacts("RO320", camera::kModels[1]),
    modelFacts("RU640", camera::kModels[2]), modelFacts("VA320", camera::kModels[3]),
    modelFacts("VI640", camera::kModels[4]),
};
// The size shown before any camera or file.
inline constexpr uint16_t kDefaultImageWidth = kModels[0].width;
inline constexpr uint16_t kDefaultImageHeight = kModels[0].height;
// The largest frame any known camera sends, its extra row included.
inline constexpr size_t kLargestFramePixels = 640 * 481;

// 0 first generation or KT 17..31 with model 0, 1 KT model 1, 2 KS VA320, 3 KS VI640; -1 for
// a camera the view does not know.
int32_t cameraTypeOf(uint8_t version, uint8_t model);
inline bool isKsCameraType(int32_t type) { return type == 2 || type == 3; }

struct CameraModel {
  uint16_t width = 0;
  uint16_t height = 0;
  int32_t modelIndex = 0;
  bool ks = false;
};
// The resolution, model index and family a header names; nothing for headers the analyzer
// leaves the resolution alone for.
std::optional<CameraModel> cameraModelOf(const CamHeaderBlock& header);

struct RangeEntry {
  int32_t type = 0;  // 0 normal, 1 high, 2 medical
  std::string name;
};
// KS header version 33 and above: one entry per bit of the range mask, bit 0 first.
std::vector<RangeEntry> rangeListOf(const CamHeaderBlock& header);

// The value of setting 0x0503 for a range.
int16_t rangeCommandValue(uint8_t headerVersion, int32_t range);

}  // namespace solvane
