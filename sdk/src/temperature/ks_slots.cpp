// The pool of 20 KS calibration slots. Their buffers are allocated once, when the library is
// loaded, and never reallocated: the receiver reads frames straight into them.
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>

#include "records/byte_order.h"
#include "records/camera_generation.h"
#include "temperature/ks_calibration.h"
#include "temperature/ks_smoothing_paths.h"

namespace irdex::ks {

namespace {

// Offsets of the calibration fields in the 512-byte header.
constexpr int kDriftOffsetOffset = 118;
constexpr int kRangeMaskOffset = 339;
constexpr int kMinTempOffset = 347;
constexpr int kMaxTempOffset = 349;
constexpr int kMinCountOffset = 355;
constexpr int kMaxCountOffset = 357;
constexpr int kRangeFieldStride = 4;
constexpr int kInfoOffset = 363;
constexpr int kHeaderTenths = 10;

using camera::kModelVa320;
using camera::kModelVi640;

class SlotPool {
 public:
  SlotPool() {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      receive_[i] = std::make_unique_for_overwrite<uint16_t[]>(kReceiveBufferPixels);
      smoothed_[i] = std::make_unique_for_overwrite<int16_t[]>(kReceiveBufferPixels);
      rowSums_[i] = std::make_unique_for_overwrite<uint32_t[]>(kReceiveBufferPixels);
      receive_[i][0] = 0;
      smoothed_[i][0] = 0;
      rowSums_[i][0] = 0;
      KSCameraData& slot = slots_[i];
      slot.owner = nullptr;
      slot.slotNo = static_cast<uint32_t>(i);
      slot.receiveBuffer = receive_[i].get();
      slot.smoothed = smoothed_[i].get();
      slot.rowSums = rowSums_[i].get();
      slot.rangeMask = 0;
      slot.madeByReceiver = false;
      slot.socket = -1;
    }
  }
  SlotPool(const SlotPool&) = delete;
  SlotPool& operator=(const SlotPool&) = delete;

  // Guards the owner, socket and calibration of every slot: making and releasing slots
  // from the exports and from the receivers' threads.
  std::mutex lock;

  KSCameraData* ownedBy(const IRFrame* frame) {
    for (auto& slot : slots_)
      if (slot.owner == frame) return &slot;
    return nullptr;
  }
  KSCameraData* firstFree() { return ownedBy(nullptr); }
  KSCameraData& at(int index) { return slots_[static_cast<std::size_t>(index)]; }
  std::array<KSCameraData, kSlotCount>& all() { return slots_; }

