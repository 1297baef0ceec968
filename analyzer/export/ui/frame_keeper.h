// The raw side of the frame the view shows: the pipeline's composed frame carries pictures
// and temperatures only, while snapshots and recordings need the camera's counts and header.
// One stage at the pipeline's recording place keeps a copy and hands every frame on to the
// features that record it.
#pragma once

#include "view/frame_pipeline.h"

#include <irdex.h>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace solvane {

struct RawFrameCopy {
  uint16_t width = 0;
  uint16_t height = 0;
  bool ks = false;
  int32_t cameraType = 0;
  std::array<uint8_t, 512> header{};
  std::vector<uint16_t> pixels;  // width x height, without the KS extra row
  EnvParams env{};
};

class FrameKeeper {
 public:
  // Runs on the thread that composed the frame, before the copy is taken.
  using Listener = std::function<void(FrameContext&)>;

  // Attaches itself at the pipeline's recording place.
  explicit FrameKeeper(FramePipeline& pipeline);

  void addListener(Listener listener);
  // The frame last composed, or nothing before the first one.
  std::optional<RawFrameCopy> latest() const;
  // A file being opened replaces whatever the camera delivered.
  void clear();

 private:
  bool keep(FrameContext& context);

  std::mutex listenersMutex_;
  std::vector<Listener> listeners_;
  mutable std::mutex mutex_;
  std::optional<RawFrameCopy> latest_;
};

}  // namespace solvane
