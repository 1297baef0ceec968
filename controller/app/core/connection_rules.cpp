#include "app/core/connection_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tessor {

bool isValidCameraIp(std::string_view text) {
  if (text.size() < 7 || text.size() > 15) return false;
  int dots = 0;
  int digitsInPart = 0;
  for (char ch : text) {
    if (ch == '.') {
      ++dots;
      digitsInPart = 0;
    } else if (std::isdigit(static_cast<unsigned char>(ch))) {
      if (++digitsInPart > 3) return false;
    } else {
      return false;
    }
  }
  return dots == 3;
}

std::array<int, 4> addressParts(std::string_view stored) {
  std::array<int, 4> parts{0, 0, 0, 0};
  for (size_t i = 0; i < parts.size() && !stored.empty(); ++i) {
    const size_t dot = stored.find('.');
    const std::string part(stored.substr(0, dot));
    // A number as far as it reads, like the C conversion; very long digit runs are held at
    // the top of the range instead of overflowing.
    long value = std::strtol(part.c_str(), nullptr, 10);
    parts[i] = static_cast<int>(std::clamp(value, 0L, 255L));
    if (dot == std::string_view::npos) break;
    stored.remove_prefix(dot + 1);
  }
  return parts;
}

std::string addressTextOf(const std::array<int, 4>& parts) {
  return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
         std::to_string(parts[2]) + "." + std::to_string(parts[3]);
}

std::string windowCaption(std::string_view version) {
  return "Tessor (Version : " + std::string(version) + ")";
}

}  // namespace tessor
