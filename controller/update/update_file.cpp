#include "update/update_file.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tessor {

namespace {

uint32_t readLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::array<uint32_t, 256> makeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

UpdateFileOutcome failure(std::string text) {
  UpdateFileOutcome outcome;
  outcome.error = std::move(text);
  return outcome;
}

}  // namespace

uint32_t crc32Ieee(std::span<const uint8_t> bytes) {
  static const std::array<uint32_t, 256> table = makeCrcTable();
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string UpdateFile::informationText() const {
  std::string text = "+ File Name : " + title + ".bin\n";
  char line[96];
  if (signatureMatches()) {
    std::snprintf(line, sizeof line, "\r\n+ File Firmware Version : %d\r\n", version);
  } else {
    std::snprintf(line, sizeof line, "\r\n*****File ID (%d) doesn't equal. *****",
                  static_cast<int32_t>(signature));
  }
  return text + line;
}

UpdateFileOutcome parseUpdateFile(std::span<const uint8_t> bytes, std::string title) {
  if (bytes.size() < kUpdateHeaderSize)
    return failure("The firmware file is too short (" + std::to_string(bytes.size()) +
                   " bytes) to hold an update header.");
  const size_t blocks = (bytes.size() + kUpdateBlockSize - 1) / kUpdateBlockSize;
  if (blocks > kMostUpdateBlocks)
    return failure(
        "The firmware file is too large: an update holds at most 65535 blocks of 1024 "
        "bytes.");
  UpdateFileOutcome outcome;
  outcome.ok = true;
  UpdateFile& file = outcome.file;
  file.title = std::move(title);
  file.signature = readLe32(bytes.data());
  file.storedCrc = readLe32(bytes.data() + 4);
  file.version = static_cast<int32_t>(readLe32(bytes.data() + 8));
  file.fileSize = static_cast<uint32_t>(bytes.size());
  file.blockCount = static_cast<uint16_t>(blocks);
  file.computedCrc = crc32Ieee(bytes.subspan(8));
  file.buffer.assign(blocks * kUpdateBlockSize, 0);
  std::copy(bytes.begin(), bytes.end(), file.buffer.begin());
  return outcome;
}

UpdateFileOutcome readUpdateFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::error_code ec;
  if (!in || std::filesystem::is_directory(path, ec)) return failure(kOpenFailedText);
  constexpr size_t kMostBytes = kMostUpdateBlocks * kUpdateBlockSize;
  std::vector<uint8_t> bytes;
  std::vector<char> chunk(64 * 1024);
  while (in && bytes.size() <= kMostBytes) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + in.gcount());
  }
  if (!in.eof() && bytes.size() <= kMostBytes) return failure(kOpenFailedText);
  return parseUpdateFile(bytes, std::filesystem::path(path).stem().string());
}

uint32_t firmwareVersionFromSystemData(std::span<const uint8_t, 64> systemData) {
  return readLe32(systemData.data() + 10);
}

UpdatePlan planUpdate(const UpdateFile* file, std::optional<uint32_t> cameraVersion) {
  UpdatePlan plan;
  if (file == nullptr || file->blockCount == 0) {
    plan.refusal = UpdateMessage{"No firmware file information!!", kWarningCaption};
    return plan;
  }
  // The camera's number is a date-like u32, the file's a signed one: compare them widened.
  if (cameraVersion && static_cast<int64_t>(file->version) < static_cast<int64_t>(*cameraVersion)) {
    plan.questions.push_back(
        {"Firmware version in a camera is less then file firmware version. \r\nDo you want to "
         "really update a firmware?",
         "Information"});
  }
  plan.questions.push_back({"Do you want to update a firmware?", "Information"});
  return plan;
}

}  // namespace tessor
