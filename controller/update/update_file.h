// The firmware update file: a signed, CRC-checked header and the image, read whole and
// padded to the 1,024-byte blocks it travels in.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessor {

inline constexpr uint32_t kUpdateFileSignature = 0x56594E03;
inline constexpr size_t kUpdateHeaderSize = 12;
inline constexpr size_t kUpdateBlockSize = 1024;
// The block count and number travel as 16-bit values.
inline constexpr size_t kMostUpdateBlocks = 0xFFFF;

inline constexpr const char* kUpdateFileFilter = "Update Files (*.bin *.udf);;All Files (*)";
inline constexpr const char* kOpenFailedText = "Failed to open a firmware file!";
inline constexpr const char* kCrcErrorText = "File CRC error!!";
inline constexpr const char* kWarningCaption = "Warining";

// CRC-32 of IEEE 802.3: reflected polynomial 0xEDB88320, start 0xFFFFFFFF, final complement.
uint32_t crc32Ieee(std::span<const uint8_t> bytes);

struct UpdateFile {
  std::string title;  // the file's name without its folder and extension
  uint32_t signature = 0;
  uint32_t storedCrc = 0;
  uint32_t computedCrc = 0;
  int32_t version = 0;
  uint32_t fileSize = 0;
  uint16_t blockCount = 0;
  std::vector<uint8_t> buffer;  // the whole file, zero-padded to blockCount blocks

  bool signatureMatches() const { return signature == kUpdateFileSignature; }
  bool crcMatches() const { return storedCrc == computedCrc; }
  // The page's "Update file information" text.
  std::string informationText() const;
};

struct UpdateFileOutcome {
  bool ok = false;
  std::string error;  // for the user when not ok
  UpdateFile file;
};

// A wrong signature or CRC still loads (the page shows or warns); a file too short for its
// header or too long for 16-bit block numbers does not.
UpdateFileOutcome parseUpdateFile(std::span<const uint8_t> bytes, std::string title);
UpdateFileOutcome readUpdateFile(const std::string& path);

// The camera's firmware version: the u32 at byte 10 of its 64-byte system data.
uint32_t firmwareVersionFromSystemData(std::span<const uint8_t, 64> systemData);

// What the page says before an update starts: a refusal, or the questions to confirm.
struct UpdateMessage {
  std::string text;
  std::string caption;
};
struct UpdatePlan {
  std::optional<UpdateMessage> refusal;
  std::vector<UpdateMessage> questions;  // each must be answered OK
};
// `file` null: nothing loaded. `cameraVersion` empty: the camera has not said, so no
// downgrade question can be asked.
UpdatePlan planUpdate(const UpdateFile* file, std::optional<uint32_t> cameraVersion);

}  // namespace tessor
