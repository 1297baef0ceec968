// The drift correction of received KS frames: the camera's temperature offset (tenths of a
// degree, header byte 118) turned into a count offset and added to the image and to the
// camera's own measurement results in the frame's extra row.
#pragma once

#include <cstdint>

#include "temperature/ks_slots.h"

namespace irdex::link {

inline constexpr uint32_t kTrailerLayout1 = 0x56594E02u;
inline constexpr uint32_t kTrailerLayout2 = 0x56594E03u;
// The count offset comes from the calibration (ks::driftShift). Corrects `frame` (width x height
// image, then the extra row) in place.
void applyDriftCorrection(uint8_t* frame, int width, int height, int32_t countOffset,
                          const ks::RangeLimits& limits);

}  // namespace irdex::link
