// The camera vocabulary inside the library: generations by header version and the model
// codes of the header's model byte. The link and the temperature rules ask these instead of
// testing version numbers themselves.
#pragma once

#include <cstdint>

namespace irdex::camera {

// Generations by header version.
enum class Generation {
  kFirst,         // 0..16
  kKt,            // 17..31
  kKsBuiltIn,     // 32: KS with the built-in conversion
  kKsCalibrated,  // 33 and above: KS with per-range calibration and an extra row per frame
};
inline constexpr uint8_t kFirstKtVersion = 17;
inline constexpr uint8_t kFirstKsVersion = 32;
inline constexpr uint8_t kFirstCalibratedVersion = 33;

constexpr Generation generationOf(uint8_t version) {
  if (version < kFirstKtVersion) return Generation::kFirst;
  if (version < kFirstKsVersion) return Generation::kKt;
  if (version < kFirstCalibratedVersion) return Generation::kKsBuiltIn;
  return Generation::kKsCalibrated;
}
constexpr bool isKs(uint8_t version) { return version >= kFirstKsVersion; }
// Frames of these versions carry the per-range calibration the KS slots hold.
constexpr bool isCalibrated(uint8_t version) {
  return generationOf(version) == Generation::kKsCalibrated;
}

// Model codes.
inline constexpr uint8_t kModelFirstGeneration = 0x00;
inline constexpr uint8_t kModelKt = 0x01;
inline constexpr uint8_t kModelVa320 = 0x20;  // KS, 384 x 288
inline constexpr uint8_t kModelVi640 = 0x21;  // KS, 640 x 480
constexpr bool isKsModel(uint8_t model) { return model == kModelVa320 || model == kModelVi640; }

static_assert(generationOf(16) == Generation::kFirst && generationOf(17) == Generation::kKt &&
              generationOf(31) == Generation::kKt && generationOf(32) == Generation::kKsBuiltIn &&
              generationOf(33) == Generation::kKsCalibrated);

}  // namespace irdex::camera
