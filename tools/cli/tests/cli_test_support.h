// What the tool's tests share: a folder of their own, stream files made by the SDK's own
// writer, and the tool run in-process with what it printed.
#pragma once

#include "commands.h"

#include <irdex.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace irdexcli::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "irdex-cli-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Every name in the folder, sorted (hidden working files included).
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
  }

 private:
  std::string path_;
};

// The raw count of pixel i of frame k: a slope across the image that moves with k, inside
// the counts a camera of either family gives.
inline uint16_t rawValue(int32_t k, std::size_t i) {
  return static_cast<uint16_t>(7000 + (i * 7 + static_cast<std::size_t>(k) * 131) % 9000);
}

struct StreamShape {
  int32_t version = 17;  // 17: KT camera header; 32: KS
  uint16_t width = 320;
  uint16_t height = 240;
  int32_t frames = 5;
  int32_t timing = 3333;  // frame k is stored with timing + k (frame 0 with timing)
  uint8_t range = 0;
};

// A stream file written through the SDK, as a recording of the family would be.
inline void writeStreamFile(const std::string& path, const StreamShape& shape) {
  IRHeader header{};
  header.version = static_cast<uint8_t>(shape.version);
  header.width = shape.width;
  header.height = shape.height;
  header.emissivity = 0.9f;
  header.atmosphericTemp = 21.5f;
  header.transmission = 0.8f;
  IRHeaderExt ext{};
  ext.recorder = shape.range;
  ext.year = 2026, ext.month = 3, ext.day = 4, ext.hour = 5, ext.minute = 6, ext.second = 7;
  ext.camHeader[IRDEX_HEADER_VERSION] = static_cast<uint8_t>(shape.version >= 32 ? 32 : 17);
  ext.camHeader[IRDEX_HEADER_MODEL] =
      static_cast<uint8_t>(shape.version >= 32 ? (shape.width == 640 ? 0x21 : 0x20) : 0);
  ext.camHeader[IRDEX_HEADER_RANGE_INDEX] = shape.range;
  IRStreamHandle stream = nullptr;
  ASSERT_EQ(SaveIRHeader(&stream, path.c_str(), &header, &ext), SDK_SUCCESS);
  uint32_t counter = 0;
  const std::size_t image = std::size_t{shape.width} * shape.height;
  std::vector<uint16_t> pixels(image + (shape.version >= 32 ? shape.width : 0));
  for (int32_t k = 0; k < shape.frames; ++k) {
    for (std::size_t i = 0; i < image; ++i) pixels[i] = rawValue(k, i);
    ASSERT_EQ(SetIRImageToStream_v2(stream, pixels.data(), static_cast<int32_t>(image),
                                    shape.timing + k, &counter, shape.version),
              SDK_SUCCESS);
  }
  ASSERT_EQ(CloseIRStream(stream), SDK_SUCCESS);
}

struct ToolRun {
  int status = 0;
  std::string out;
  std::string err;
  // stderr holds exactly one line.
  bool oneErrorLine() const {
    return !err.empty() && err.back() == '\n' && std::count(err.begin(), err.end(), '\n') == 1;
  }
};

inline ToolRun runTool(const std::vector<std::string>& words,
                       const std::atomic<bool>* interrupted = nullptr) {
  std::ostringstream out, err;
  Context context{out, err, interrupted, false};
  ToolRun run;
  run.status = runCli(words, context);
  run.out = out.str();
  run.err = err.str();
  return run;
}

}  // namespace irdexcli::testing
