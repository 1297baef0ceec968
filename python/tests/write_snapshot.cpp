// Writes a radiometric snapshot through the programs' own snapshot writer, for the Python
// module's tests: a known count pattern under a given camera header.
//
//   irdex_test_write_snapshot OUT.jpg CAMERA_HEADER_FILE WIDTH HEIGHT EMISSIVITY ATMOSPHERE
//                             TRANSMISSION
//
// The counts are 6000 + 7 x column + 3 x row, so a reader that swaps bytes, rows or segments
// gets other numbers.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "snapshot/snapshot.h"

namespace {

void writeLe16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void writeLe32(uint8_t* at, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr,
                 "usage: %s OUT.jpg CAMERA_HEADER_FILE WIDTH HEIGHT EMISSIVITY ATMOSPHERE "
                 "TRANSMISSION\n",
                 argv[0]);
    return 2;
  }
  const int width = std::atoi(argv[3]);
  const int height = std::atoi(argv[4]);
  if (width <= 0 || height <= 0 || width > snapshot::kMaxWidth || height > snapshot::kMaxHeight) {
    std::fprintf(stderr, "a size no camera has\n");
    return 2;
  }
  snapshot::IrData ir;
  std::ifstream headerFile(argv[2], std::ios::binary);
  const std::vector<char> header{std::istreambuf_iterator<char>(headerFile), {}};
  if (header.size() != snapshot::kCamHeaderSize) {
    std::fprintf(stderr, "the camera header file must hold 512 bytes\n");
    return 2;
  }
  std::copy(header.begin(), header.end(), ir.camHeader.begin());
  // The information block's fields the reader decodes (natural alignment).
  writeLe16(ir.info.data() + 0, static_cast<uint16_t>(width));
  writeLe16(ir.info.data() + 2, static_cast<uint16_t>(height));
  writeLe32(ir.info.data() + 12, static_cast<int32_t>(std::atof(argv[6]) * 1000.0));
  writeLe16(ir.info.data() + 16, static_cast<uint16_t>(std::atof(argv[7]) * 1000.0 + 0.5));
  writeLe16(ir.info.data() + 18, static_cast<uint16_t>(std::atof(argv[5]) * 1000.0 + 0.5));

  ir.pixels.resize(static_cast<std::size_t>(width) * height);
  std::vector<uint8_t> grey(ir.pixels.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto count = static_cast<uint16_t>(6000 + 7 * x + 3 * y);
      ir.pixels[static_cast<std::size_t>(y) * width + x] = count;
      grey[static_cast<std::size_t>(y) * width + x] = static_cast<uint8_t>(count >> 4);
    }
  }
  snapshot::Picture picture{width, height, width, snapshot::PixelFormat::Gray, grey};
  const snapshot::WriteResult result = snapshot::writeSnapshotFile(argv[1], picture, &ir);
  if (!result.ok() || !result.irInserted) {
    std::fprintf(stderr, "the snapshot could not be written\n");
    return 1;
  }
  return 0;
}