 private:
  // Each slot carries four 256 KB tables; static storage keeps them out of the heap and
  // untouched until a range is calibrated.
  std::array<KSCameraData, kSlotCount> slots_;
  std::array<std::unique_ptr<uint16_t[]>, kSlotCount> receive_;
  std::array<std::unique_ptr<int16_t[]>, kSlotCount> smoothed_;
  std::array<std::unique_ptr<uint32_t[]>, kSlotCount> rowSums_;
};

SlotPool& pool() {
  static SlotPool instance;
  return instance;
}

// The slots exist before any export can be called.
[[maybe_unused]] const bool kPoolReady = (pool(), true);

void clearRangeHead(KSRangeCal& range) {
  std::memset(range.info, 0, sizeof range.info);
  std::memset(range.reserved, 0, sizeof range.reserved);
  range.minCount = range.maxCount = range.countSpan = 0;
  range.minTemp = range.maxTemp = range.tempSpan = range.slope = 0.0f;
}

void buildRangeTable(KSRangeCal& range) {
  const float below = range.minTemp - 0.1f;
  const float above = range.maxTemp + 0.1f;
  for (int i = 0; i < temperature::kTableEntries; ++i) {
    float value;
    if (i < range.minCount) {
      value = below;
    } else if (i > range.maxCount) {
      value = above;
    } else {
      value = range.minTemp + static_cast<float>(i - range.minCount) * range.slope;
      if (value < range.minTemp) value = range.minTemp;
      if (value > range.maxTemp) value = range.maxTemp;
    }
    range.table[i] = value;
  }
}

// Frees a slot for the next frame (under the lock). The tables stay as they are: a range
// whose mask bit is clear is never read.
void releaseLocked(KSCameraData& slot) {
  slot.owner = nullptr;
  slot.rangeMask = 0;
  slot.madeByReceiver = false;
  slot.socket = -1;
  for (auto& range : slot.ranges) clearRangeHead(range);
}

void detachFrame(IRFrame& frame) {
  frame.ksSlot = kNoSlot;
  frame.ksRangeMask = 0;
  frame.ksCalib = nullptr;
  frame.ksSmoothed = nullptr;
}

SdkStatus remakeLocked(SlotPool& slots, IRFrame& frame, bool byReceiver, int32_t socket) {
  if (KSCameraData* previous = slots.ownedBy(&frame)) releaseLocked(*previous);
  detachFrame(frame);
  if (!camera::isCalibrated(IRFrameVersion(&frame))) return SDK_SUCCESS;

  KSCameraData* slot = slots.firstFree();
  if (!slot) return SDK_ERR_MISSING_VALUE;

  const uint8_t* header = frame.header.bytes;
  slot->rangeMask = readLe16(header + kRangeMaskOffset);
  int entry = 0;
  for (int k = 0; k < kRangeCount; ++k) {
    clearRangeHead(slot->ranges[k]);
    if (slot->rangeMask & (1u << k)) readRangeFromHeader(header, entry++, slot->ranges[k]);
  }
  slot->owner = &frame;
  slot->madeByReceiver = byReceiver;
  slot->socket = socket;

  frame.ksSlot = slot->slotNo;
  frame.ksRangeMask = slot->rangeMask;
  frame.ksCalib = slot;
  frame.ksSmoothed = slot->smoothed;
  return SDK_SUCCESS;
}

// The slot of a frame, if the frame still owns it (under the lock).
KSCameraData* ownedSlotLocked(const IRFrame& frame) {
  KSCameraData* slot = frame.ksCalib;
  return slot && slot->owner == &frame ? slot : nullptr;
}

}  // namespace

KsGeometry geometryOfModel(uint8_t model) {
  if (model == kModelVa320) return {384, 288};
  if (model == kModelVi640) return {640, 480};
  return {};
}

void readRangeFromHeader(const uint8_t* header, int entry, KSRangeCal& range) {
  const int field = kRangeFieldStride * entry;
  std::memcpy(range.info, header + kInfoOffset + kInfoBytes * entry, kInfoBytes);
  range.minCount = readLe16(header + kMinCountOffset + field);
  range.maxCount = readLe16(header + kMaxCountOffset + field);
  range.minTemp = static_cast<float>(readLe16s(header + kMinTempOffset + field)) / kHeaderTenths;
  range.maxTemp = static_cast<float>(readLe16s(header + kMaxTempOffset + field)) / kHeaderTenths;
  range.countSpan = static_cast<uint16_t>(range.maxCount - range.minCount);
  range.tempSpan = range.maxTemp - range.minTemp;
  // A range of a single count has no slope; 0 keeps its one table entry at minTemp instead
  // of spreading a division by zero through the table and the drift correction.
  range.slope = range.countSpan == 0 ? 0.0f : range.tempSpan / static_cast<float>(range.countSpan);
  buildRangeTable(range);
}

const KSRangeCal* calibratedRange(const KSCameraData& slot, int range) {
  if (range < 0 || range >= kRangeCount) return nullptr;
  if (!(slot.rangeMask & (1u << range))) return nullptr;
  return &slot.ranges[range];
}

