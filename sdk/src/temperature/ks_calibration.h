// The KS calibration slot and the conversions that read it. The pool itself lives in
// ks_slots.cpp; ks_slots.h is what the camera receiver sees of it.
#pragma once

#include <irdex.h>

#include <cstdint>

#include "records/cpu_dispatch.h"
#include "temperature/conversion.h"
#include "temperature/ks_slots.h"

namespace irdex::ks {

inline constexpr int kRangeCount = 4;
inline constexpr int kInfoBytes = 10;

// One calibrated range of a slot.
struct KSRangeCal {
  uint8_t info[kInfoBytes];  // carried from the header, read by no conversion
  uint8_t reserved[14];
  uint16_t minCount;
  uint16_t maxCount;
  uint16_t countSpan;
  float minTemp;
  float maxTemp;
  float tempSpan;
  float slope;  // degrees Celsius per count; 0 for a range of one count
  float table[temperature::kTableEntries];
};

// Image geometry of the KS models.
struct KsGeometry {
  int width = 0;
  int height = 0;
  bool known() const { return width > 0; }
};
KsGeometry geometryOfModel(uint8_t model);

// Calibration of one range read from a 512-byte header: the fields of the `entry`-th
// calibrated range (entries count only the ranges whose mask bit is set).
void readRangeFromHeader(const uint8_t* header, int entry, KSRangeCal& range);

// T(range, n): 0 for a range of 4 or above or whose mask bit is clear, 0.1 beyond the
// calibrated interval outside it, the table inside.
float calibratedTemp(const KSCameraData& slot, int range, uint16_t count);
// The first count whose entry is not below `t`, maxCount when none is; 0 for a range that
// is not calibrated.
uint16_t calibratedCount(const KSCameraData& slot, int range, float t);
// The calibration of `range` when it is below 4 and its bit is set, else null.
const KSRangeCal* calibratedRange(const KSCameraData& slot, int range);

// The slot of a frame (null when it holds none) and its smoothed image as counts.
const KSCameraData* slotOf(const IRFrame& frame);
const uint16_t* smoothedCounts(const KSCameraData& slot);

// 3 x 3 mean with clamp-to-edge borders, separable with row sums: `rowSums` holds scratch
// for three rows (width x min(height, 3) values), `out` receives the means as 16-bit counts.
// Runs the fastest path this processor has.
void smoothImage(const uint16_t* pixels, int width, int height, uint32_t* rowSums, uint16_t* out);
// The path of `level` (the baseline where the processor cannot run it), for tests.
void smoothImage(CpuLevel level, const uint16_t* pixels, int width, int height, uint32_t* rowSums,
                 uint16_t* out);
// sum / 9 for any sum of nine 16-bit counts.
uint16_t ninth(uint32_t sum);

// Make or release the slot of a frame outside the receiver (CreateIRCamDataKS,
// CloseIRCamDataKS). Making first gives up a slot the frame already holds.
SdkStatus makeSlot(IRFrame& frame);
void releaseSlotOfFrame(IRFrame& frame);

// Test helpers: the frame that owns slot `index` (read under the lock) and the number of
// slots currently free.
const IRFrame* ownerOfSlot(int index);
int freeSlotCount();

}  // namespace irdex::ks

// The slot itself. Opaque to callers of the C interface.
struct KSCameraData {
  const IRFrame* owner;  // null when free
  uint32_t slotNo;
  uint16_t* receiveBuffer;
  int16_t* smoothed;  // means stored as 16-bit counts (bit patterns of unsigned values)
  uint32_t* rowSums;
  uint16_t rangeMask;
  irdex::ks::KSRangeCal ranges[irdex::ks::kRangeCount];
  // Who made the slot: the receiver of `socket`, or CreateIRCamDataKS.
  bool madeByReceiver;
  int32_t socket;
};

namespace irdex::ks {

// Version 33 and above: the temperature of smoothed pixel (x, y) of a frame of `width`,
// corrected unless the parameters are the defaults. -1000.0 when the frame holds no slot or
// the pixel lies outside the slot's image buffer.
float calibratedPointTemp(const IRFrame& frame, int width, const EnvParams& params, int x, int y);
// Version 33 and above: every smoothed pixel of a width x height image into `out`.
// SDK_ERR_MISSING_VALUE when the frame holds no slot or the image exceeds the slot's buffer.
SdkStatus calibratedImageTemps(const IRFrame& frame, int width, int height, const EnvParams& params,
                               float* out);

}  // namespace irdex::ks
