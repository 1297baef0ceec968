#include "link/frame_size.h"

namespace irdex::link {

std::optional<ImageGeometry> ksImageGeometry(uint8_t model) {
  if (model == kModelKs384) return ImageGeometry{384, 288};
  if (model == kModelKs640) return ImageGeometry{640, 480};
  return std::nullopt;
}

std::optional<uint32_t> framePixels(uint8_t version, uint8_t model, uint8_t sizeCode) {
  const camera::Generation generation = camera::generationOf(version);
  if (camera::isKs(version)) {
    const auto image = ksImageGeometry(model);
    if (!image) return std::nullopt;
    return static_cast<uint32_t>(image->width * (image->height + 1));
  }
  if (generation == camera::Generation::kKt) {
    if (model != kModelKt) return std::nullopt;
    return 640u * 481u;
  }
  if (model != kModelFirstGeneration) return std::nullopt;
  if (sizeCode == 0) return 320u * 240u;
  if (sizeCode == 1) return 384u * 288u;
  return 0u;
}

}  // namespace irdex::link
