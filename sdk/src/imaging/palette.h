// The delivered palette file and the colouring of grey images.
//
// colormap.bin holds one 1536-byte record per palette: the normal palette, then the
// inverted one, each 256 entries of red, green, blue.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <filesystem>
#include <span>

#include "records/cpu_dispatch.h"

namespace irdex::imaging {

inline constexpr int kPaletteEntries = 256;
inline constexpr int kPaletteBytes = 3 * kPaletteEntries;  // one palette: 768 bytes
inline constexpr int kPaletteRecordBytes = 2 * kPaletteBytes;
inline constexpr const char* kPaletteFileName = "colormap.bin";

// The folder of the running program, where the delivered data files lie.
std::filesystem::path executableDirectory();

// Reads palette `index` (its inverted half when `inverted`) from `file` into `palette`.
// SDK_ERR_OPEN_FILE when the file cannot be opened, SDK_ERR_BUFFER when fewer than 768 bytes
// could be read (the buffer may then be partly filled).
SdkStatus loadPalette(const std::filesystem::path& file, std::span<uint8_t, kPaletteBytes> palette,
                      int32_t index, bool inverted);

struct ColourLayout {
  int bitsPerPixel;  // 16, 24 or 32; anything else writes nothing
  bool mirror;       // each row right to left
  bool flip;         // rows bottom to top
};

// Colours a width x height grey image into `dest` (rows packed, no padding), on the fastest
// path this processor has.
void greyToColour(const uint8_t* grey, void* dest, uint16_t width, uint16_t height,
                  const uint8_t* palette, ColourLayout layout);
// The same on the path of `level` (the baseline where the processor cannot run it), for tests.
void greyToColour(CpuLevel level, const uint8_t* grey, void* dest, uint16_t width, uint16_t height,
                  const uint8_t* palette, ColourLayout layout);

}  // namespace irdex::imaging
