// How many pixels a frame of the camera has, from its header's version, model and size code.
#pragma once

#include "records/camera_generation.h"

#include <cstdint>
#include <optional>

namespace irdex::link {

using camera::kModelFirstGeneration;
using camera::kModelKt;
inline constexpr uint8_t kModelKs384 = camera::kModelVa320;
inline constexpr uint8_t kModelKs640 = camera::kModelVi640;

struct ImageGeometry {
  int width;
  int height;
};

// Pixels of a type-35 frame (KS frames with their extra row); nothing for a model that does
// not fit the version.
std::optional<uint32_t> framePixels(uint8_t version, uint8_t model, uint8_t sizeCode);

// The image of a KS model without its extra row; nothing for another model.
std::optional<ImageGeometry> ksImageGeometry(uint8_t model);

}  // namespace irdex::link
