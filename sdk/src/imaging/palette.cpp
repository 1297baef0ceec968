#include "imaging/palette.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace irdex::imaging {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// One row of pixels from a table of ready-made ones. The destination is the caller's bytes
// with no promise of alignment, hence the memcpy. Deciding the direction once per row leaves
// the pixel loop one load, one table read and one store, like a plain look-up.
template <typename Pixel>
void colourRow(const uint8_t* __restrict source, uint8_t* __restrict row, uint32_t from,
               uint32_t width, const Pixel* __restrict colours, bool mirror) {
  if (mirror) {
    for (uint32_t x = from; x < width; ++x)
      std::memcpy(row + x * sizeof(Pixel), &colours[source[width - 1u - x]], sizeof(Pixel));
  } else {
    for (uint32_t x = from; x < width; ++x)
      std::memcpy(row + x * sizeof(Pixel), &colours[source[x]], sizeof(Pixel));
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Eight 32-bit pixels per gather: the same table entries as the scalar row, copied whole,
// so the bytes cannot differ.
__attribute__((target("avx2"))) void colourRow32Avx2(const uint8_t* source, uint8_t* row,
                                                     uint32_t width, const uint32_t* colours,
                                                     bool mirror) {
  const __m256i reversed = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  uint32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    // Mirrored, output pixels x .. x + 7 come from source[width - 8 - x .. width - 1 - x],
    // last first.
    const __m128i levels =
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + (mirror ? width - 8u - x : x)));
    __m256i index = _mm256_cvtepu8_epi32(levels);
    if (mirror) index = _mm256_permutevar8x32_epi32(index, reversed);
    const __m256i pixels = _mm256_i32gather_epi32(reinterpret_cast<const int*>(colours), index, 4);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + 4u * x), pixels);
  }
  colourRow(source, row, x, width, colours, mirror);
}
#endif

template <typename Pixel>
void colourRows(CpuLevel level, const uint8_t* grey, uint8_t* dest, uint16_t width, uint16_t height,
                const Pixel (&colours)[kPaletteEntries], ColourLayout layout) {
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t sourceRow = layout.flip ? height - 1u - y : y;
    const uint8_t* source = grey + static_cast<size_t>(sourceRow) * width;
    uint8_t* row = dest + static_cast<size_t>(y) * width * sizeof(Pixel);
#if defined(__x86_64__) || defined(__i386__)
    if constexpr (sizeof(Pixel) == 4) {
      if (level == CpuLevel::Avx2) {
        colourRow32Avx2(source, row, width, colours, layout.mirror);
        continue;
      }
    }
#endif
    colourRow<Pixel>(source, row, 0, width, colours, layout.mirror);
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
  greyToColour(bestCpuLevel(), grey, dest, width, height, palette, layout);
}

void greyToColour(CpuLevel level, const uint8_t* grey, void* dest, uint16_t width, uint16_t height,
                  const uint8_t* palette, ColourLayout layout) {
  // A path the processor cannot run would stop the program on an illegal instruction.
  if (!cpuRuns(level)) level = CpuLevel::Baseline;
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
      colourRows(level, grey, static_cast<uint8_t*>(dest), width, height, colours, layout);
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
      colourRows(level, grey, static_cast<uint8_t*>(dest), width, height, colours, layout);
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
      colourRows(level, grey, static_cast<uint8_t*>(dest), width, height, colours, layout);
      break;
    }
    default: break;
  }
}

}  // namespace irdex::imaging
