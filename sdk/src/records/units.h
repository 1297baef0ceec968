// Temperature unit conversions. Single precision throughout, with single-precision
// constants: users compare the last digit with other tools.
#pragma once

namespace irdex::units {

inline constexpr float kFahrenheitOffset = 32.0f;
inline constexpr float kFahrenheitScale = 1.8f;
inline constexpr float kKelvinOffset = 273.15f;

inline float fahrenheitToCelsius(float f) { return (f - kFahrenheitOffset) / kFahrenheitScale; }
inline float celsiusToFahrenheit(float c) { return c * kFahrenheitScale + kFahrenheitOffset; }
inline float kelvinToCelsius(float k) { return k - kKelvinOffset; }
inline float celsiusToKelvin(float c) { return c + kKelvinOffset; }
inline float kelvinToFahrenheit(float k) {
  return (k - kKelvinOffset) * kFahrenheitScale + kFahrenheitOffset;
}
inline float fahrenheitToKelvin(float f) {
  return (f - kFahrenheitOffset) / kFahrenheitScale + kKelvinOffset;
}

}  // namespace irdex::units
