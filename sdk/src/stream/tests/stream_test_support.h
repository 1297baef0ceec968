// Shared helpers of the stream tests: a temporary folder per test, raw file access and
// pixel patterns that differ from frame to frame.
#pragma once

#include <gtest/gtest.h>
#include <irdex.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace stream_test {

class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "irdex-stream-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  static std::vector<uint8_t> readAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void writeAll(const std::string& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  static int64_t sizeOf(const std::string& file) {
    return static_cast<int64_t>(std::filesystem::file_size(file));
  }

  std::filesystem::path folder_;
};

// A frame whose every pixel depends on its position and on the frame's number.
inline std::vector<uint16_t> framePattern(std::size_t count, int frame) {
  std::vector<uint16_t> pixels(count);
  for (std::size_t i = 0; i < count; ++i) {
    pixels[i] = static_cast<uint16_t>(i * 7 + static_cast<std::size_t>(frame) * 4099 + (i >> 9));
  }
  return pixels;
}

inline IRHeader headerOf(uint8_t version, uint16_t width, uint16_t height) {
  IRHeader header{};
  header.version = version;
  header.width = width;
  header.height = height;
  header.emissivity = 0.95f;
  header.atmosphericTemp = 23.5f;
  header.transmission = 0.98f;
  header.reserved = -1.25f;
  return header;
}

inline IRHeaderExt extensionOf(uint8_t cameraVersion, uint8_t model) {
  IRHeaderExt ext{};
  ext.recorder = 7;
  ext.year = 2026;
  ext.month = 12;
  ext.day = 7;
  ext.hour = 21;
  ext.minute = 30;
  ext.second = 59;
  ext.camHeader[4] = cameraVersion;
  ext.camHeader[5] = model;
  for (int i = 8; i < 512; ++i) ext.camHeader[i] = static_cast<uint8_t>(i * 3);
  return ext;
}

inline uint32_t le32(const std::vector<uint8_t>& bytes, std::size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}
inline int64_t le64(const std::vector<uint8_t>& bytes, std::size_t at) {
  return static_cast<int64_t>(le32(bytes, at) | (static_cast<uint64_t>(le32(bytes, at + 4)) << 32));
}

}  // namespace stream_test
