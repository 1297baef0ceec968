// One frame packet (type 35) of the camera: the scene in raw counts and, for KS cameras,
// the extra row with the camera's own measurements.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "camera.h"
#include "conversion.h"
#include "scene.h"

namespace irsim {

// A camera-side measurement region (setting 0x0422).
struct CameraRegion {
  uint8_t mode = 0;  // 0 off, 1 spot, 2 rectangle
  int x = 0, y = 0, w = 0, h = 0;
};

// KS extra row (offsets from its start; layout 2 shifts everything from 108 on by 44):
// u32 mark 0x56594E02 (layout 1) or 0x56594E03 (layout 2), u32 frame counter, then per
// region j = 0..9 the raw minimum and maximum (u16 at 108 + 4j, 110 + 4j), the sum (i32 at
// 152 + 4j) and the pixel count (i32 at 196 + 4j); the whole image's minimum and maximum at
// 148 and 150; the sum and count of a 16 x 16 box at the centre at 192 and 236; the centre
// pixel at 240. KT frames carry the extra row too, zeroed.
std::vector<uint8_t> buildFramePacket(const CameraHeader& header, const Scene& scene,
                                      const RawMapper& mapper,
                                      std::span<const CameraRegion, 10> regions, int trailerLayout,
                                      uint64_t tick);

}  // namespace irsim
