// The camera facts the programs share: families by header version, the models with their
// sensor sizes, and the geometry of the frames a camera of each kind sends.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace camera {

enum class Family { FirstGeneration, KT, KS };

inline constexpr uint8_t kFirstKtVersion = 17;
inline constexpr uint8_t kFirstKsVersion = 32;
// From this header version on a KS camera carries its own calibration and range list.
inline constexpr uint8_t kFirstCalibratedKsVersion = 33;
// The newest header version the programs understand.
inline constexpr uint8_t kNewestKnownVersion = 33;

Family familyOf(uint8_t version);

struct CameraModel {
  std::string_view name;
  uint8_t modelCode;
  uint8_t sizeCode;  // first generation only: 0 = 320 x 240, 1 = 384 x 288
  int width;
  int height;
  bool extraRow;  // frames carry one row of the camera's own measurements behind the image
};

inline constexpr uint8_t kModelFirstGeneration = 0;
inline constexpr uint8_t kModelKT = 1;
inline constexpr uint8_t kModelVA320 = 0x20;
inline constexpr uint8_t kModelVI640 = 0x21;

inline constexpr std::array<CameraModel, 5> kModels{{
    {"RO320", kModelFirstGeneration, 0, 320, 240, false},
    {"RO384", kModelFirstGeneration, 1, 384, 288, false},
    {"RU640", kModelKT, 0, 640, 480, false},
    {"VA320", kModelVA320, 0, 384, 288, true},
    {"VI640", kModelVI640, 0, 640, 480, true},
}};

// The model a header describes; nothing for a combination no camera has.
std::optional<CameraModel> modelOf(uint8_t version, uint8_t modelCode, uint8_t sizeCode);

// What the controller sizes its buffers by, read from a frame header. The generation code
// tells the family and sensor apart: 0 first generation, 1 KT, 2 VA320, 3 VI640.
struct FrameGeometry {
  int width = 0;
  int height = 0;
  int rawValues = 0;  // 16-bit values of one raw frame as the controller holds it
  int generationCode = 0;
};

// Nothing for a KS header with a model code no program knows.
std::optional<FrameGeometry> controllerFrameGeometry(uint8_t version, uint8_t modelCode,
                                                     uint8_t sizeCode);

}  // namespace camera
