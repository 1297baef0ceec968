#include "frame_selection.h"

#include "arguments.h"
#include "cli_error.h"

namespace irdexcli {

FrameRange parseFrameRange(const std::string& text) {
  const auto bad = [&] {
    return usageError("--frames wants FIRST:LAST (frames counted from 0), not '" + text + "'");
  };
  const auto endOf = [&](const std::string& part) -> std::optional<int64_t> {
    if (part.empty()) return std::nullopt;
    const auto value = parseInteger(part);
    if (!value || *value < 0) throw bad();
    return value;
  };
  FrameRange range;
  const auto colon = text.find(':');
  if (colon == std::string::npos) {
    if (text.empty()) throw bad();
    range.first = range.last = endOf(text);
    return range;
  }
  if (text.find(':', colon + 1) != std::string::npos) throw bad();
  range.first = endOf(text.substr(0, colon));
  range.last = endOf(text.substr(colon + 1));
  if (range.first && range.last && *range.first > *range.last) throw bad();
  return range;
}

std::vector<int32_t> selectFrames(int32_t frameCount, const FrameRange& range, int64_t every) {
  if (every < 1) throw usageError("--every must be 1 or more");
  if (frameCount <= 0) throw CliError("the file holds no frame");
  const int64_t first = range.first.value_or(0);
  const int64_t last = range.last.value_or(frameCount - 1);
  if (first >= frameCount || last >= frameCount) {
    throw CliError("frames " + std::to_string(first) + ":" + std::to_string(last) +
                   " out of range: the file holds frames 0:" + std::to_string(frameCount - 1));
  }
  std::vector<int32_t> frames;
  for (int64_t k = first; k <= last; k += every) frames.push_back(static_cast<int32_t>(k));
  return frames;
}

}  // namespace irdexcli
