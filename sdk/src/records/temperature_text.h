// A temperature as the library writes it: "%.2f" then the degree sign (UTF-8) and the unit
// letter.
#pragma once

#include <cstdint>
#include <string>

namespace irdex {

// Empty for a unit other than Celsius (0), Fahrenheit (1) or Kelvin (2): such a unit draws
// no text.
std::string formatTemperature(float value, int32_t unit);

}  // namespace irdex
