// Update files come from anywhere: the reader must take any bytes, and a file it accepts
// must yield whole block records for every block it counts.
#include <cstddef>
#include <cstdint>
#include <span>

#include "update/firmware_update.h"
#include "update/update_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto outcome = tessor::parseUpdateFile(std::span<const std::uint8_t>(data, size), "fuzz");
  if (!outcome.ok) {
    if (outcome.error.empty()) __builtin_trap();
    return 0;
  }
  const tessor::UpdateFile& file = outcome.file;
  if (file.buffer.size() != file.blockCount * tessor::kUpdateBlockSize) __builtin_trap();
  if (file.fileSize != size) __builtin_trap();
  (void)file.informationText();
  for (unsigned number = 1; number <= file.blockCount; ++number)
    (void)tessor::buildFirmwareBlockRecord(file, static_cast<std::uint16_t>(number));
  return 0;
}
