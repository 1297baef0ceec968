#include "imaging/palette.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace irdex::imaging {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// One output pixel per palette entry, built once per call: the pixel loop is then a copy.
// The destination is the caller's bytes with no promise of alignment, hence the memcpy.
template <typename Pixel>
void colourRows(const uint8_t* grey, uint8_t* dest, uint16_t width, uint16_t height,
                const Pixel (&colours)[kPaletteEntries], ColourLayout layout) {
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t sourceRow = layout.flip ? height - 1u - y : y;
    const uint8_t* source = grey + static_cast<size_t>(sourceRow) * width;
    uint8_t* row = dest + static_cast<size_t>(y) * width * sizeof(Pixel);
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t level = layout.mirror ? source[width - 1u - x] : source[x];
      std::memcpy(row + x * sizeof(Pixel), &colours[level], sizeof(Pixel));
    }
  }
}

}  // namespace

std::filesystem::path executableDirectory() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return program.parent_path();
}

SdkStatus loadPalette(const std::filesystem::path& file, std::span<uint8_t, kPaletteBytes> palette,
                      int32_t index, bool inverted) {
  const File stream(std::fopen(file.c_str(), "rb"));
  if (!stream) return SDK_ERR_OPEN_FILE;
  const int64_t offset =
      static_cast<int64_t>(index) * kPaletteRecordBytes + (inverted ? kPaletteBytes : 0);
  // A record before the start of the file cannot be read whole.
  if (offset < 0 || fseeko(stream.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
    return SDK_ERR_BUFFER;
  }
  const size_t read = std::fread(palette.data(), 1, palette.size(), stream.get());
  return read == palette.size() ? SDK_SUCCESS : SDK_ERR_BUFFER;
}

void greyToColour(const uint8_t* grey, void* dest, uint16_t width, uint16_t height,
                  const uint8_t* palette, ColourLayout layout) {
  const auto red = [&](int i) { return static_cast<uint32_t>(palette[3 * i]); };
  const auto green = [&](int i) { return static_cast<uint32_t>(palette[3 * i + 1]); };
  const auto blue = [&](int i) { return static_cast<uint32_t>(palette[3 * i + 2]); };
  switch (layout.bitsPerPixel) {
    case 32: {
      uint32_t colours[kPaletteEntries];
      for (int i = 0; i < kPaletteEntries; ++i) {
        // Stored little-endian as blue, green, red, 0.
        const uint32_t value = red(i) << 16 | green(i) << 8 | blue(i);
        const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                  static_cast<uint8_t>(value >> 16), 0};
        std::memcpy(&colours[i], bytes, sizeof bytes);
      }
      colourRows(grey, static_cast<uint8_t*>(dest), width, height, colours, layout);
      break;
    }
    case 16: {
      uint16_t colours[kPaletteEntries];
      for (int i = 0; i < kPaletteEntries; ++i) {
        const uint16_t value =
            static_cast<uint16_t>((red(i) >> 3) << 11 | (green(i) >> 2) << 5 | (blue(i) >> 3));
        const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
        std::memcpy(&colours[i], bytes, sizeof bytes);
      }
      colourRows(grey, static_cast<uint8_t*>(dest), width, height, colours, layout);
      break;
    }
    case 24: {
      struct Rgb {
        uint8_t bytes[3];
      };
      static_assert(sizeof(Rgb) == 3);
      Rgb colours[kPaletteEntries];
      // The 24-bit layout reads the palette from its far end (grey 0 takes entry 255).
      for (int i = 0; i < kPaletteEntries; ++i) {
        std::memcpy(colours[i].bytes, palette + 3 * (kPaletteEntries - 1 - i), 3);
      }
      colourRows(grey, static_cast<uint8_t*>(dest), width, height, colours, layout);
      break;
    }
    default: break;
  }
}

}  // namespace irdex::imaging