float calibratedTemp(const KSCameraData& slot, int range, uint16_t count) {
  const KSRangeCal* cal = calibratedRange(slot, range);
  if (!cal) return 0.0f;
  if (count < cal->minCount) return cal->minTemp - 0.1f;
  if (count > cal->maxCount) return cal->maxTemp + 0.1f;
  return cal->table[count];
}

uint16_t calibratedCount(const KSCameraData& slot, int range, float t) {
  const KSRangeCal* cal = calibratedRange(slot, range);
  if (!cal) return 0;
  for (int n = 0; n < temperature::kTableEntries; ++n)
    if (t <= cal->table[n]) return static_cast<uint16_t>(n);
  return cal->maxCount;
}

const KSCameraData* slotOf(const IRFrame& frame) { return frame.ksCalib; }

const uint16_t* smoothedCounts(const KSCameraData& slot) {
  // The buffer holds unsigned means in a signed record field; the same storage is read back
  // as the counts it holds.
  return reinterpret_cast<const uint16_t*>(slot.smoothed);
}

namespace {

// Three-pixel sums along one row, each edge pixel standing in for its missing neighbour.
// Written without a running sum so that the compiler can work on several pixels at once.
void horizontalSums(const uint16_t* __restrict p, std::size_t w, uint32_t* __restrict h) {
  h[0] = 2u * p[0] + p[1];
  for (std::size_t x = 1; x + 1 < w; ++x)
    h[x] = static_cast<uint32_t>(p[x - 1]) + p[x] + static_cast<uint32_t>(p[x + 1]);
  h[w - 1] = p[w - 2] + 2u * p[w - 1];
}

void singleColumnSums(const uint16_t* p, std::size_t, uint32_t* h) { h[0] = 3u * p[0]; }

}  // namespace

uint16_t ninth(uint32_t sum) {
  // Exact for every sum of nine counts: the half keeps a multiple of nine clear of the
  // rounding of 1/9, and the sum is far too small for single precision to lose a unit.
  // Tested against integer division for all of them; written so that the compiler can
  // divide several sums at once.
  return static_cast<uint16_t>(
      static_cast<int32_t>((static_cast<float>(static_cast<int32_t>(sum)) + 0.5f) * (1.0f / 9.0f)));
}

namespace {

// Means of one output row from the sums of three rows (the same row twice at an edge).
void verticalMeans(const uint32_t* up, const uint32_t* mid, const uint32_t* down, std::size_t w,
                   uint16_t* __restrict out) {
  for (std::size_t x = 0; x < w; ++x) out[x] = ninth(up[x] + mid[x] + down[x]);
}

}  // namespace

void smoothImage(CpuLevel level, const uint16_t* pixels, int width, int height, uint32_t* rowSums,
                 uint16_t* out) {
  if (width <= 0 || height <= 0) return;
  const std::size_t w = static_cast<std::size_t>(width);
  using Horizontal = void (*)(const uint16_t*, std::size_t, uint32_t*);
  using Vertical =
      void (*)(const uint32_t*, const uint32_t*, const uint32_t*, std::size_t, uint16_t*);
  Horizontal horizontal = horizontalSums;
  Vertical vertical = verticalMeans;
  // A path the processor cannot run would stop the program on an illegal instruction.
  if (!cpuRuns(level)) level = CpuLevel::Baseline;
#if defined(__x86_64__) || defined(__i386__)
  if (level == CpuLevel::Avx2) {
    horizontal = paths::horizontalSumsAvx2;
    vertical = paths::verticalMeansAvx2;
  } else if (level == CpuLevel::Sse41) {
    horizontal = paths::horizontalSumsSse41;
    vertical = paths::verticalMeansSse41;
  }
#endif
  // A single column is its own left and right neighbour; the row loops need two pixels.
  if (w == 1) horizontal = singleColumnSums;
  // Each output row needs the sums of its own row and of its two neighbours, so three rows
  // of sums, reused in turn, are all the scratch there is: they stay in the nearest cache,
  // where sums for the whole image would stream out to memory and back.
  const auto sumsOf = [&](int y) { return rowSums + w * static_cast<std::size_t>(y % 3); };
  horizontal(pixels, w, sumsOf(0));
  for (int y = 0; y < height; ++y) {
    if (y + 1 < height) horizontal(pixels + w * static_cast<std::size_t>(y + 1), w, sumsOf(y + 1));
    const uint32_t* up = sumsOf(y > 0 ? y - 1 : y);
    const uint32_t* mid = sumsOf(y);
    const uint32_t* down = sumsOf(y + 1 < height ? y + 1 : y);
    vertical(up, mid, down, w, out + w * static_cast<std::size_t>(y));
  }
}

