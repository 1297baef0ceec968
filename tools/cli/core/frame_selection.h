// Which frames of a stream a conversion takes: "--frames A:B" (first and last, both
// included, counted from 0; either end may be left out) and "--every N".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace irdexcli {

struct FrameRange {
  std::optional<int64_t> first;
  std::optional<int64_t> last;
};

// "A:B", "A:", ":B", ":" or a single frame "A". Throws a usage error for anything else.
FrameRange parseFrameRange(const std::string& text);

// The frame indices, in order. Throws a run error naming the range when it does not lie in
// a file of `frameCount` frames (or is empty), and a usage error for every < 1.
std::vector<int32_t> selectFrames(int32_t frameCount, const FrameRange& range, int64_t every);

}  // namespace irdexcli
