// The snapshot reader on outside bytes: as they come, and as damage done to a snapshot the
// writer made (so the fuzzer starts deep inside the IR segments instead of at the markers).
#include "snapshot/snapshot.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// A small but complete snapshot of a calibrated camera frame (two pixel segments).
const std::vector<uint8_t>& writerMade() {
  static const std::vector<uint8_t> bytes = [] {
    constexpr uint16_t kWidth = 192, kHeight = 170;
    snapshot::IrData ir;
    ir.info[0] = kWidth & 0xFF;
    ir.info[1] = kWidth >> 8;
    ir.info[2] = kHeight & 0xFF;
    ir.info[3] = kHeight >> 8;
    ir.camHeader[snapshot::kCamHeaderVersionAt] = 33;
    ir.pixels.resize(std::size_t{kWidth} * kHeight);
    for (std::size_t i = 0; i < ir.pixels.size(); ++i) ir.pixels[i] = static_cast<uint16_t>(i * 7);
    std::vector<uint8_t> rgb(std::size_t{kWidth} * kHeight * 3, 0x80);
    const snapshot::Picture picture{kWidth, kHeight, kWidth * 3, snapshot::PixelFormat::Rgb, rgb};
    std::vector<uint8_t> file = snapshot::insertIrSegments(snapshot::encodeJpeg(picture), ir);
    if (file.empty()) std::abort();
    return file;
  }();
  return bytes;
}

void readBoth(std::span<const uint8_t> bytes) {
  const auto everything = snapshot::readSnapshot(bytes);
  if (everything.ok()) {
    // A success must hold a buffer of the announced size.
    const std::size_t rows =
        everything.data.height() +
        (everything.data.headerVersion() >= snapshot::kExtraRowVersion ? 1 : 0);
    if (everything.data.pixels.size() != std::size_t{everything.data.width()} * rows) std::abort();
  }
  snapshot::readSnapshot(bytes, snapshot::ReadMode::InformationOnly);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] % 2 == 0) {
    readBoth({data + 1, size - 1});
    return 0;
  }
  // Damage: each 4-byte group overwrites one byte at a 24-bit offset; a last short group
  // gives the length the file is cut to.
  std::vector<uint8_t> damaged = writerMade();
  std::size_t at = 1;
  for (; at + 4 <= size; at += 4) {
    const std::size_t offset = (std::size_t{data[at]} | (std::size_t{data[at + 1]} << 8) |
                                (std::size_t{data[at + 2]} << 16)) %
                               damaged.size();
    damaged[offset] = data[at + 3];
  }
  if (at + 2 <= size) {
    const std::size_t keep = (std::size_t{data[at]} | (std::size_t{data[at + 1]} << 8)) * 16;
    if (keep < damaged.size()) damaged.resize(keep);
  }
  readBoth(damaged);
  return 0;
}
