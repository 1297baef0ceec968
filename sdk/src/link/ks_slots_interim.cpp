// Interim KS calibration slot pool for the receiver until the calibration area provides it:
// only the functions of ks_slots.h, simple but complete enough for the receiver's tests.
#include <irdex.h>

#include <memory>
#include <mutex>

#include "records/byte_order.h"
#include "temperature/ks_slots.h"

struct KSCameraData {
  const IRFrame* owner = nullptr;
  int32_t socket = -1;
  uint32_t slotNo = 0;
  uint16_t rangeMask = 0;
  irdex::ks::RangeLimits ranges[4] = {};
  std::unique_ptr<uint16_t[]> received;
  std::unique_ptr<int16_t[]> smoothed;
};

namespace irdex::ks {
namespace {

struct Pool {
  std::mutex lock;  // guards making and releasing slots
  KSCameraData slots[kSlotCount];
};

Pool& pool() {
  static auto* instance = new Pool;
  return *instance;
}

void clear(KSCameraData& slot) {
  slot.owner = nullptr;
  slot.socket = -1;
  slot.rangeMask = 0;
  for (auto& range : slot.ranges) range = {};
}

void fill(KSCameraData& slot, const uint8_t* header) {
  slot.rangeMask = readLe16(header + 339);
  int j = 0;
  for (int k = 0; k < 4; ++k) {
    if (!(slot.rangeMask & (1u << k))) continue;
    const float minTemp = static_cast<float>(readLe16s(header + 347 + 4 * j)) / 10.0f;
    const float maxTemp = static_cast<float>(readLe16s(header + 349 + 4 * j)) / 10.0f;
    RangeLimits& range = slot.ranges[k];
    range.minCount = readLe16(header + 355 + 4 * j);
    range.maxCount = readLe16(header + 357 + 4 * j);
    const uint16_t countSpan = static_cast<uint16_t>(range.maxCount - range.minCount);
    range.slope = (maxTemp - minTemp) / static_cast<float>(countSpan);
    ++j;
  }
}

KSCameraData* slotOf(const IRFrame& frame) { return frame.ksCalib ? frame.ksCalib : nullptr; }

}  // namespace

SdkStatus remakeSlotForHeader(IRFrame& frame, int32_t socket) {
  Pool& p = pool();
  std::lock_guard<std::mutex> guard(p.lock);
  for (KSCameraData& slot : p.slots) {
    if (slot.owner == &frame) clear(slot);
  }
  frame.ksSlot = kNoSlot;
  frame.ksCalib = nullptr;
  frame.ksSmoothed = nullptr;
  if (IRFrameVersion(&frame) <= 32) return SDK_SUCCESS;
  for (uint32_t i = 0; i < kSlotCount; ++i) {
    KSCameraData& slot = p.slots[i];
    if (slot.owner != nullptr) continue;
    if (!slot.received) {
      slot.received = std::make_unique<uint16_t[]>(kReceiveBufferPixels);
      slot.smoothed = std::make_unique<int16_t[]>(kReceiveBufferPixels);
    }
    clear(slot);
    slot.slotNo = i;
    slot.owner = &frame;
    slot.socket = socket;
    fill(slot, frame.header.bytes);
    frame.ksSlot = i;
    frame.ksRangeMask = slot.rangeMask;
    frame.ksCalib = &slot;
    frame.ksSmoothed = slot.smoothed.get();
    return SDK_SUCCESS;
  }
  return SDK_ERR_MISSING_VALUE;
}

void releaseSlotsOfSocket(int32_t socket) {
  Pool& p = pool();
  std::lock_guard<std::mutex> guard(p.lock);
  for (KSCameraData& slot : p.slots) {
    if (slot.owner != nullptr && slot.socket == socket) clear(slot);
  }
}

uint16_t* receiveBuffer(const IRFrame& frame) {
  KSCameraData* slot = slotOf(frame);
  return slot ? slot->received.get() : nullptr;
}

bool rangeLimits(const IRFrame& frame, int range, RangeLimits& out) {
  KSCameraData* slot = slotOf(frame);
  if (slot == nullptr || range < 0 || range >= 4 || !(slot->rangeMask & (1u << range))) {
    return false;
  }
  out = slot->ranges[range];
  return true;
}

void smoothFrame(const IRFrame& frame, const uint16_t* pixels) {
  KSCameraData* slot = slotOf(frame);
  const uint8_t model = IRFrameModel(&frame);
  if (slot == nullptr || pixels == nullptr || (model != 0x20 && model != 0x21)) return;
  const int w = model == 0x20 ? 384 : 640;
  const int h = model == 0x20 ? 288 : 480;
  auto at = [&](int x, int y) {
    x = x < 0 ? 0 : (x >= w ? w - 1 : x);
    y = y < 0 ? 0 : (y >= h ? h - 1 : y);
    return static_cast<uint32_t>(pixels[y * w + x]);
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t sum = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) sum += at(x + dx, y + dy);
      }
      slot->smoothed[y * w + x] = static_cast<int16_t>(sum / 9);
    }
  }
}

}  // namespace irdex::ks
