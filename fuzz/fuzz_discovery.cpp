// Camera answers and the names file come from outside: the TXT reader, the instance-name
// reader, the names-file reader and the neighbour-table reader must take any bytes without
// reading or writing out of bounds, and whatever they produce must list and store cleanly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "discovery/core/camera_list.h"
#include "discovery/core/names_file.h"
#include "discovery/core/neighbour_table.h"
#include "discovery/core/txt_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);

  const auto stored = discovery::parseNamesFile(bytes);
  if (stored.records.size() > discovery::kMaxNameRecords) __builtin_trap();
  const auto parsed = discovery::parseCameraTxt(bytes);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)discovery::firstInstanceLabel(text);

  // Looked up by the first word of the first entry, so the MAC reader sees every input.
  const std::size_t entry = std::min(text.find('\n'), text.size());
  const std::string_view rest = text.substr(entry);
  const std::size_t start = std::min(rest.find_first_not_of(" \t\n"), rest.size());
  const std::string_view ip = rest.substr(start, rest.find_first_of(" \t\n", start) - start);
  if (const auto mac = discovery::macFromNeighbourTable(text, ip)) {
    if (mac->size() != 17) __builtin_trap();
    for (std::size_t i = 0; i < mac->size(); ++i) {
      const char c = (*mac)[i];
      const bool ok = i % 3 == 2 ? c == ':' : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
      if (!ok) __builtin_trap();
    }
  }

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
