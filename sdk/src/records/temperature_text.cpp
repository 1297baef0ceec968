#include "records/temperature_text.h"

#include <irdex.h>

#include <cstdio>

namespace irdex {

std::string formatTemperature(float value, int32_t unit) {
  char letter;
  switch (unit) {
    case TEMP_UNIT_CELSIUS: letter = 'C'; break;
    case TEMP_UNIT_FAHRENHEIT: letter = 'F'; break;
    case TEMP_UNIT_KELVIN: letter = 'K'; break;
    default: return {};
  }
  // The degree sign is UTF-8 (C2 B0) everywhere; there is no code-page conversion.
  char buffer[64];
  const int length = std::snprintf(buffer, sizeof buffer, "%.2f%c%c%c", static_cast<double>(value),
                                   static_cast<char>(0xC2), static_cast<char>(0xB0), letter);
  if (length < 0) return {};
  // Huge values print every digit; snprintf's return tells how many there were.
  if (static_cast<std::size_t>(length) >= sizeof buffer) {
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.2f%c%c%c", static_cast<double>(value),
                  static_cast<char>(0xC2), static_cast<char>(0xB0), letter);
    return text;
  }
  return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace irdex
