// The user palette as the camera takes it: 256 YCbCr entries and a PNG picture of the
// palette in one 9,228-byte record.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "palette/gradient.h"

namespace tessor {

inline constexpr size_t kPaletteRecordSize = 9228;
inline constexpr size_t kPaletteSlotOffset = 7;
inline constexpr size_t kPaletteEntriesOffset = 8;
inline constexpr size_t kPaletteEntryCount = 256;
inline constexpr size_t kPalettePictureLengthOffset = 1032;
inline constexpr size_t kPalettePictureOffset = 1036;
inline constexpr size_t kPalettePictureCapacity = 8192;
inline constexpr const char* kPalettePictureName = "user_pal.png";

// The two upload slots and where the KT "Video" page's palette list offers them.
inline constexpr int kUserPaletteSlots = 2;
inline constexpr int kFirstUserPaletteListIndex = 8;
inline constexpr const char* kSlotNames[kUserPaletteSlots] = {"User palette 1", "User palette 2"};

inline constexpr const char* kPaletteSentText = "Sended user palette!!!";
inline constexpr const char* kPaletteSentCaption = "Message";
inline constexpr const char* kPaletteFailedText = "Failed to send user palette!!!";
inline constexpr const char* kPaletteFailedCaption = "Warning Message";

using PaletteRecord = std::array<uint8_t, kPaletteRecordSize>;

// One palette entry: the bytes Cb, Y, 0, Cr of a colour.
std::array<uint8_t, 4> yCbCrEntry(uint8_t red, uint8_t green, uint8_t blue);

// `entries` are 256 colours as blue, green, red triples (as CGradient::makeEntries gives).
// Colour 0 is not sent: entry 255 - i holds colour i for i >= 2, entries 254 and 255 colour 1.
// Fails (returns false) when the picture does not fit its field; it is never cut.
bool buildPaletteRecord(std::span<const uint8_t> entries, int slot, std::span<const uint8_t> png,
                        PaletteRecord& record, std::string* error);

// A 1 x 256 RGB picture whose row i has colour i, compressed as hard as libpng can.
bool writePalettePng(const std::string& path, std::span<const uint8_t> entries, std::string* error);

struct PaletteUpload {
  bool ok = false;
  std::string error;
  // Why the record carries no picture (length 0), when it does not.
  std::string pictureError;
  PaletteRecord record{};
  size_t pictureBytes = 0;
};

// Steps before the send: the 256 entries, the picture (through a private temporary folder
// that is removed again) and the record for `slot`. A picture that cannot be made whole is
// left out (length 0) and "File could not be opened" goes to standard output.
PaletteUpload preparePaletteUpload(const CGradient& gradient, int slot);

}  // namespace tessor
