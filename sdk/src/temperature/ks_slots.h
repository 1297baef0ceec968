// The library's pool of 20 KS calibration slots, as the camera receiver uses it. The
// calibration exports (CreateIRCamDataKS and the KS conversions) sit on the same pool.
//
// One library-wide lock guards making and releasing slots; conversions and smoothing do not
// take it (a caller must not convert a frame while its receiver re-makes the slot).
#pragma once

#include <irdex.h>

#include <cstddef>
#include <cstdint>

namespace irdex::ks {

inline constexpr int kSlotCount = 20;
// The slot's frame buffer holds the largest KS frame with its extra row.
inline constexpr uint32_t kReceiveBufferPixels = 1024 * 1024;
// ksSlot of a frame that holds no slot.
inline constexpr uint32_t kNoSlot = 0xFFFFFFFFu;

// The calibration of one range of the slot a frame holds.
struct RangeLimits {
  uint16_t minCount;
  uint16_t maxCount;
  float slope;  // degrees Celsius per count
};

// Receiver, on every header of version above 32: under the lock, releases the slot the frame
// holds, then takes a free slot, fills it from frame.header and remembers the socket whose
// receiver made it. Sets ksSlot, ksRangeMask, ksCalib and ksSmoothed. When no slot is free
// the frame gets ksSlot = kNoSlot, null pointers, and the result is SDK_ERR_MISSING_VALUE.
// Headers of version 32 or below only release the previous slot and return SDK_SUCCESS.
SdkStatus remakeSlotForHeader(IRFrame& frame, int32_t socket);

// CloseConnect: under the lock, releases every slot made for this socket.
void releaseSlotsOfSocket(int32_t socket);

// The slot's frame buffer (kReceiveBufferPixels pixels) into which the receiver reads KS
// frames; null when the frame holds no slot.
uint16_t* receiveBuffer(const IRFrame& frame);

// The calibration of `range` in the frame's slot; false when the frame holds no slot, the
// range is 4 or above, or its mask bit is clear.
bool rangeLimits(const IRFrame& frame, int range, RangeLimits& out);

// Refreshes the slot's 3 x 3 mean image from `pixels` (the LoadIRCamDataKS step). Does
// nothing for a frame without a slot or of a model other than 0x20 and 0x21.
void smoothFrame(const IRFrame& frame, const uint16_t* pixels);

// Drift correction of received KS frames: the count shift of the header's temperature offset
// (tenths of a degree, i16 at byte 118) under the calibration of the frame's range,
// trunc(offset x 0.1 / slope). False when the frame holds no slot, the range is not
// calibrated or its slope is 0 (a range of one count: no shift can be worked out).
bool driftShift(const IRFrame& frame, int32_t& shift);

// Adds the drift shift to `count` counts (as unsigned 16-bit values) and limits each to the
// range's minCount .. maxCount; leaves them untouched when driftShift gives none.
void applyDriftCorrection(const IRFrame& frame, uint16_t* counts, std::size_t count);

}  // namespace irdex::ks