void smoothImage(const uint16_t* pixels, int width, int height, uint32_t* rowSums, uint16_t* out) {
  smoothImage(bestCpuLevel(), pixels, width, height, rowSums, out);
}

SdkStatus remakeSlotForHeader(IRFrame& frame, int32_t socket) {
  SlotPool& slots = pool();
  std::lock_guard guard(slots.lock);
  return remakeLocked(slots, frame, true, socket);
}

SdkStatus makeSlot(IRFrame& frame) {
  SlotPool& slots = pool();
  std::lock_guard guard(slots.lock);
  return remakeLocked(slots, frame, false, -1);
}

void releaseSlotOfFrame(IRFrame& frame) {
  SlotPool& slots = pool();
  std::lock_guard guard(slots.lock);
  if (KSCameraData* slot = slots.ownedBy(&frame)) {
    releaseLocked(*slot);
    detachFrame(frame);
  }
}

void releaseSlotsOfSocket(int32_t socket) {
  SlotPool& slots = pool();
  std::lock_guard guard(slots.lock);
  for (auto& slot : slots.all())
    if (slot.owner && slot.madeByReceiver && slot.socket == socket) releaseLocked(slot);
}

uint16_t* receiveBuffer(const IRFrame& frame) {
  SlotPool& slots = pool();
  std::lock_guard guard(slots.lock);
  KSCameraData* slot = ownedSlotLocked(frame);
  return slot ? slot->receiveBuffer : nullptr;
}

bool rangeLimits(const IRFrame& frame, int range, RangeLimits& out) {
  SlotPool& slots = pool();
  std::lock_guard guard(slots.lock);
  const KSCameraData* slot = ownedSlotLocked(frame);
  const KSRangeCal* cal = slot ? calibratedRange(*slot, range) : nullptr;
  if (!cal) return false;
  out.minCount = cal->minCount;
  out.maxCount = cal->maxCount;
  out.slope = cal->slope;
  return true;
}

void smoothFrame(const IRFrame& frame, const uint16_t* pixels) {
  KSCameraData* slot = frame.ksCalib;
  const KsGeometry geometry = geometryOfModel(IRFrameModel(&frame));
  if (!slot || !pixels || !geometry.known()) return;
  smoothImage(pixels, geometry.width, geometry.height, slot->rowSums,
              reinterpret_cast<uint16_t*>(slot->smoothed));
}

bool driftShift(const IRFrame& frame, int32_t& shift) {
  RangeLimits limits{};
  if (!rangeLimits(frame, IRFrameRangeIndex(&frame), limits) || limits.slope == 0.0f) return false;
  const float offset = static_cast<float>(readLe16s(frame.header.bytes + kDriftOffsetOffset));
  shift = temperature::truncToInt32(offset * 0.1f / limits.slope);
  return true;
}

const IRFrame* ownerOfSlot(int index) {
  SlotPool& slots = pool();
  std::lock_guard guard(slots.lock);
  return slots.at(index).owner;
}

int freeSlotCount() {
  SlotPool& slots = pool();
  std::lock_guard guard(slots.lock);
  int count = 0;
  for (const auto& slot : slots.all()) count += slot.owner == nullptr ? 1 : 0;
  return count;
}

}  // namespace irdex::ks
