#include "export/ui/frame_keeper.h"

#include <algorithm>
#include <cstring>

namespace solvane {

FrameKeeper::FrameKeeper(FramePipeline& pipeline) {
  pipeline.attach(StageSlot::Record, [this](FrameContext& context) { return keep(context); });
}

void FrameKeeper::addListener(Listener listener) {
  std::lock_guard lock(listenersMutex_);
  listeners_.push_back(std::move(listener));
}

std::optional<RawFrameCopy> FrameKeeper::latest() const {
  std::lock_guard lock(mutex_);
  return latest_;
}

void FrameKeeper::clear() {
  std::lock_guard lock(mutex_);
  latest_.reset();
}

bool FrameKeeper::keep(FrameContext& context) {
  {
    std::lock_guard lock(listenersMutex_);
    for (const Listener& listener : listeners_) listener(context);
  }
  const size_t count = static_cast<size_t>(context.width) * context.height;
  if (context.frame.pixels == nullptr || context.frame.pixelCapacity < count) return true;
  std::lock_guard lock(mutex_);
  // The buffers of the previous copy are reused: this runs for every frame.
  if (!latest_) latest_.emplace();
  RawFrameCopy& copy = *latest_;
  copy.width = context.width;
  copy.height = context.height;
  copy.ks = context.camera.ks;
  copy.cameraType = context.camera.cameraType;
  std::memcpy(copy.header.data(), context.frame.header.bytes, copy.header.size());
  copy.pixels.assign(context.frame.pixels, context.frame.pixels + count);
  copy.env = context.input.env;
  return true;
}

}  // namespace solvane
