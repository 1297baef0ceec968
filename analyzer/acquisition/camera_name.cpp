#include "acquisition/camera_name.h"

#include "discovery/core/names_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace solvane {

std::optional<std::string> macFromNeighbourTable(std::string_view table, std::string_view ip) {
  std::istringstream lines{std::string(table)};
  std::string line;
  std::getline(lines, line);  // column titles
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, hwType, flags, mac;
    if (!(fields >> address >> hwType >> flags >> mac)) continue;
    if (address != ip) continue;
    unsigned b[6];
    if (flags == "0x0" || std::sscanf(mac.c_str(), "%x:%x:%x:%x:%x:%x", &b[0], &b[1], &b[2], &b[3],
                                      &b[4], &b[5]) != 6)
      return std::nullopt;
    char text[24];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", b[0] & 0xFF, b[1] & 0xFF,
                  b[2] & 0xFF, b[3] & 0xFF, b[4] & 0xFF, b[5] & 0xFF);
    return std::string(text);
  }
  return std::nullopt;
}

std::string cameraNameFor(std::string_view ip, const std::filesystem::path& neighbourTable,
                          const std::filesystem::path& namesFile) {
  std::ifstream in(neighbourTable);
  if (!in) return kDefaultCameraName;
  std::stringstream table;
  table << in.rdbuf();
  const auto mac = macFromNeighbourTable(table.str(), ip);
  if (!mac) return kDefaultCameraName;
  const auto names = discovery::readNamesFile(namesFile);
  if (!names) return kDefaultCameraName;
  const auto* record = discovery::findStoredName(names->records, *mac);
  if (!record || record->name.empty()) return kDefaultCameraName;
  return record->name;
}

}  // namespace solvane
