// What the camera keeps of the uploads the programs send: the two user palettes and the
// firmware image, which arrives in 1,024-byte blocks that must come in order and whose CRC
// is checked once the last block is in.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace irsim {

inline constexpr size_t kPaletteBlockSize = 9228;
inline constexpr size_t kFirmwareBlockSize = 1036;
inline constexpr size_t kFirmwareChunk = 1024;
inline constexpr uint32_t kFirmwareSignature = 0x56594E03;

// NAK reasons for uploads, beside the general ones of wire.h.
inline constexpr int16_t kReasonBadUpload = 3;        // a field no camera can take
inline constexpr int16_t kReasonBlockOutOfOrder = 4;  // not the block the camera waits for
inline constexpr int16_t kReasonImageRejected = 5;    // signature or CRC of the image wrong

struct UploadVerdict {
  bool accept = false;
  int16_t reason = 0;  // NAK reason when not accepted
  std::string note;    // for the command log
};

struct StoredPalette {
  uint8_t slot = 0;
  std::vector<uint8_t> block;    // the 9,228 bytes as received
  std::vector<uint8_t> picture;  // the PNG, as long as its length field says
};

struct FirmwareImage {
  int32_t version = 0;
  uint32_t size = 0;
  uint16_t blockCount = 0;
  std::vector<uint8_t> bytes;  // the reassembled file, `size` bytes
  bool crcMatched = false;
  bool signatureMatched = false;
};

uint32_t crc32(std::span<const uint8_t> bytes);

class Uploads {
 public:
  UploadVerdict acceptPalette(std::span<const uint8_t> block);
  UploadVerdict acceptFirmwareBlock(std::span<const uint8_t> record);

  std::optional<StoredPalette> palette(int slot) const;
  // The last image whose final block arrived (checked, whether accepted or not).
  std::optional<FirmwareImage> firmware() const;
  // Blocks of the image being assembled now (0 when none).
  uint16_t firmwareBlocksPending() const;

 private:
  struct Assembly {
    int32_t version = 0;
    uint32_t size = 0;
    uint16_t blockCount = 0;
    uint16_t received = 0;
    std::vector<uint8_t> bytes;
  };
  UploadVerdict finishImage();

  // Guards everything below: the session thread writes, tests read.
  mutable std::mutex mutex_;
  std::array<std::optional<StoredPalette>, 2> palettes_;
  std::optional<Assembly> assembly_;
  std::optional<FirmwareImage> firmware_;
};

}  // namespace irsim
