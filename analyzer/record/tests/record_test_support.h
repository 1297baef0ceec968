// What the recording and playback tests share: a folder of their own and stream files made
// by the SDK's own writer, each frame filled with a value that names it.
#pragma once

#include <irdex.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace solvane::record::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "solvane-record-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

// The value every pixel of frame k carries.
inline uint16_t frameValue(int32_t k) { return static_cast<uint16_t>(1000 + k); }

inline int64_t pixelsPerFrame(int32_t version, int32_t width, int32_t height) {
  return int64_t{width} * height + (version >= 32 ? width : 0);
}

// A stream file of `frames` frames written through the SDK: version 16 and below with the
// plain header, later versions with the extension. Frame k has the timing value
// `timing + k`.
inline void writeStreamFile(const std::string& path, int32_t version, uint16_t width,
                            uint16_t height, int32_t frames, int32_t timing = 3333) {
  IRHeader header{};
  header.version = static_cast<uint8_t>(version);
  header.width = width;
  header.height = height;
  header.emissivity = 0.9f;
  header.atmosphericTemp = 21.5f;
  header.transmission = 0.8f;
  IRHeaderExt ext{};
  ext.recorder = 1;
  ext.camHeader[4] = static_cast<uint8_t>(version >= 32 ? version : 17);
  ext.camHeader[5] = static_cast<uint8_t>(version >= 32 ? (width == 640 ? 0x21 : 0x20) : 1);
  IRStreamHandle stream = nullptr;
  const SdkStatus opened = version <= 16 ? SaveIRImage(&stream, path.c_str(), &header)
                                         : SaveIRHeader(&stream, path.c_str(), &header, &ext);
  ASSERT_EQ(opened, SDK_SUCCESS);
  uint32_t counter = 0;
  std::vector<uint16_t> pixels(static_cast<std::size_t>(pixelsPerFrame(version, width, height)));
  for (int32_t k = 0; k < frames; ++k) {
    std::fill(pixels.begin(), pixels.end(), frameValue(k));
    ASSERT_EQ(
        SetIRImageToStream_v2(stream, pixels.data(), width * height, timing + k, &counter, version),
        SDK_SUCCESS);
  }
  ASSERT_EQ(CloseIRStream(stream), SDK_SUCCESS);
}

}  // namespace solvane::record::testing
