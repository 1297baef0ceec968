// Camera answers and the names file come from outside: the TXT reader, the instance-name
// reader and the names-file reader must take any bytes without reading or writing out of
// bounds, and whatever they produce must list and store cleanly.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "discovery/core/camera_list.h"
#include "discovery/core/names_file.h"
#include "discovery/core/txt_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);

  const auto stored = discovery::parseNamesFile(bytes);
  if (stored.records.size() > discovery::kMaxNameRecords) __builtin_trap();
  const auto parsed = discovery::parseCameraTxt(bytes);
  (void)discovery::firstInstanceLabel(std::string_view(reinterpret_cast<const char*>(data), size));

  discovery::CameraList list;
  list.add(parsed.fields, stored.records);
  for (const auto& record : stored.records)
    list.add({record.name, record.mac, record.mac, record.mac}, stored.records);

  // What is written must read back as written (texts cut to their fields).
  const auto encoded = discovery::encodeNamesFile(list.nameRecords());
  const auto reread = discovery::parseNamesFile(encoded);
  if (reread.records.size() != std::min(list.size(), discovery::kMaxNameRecords)) __builtin_trap();
  for (std::size_t i = 0; i < reread.records.size(); ++i) {
    const auto& row = list.rows()[i];
    if (!std::string_view(row.name).starts_with(reread.records[i].name)) __builtin_trap();
  }
  return 0;
}
