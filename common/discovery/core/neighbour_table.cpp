#include "discovery/core/neighbour_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace discovery {

namespace {

// Six groups of one or two hex digits between colons, nothing else.
bool parseMac(std::string_view text, std::array<unsigned, 6>& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    const size_t end = std::min(text.find(':'), text.size());
    const std::string_view group = text.substr(0, end);
    if (group.empty() || group.size() > 2) return false;
    const auto [rest, error] =
        std::from_chars(group.data(), group.data() + group.size(), bytes[i], 16);
    if (error != std::errc() || rest != group.data() + group.size()) return false;
    const bool last = i + 1 == bytes.size();
    if (last != (end == text.size())) return false;
    text.remove_prefix(last ? end : end + 1);
  }
  return true;
}

}  // namespace

std::optional<std::string> macFromNeighbourTable(std::string_view table, std::string_view ip) {
  std::istringstream lines{std::string(table)};
  std::string line;
  std::getline(lines, line);  // column titles
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, hwType, flags, mac;
    if (!(fields >> address >> hwType >> flags >> mac)) continue;
    if (address != ip) continue;
    std::array<unsigned, 6> b{};
    if (flags == "0x0" || !parseMac(mac, b)) return std::nullopt;
    char text[24];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", b[0] & 0xFF, b[1] & 0xFF,
                  b[2] & 0xFF, b[3] & 0xFF, b[4] & 0xFF, b[5] & 0xFF);
    return std::string(text);
  }
  return std::nullopt;
}

}  // namespace discovery
