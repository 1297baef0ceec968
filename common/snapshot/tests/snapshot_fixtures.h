// Frames, pictures and hand-made files for the snapshot tests.
#pragma once

#include "snapshot/snapshot.h"

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace snapshot::testing {

inline void putLe16(InfoBlock& block, std::size_t at, uint16_t value) {
  block[at] = static_cast<uint8_t>(value);
  block[at + 1] = static_cast<uint8_t>(value >> 8);
}

// A frame of random counts with random parameter bytes around the size fields.
inline IrData makeIrData(uint16_t width, uint16_t height, uint8_t headerVersion = 17,
                         unsigned seed = 1) {
  std::mt19937 random(seed);
  IrData data;
  for (auto& b : data.info) b = static_cast<uint8_t>(random());
  for (auto& b : data.camHeader) b = static_cast<uint8_t>(random());
  putLe16(data.info, 0, width);
  putLe16(data.info, 2, height);
  data.camHeader[kCamHeaderVersionAt] = headerVersion;
  data.pixels.resize(std::size_t{width} * height);
  for (auto& p : data.pixels) p = static_cast<uint16_t>(random());
  return data;
}

// A smooth RGB picture, something a JPEG encoder can squeeze.
struct OwnedPicture {
  std::vector<uint8_t> bytes;
  Picture picture;
};
inline OwnedPicture makePicture(int width, int height) {
  OwnedPicture owned;
  owned.bytes.resize(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = owned.bytes.data() + (static_cast<std::size_t>(y) * width + x) * 3;
      p[0] = static_cast<uint8_t>(x * 255 / width);
      p[1] = static_cast<uint8_t>(y * 255 / height);
      p[2] = static_cast<uint8_t>((x + y) & 0xFF);
    }
  }
  owned.picture = Picture{width, height, width * 3, PixelFormat::Rgb, owned.bytes};
  return owned;
}

// One APP0 or APP1 segment found by walking a file's markers.
struct Segment {
  uint8_t marker = 0;
  std::size_t length = 0;  // the big-endian length field
  uint8_t kind = 0, count = 0, index = 0;
  std::size_t payloadAt = 0;  // file offset of the payload behind the 32-byte header
};

// Walks the leading APP0/APP1 segments; written apart from the reader on purpose.
inline std::vector<Segment> walkSegments(const std::vector<uint8_t>& file) {
  std::vector<Segment> found;
  std::size_t pos = 2;
  while (pos + 4 <= file.size() && file[pos] == 0xFF &&
         (file[pos + 1] == 0xE0 || file[pos + 1] == 0xE1)) {
    Segment s;
    s.marker = file[pos + 1];
    s.length = (std::size_t{file[pos + 2]} << 8) | file[pos + 3];
    if (s.marker == 0xE1 && pos + 4 + 32 <= file.size()) {
      s.kind = file[pos + 8];
      s.count = file[pos + 9];
      s.index = file[pos + 10];
      s.payloadAt = pos + 4 + 32;
    }
    found.push_back(s);
    pos += 2 + s.length;
  }
  return found;
}

// Builds a file segment by segment, for damaged and foreign layouts.
class FileBuilder {
 public:
  FileBuilder() { bytes_ = {0xFF, 0xD8}; }

  FileBuilder& app0() {
    const uint8_t jfif[] = {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0,
                            1,    1,    0,    0,    1,   0,   1,   0,   0};
    bytes_.insert(bytes_.end(), std::begin(jfif), std::end(jfif));
    return *this;
  }
  // An APP1 segment; `length` replaces the correct length field when given.
  FileBuilder& app1(std::vector<uint8_t> header, const std::vector<uint8_t>& payload,
                    std::optional<std::size_t> length = std::nullopt) {
    header.resize(32, 0);
    const std::size_t len = length.value_or(2 + header.size() + payload.size());
    bytes_.push_back(0xFF);
    bytes_.push_back(0xE1);
    bytes_.push_back(static_cast<uint8_t>(len >> 8));
    bytes_.push_back(static_cast<uint8_t>(len));
    bytes_.insert(bytes_.end(), header.begin(), header.end());
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
  }
  FileBuilder& irSegment(uint8_t kind, uint8_t count, uint8_t index,
                         const std::vector<uint8_t>& payload,
                         std::optional<std::size_t> length = std::nullopt) {
    return app1({'K', 'T', 0x20, 0, kind, count, index}, payload, length);
  }
  FileBuilder& information(uint16_t width, uint16_t height, uint8_t headerVersion = 17) {
    const IrData data = makeIrData(width, height, headerVersion);
    std::vector<uint8_t> payload(data.info.begin(), data.info.end());
    payload.insert(payload.end(), data.camHeader.begin(), data.camHeader.end());
    return irSegment(0, 1, 1, payload);
  }
  FileBuilder& raw(std::vector<uint8_t> more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  FileBuilder& endOfImage() { return raw({0xFF, 0xD9}); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace snapshot::testing
