// Snapshots for the report program's tests: real files from the shared writer, and
// hand-made byte runs for the reader's refusals.
#pragma once

#include "snapshot/snapshot.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pagana::testing {

struct SnapshotValues {
  int16_t levelTenths = 253;
  int16_t spanTenths = 120;
  int32_t atmTempThousandths = 21500;
  uint16_t transmissionThousandths = 980;
  uint16_t emissivityThousandths = 950;
};

inline void putLe(snapshot::InfoBlock& block, std::size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) block[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The information block as the analyzer writes it: naturally aligned fields.
inline snapshot::IrData irDataWith(const SnapshotValues& v, uint16_t width = 320,
                                   uint16_t height = 240) {
  snapshot::IrData data;
  putLe(data.info, 0, width, 2);
  putLe(data.info, 2, height, 2);
  putLe(data.info, 6, static_cast<uint16_t>(v.levelTenths), 2);
  putLe(data.info, 8, static_cast<uint16_t>(v.spanTenths), 2);
  putLe(data.info, 12, static_cast<uint32_t>(v.atmTempThousandths), 4);
  putLe(data.info, 16, v.transmissionThousandths, 2);
  putLe(data.info, 18, v.emissivityThousandths, 2);
  data.camHeader[snapshot::kCamHeaderVersionAt] = 17;
  data.pixels.assign(std::size_t{width} * height, 0);
  for (std::size_t i = 0; i < data.pixels.size(); ++i) data.pixels[i] = static_cast<uint16_t>(i);
  return data;
}

// Writes a radiometric snapshot with a simple gradient picture; false when writing failed.
inline bool writeSnapshot(const std::filesystem::path& path, const SnapshotValues& values = {}) {
  const int width = 320, height = 240;
  std::vector<uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
      p[0] = static_cast<uint8_t>(x * 255 / width);
      p[1] = static_cast<uint8_t>(64);
      p[2] = static_cast<uint8_t>(255 - y * 255 / height);
    }
  }
  const snapshot::Picture picture{width, height, width * 3, snapshot::PixelFormat::Rgb, rgb};
  const snapshot::IrData ir = irDataWith(values);
  const snapshot::WriteResult result = snapshot::writeSnapshotFile(path, picture, &ir);
  return result.ok() && result.irInserted;
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Hand-made byte runs: a start of image and an APP0 segment, then what a case appends.
inline std::vector<uint8_t> startOfImage() {
  std::vector<uint8_t> file;
  file.reserve(8192);
  file.push_back(0xFF);
  file.push_back(0xD8);
  return file;
}

inline void appendApp0(std::vector<uint8_t>& file) {
  const uint8_t app0[] = {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
  file.insert(file.end(), std::begin(app0), std::end(app0));
}

inline void appendSegmentHead(std::vector<uint8_t>& file, uint8_t marker, uint16_t length) {
  file.push_back(0xFF);
  file.push_back(marker);
  file.push_back(static_cast<uint8_t>(length >> 8));
  file.push_back(static_cast<uint8_t>(length));
}

inline std::vector<uint8_t> irSegmentHeader(uint8_t kind, char s0 = 'K', char s1 = 'T') {
  std::vector<uint8_t> header(32, 0);
  header[0] = static_cast<uint8_t>(s0);
  header[1] = static_cast<uint8_t>(s1);
  header[2] = 0x20;
  header[4] = kind;
  header[5] = 1;
  header[6] = 1;
  return header;
}

// A whole IR segment of the given kind with a payload of `payloadBytes` bytes; for the
// information kind the payload starts with the block of `values`.
inline void appendIrSegment(std::vector<uint8_t>& file, uint8_t kind, std::size_t payloadBytes,
                            const SnapshotValues& values = {}) {
  appendSegmentHead(file, 0xE1, static_cast<uint16_t>(payloadBytes + 34));
  const std::vector<uint8_t> header = irSegmentHeader(kind);
  file.insert(file.end(), header.begin(), header.end());
  std::vector<uint8_t> payload(payloadBytes, 0);
  if (kind == 0) {
    const snapshot::IrData data = irDataWith(values);
    std::copy_n(data.info.begin(), std::min(payload.size(), data.info.size()), payload.begin());
    if (payload.size() >= 772) payload[260 + snapshot::kCamHeaderVersionAt] = 17;
  }
  file.insert(file.end(), payload.begin(), payload.end());
}

inline void appendEndOfImage(std::vector<uint8_t>& file) {
  file.push_back(0xFF);
  file.push_back(0xD9);
}

}  // namespace pagana::testing
