#include "controls/unit_text.h"

#include <cstdio>

namespace solvane::controls {

namespace {

std::string format(const char* pattern, double low, double high, const char* degree, char letter) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, low, high, degree, letter);
  return text;
}

// The Kelvin forms of the range labels carry no degree sign.
const char* degreeFor(Unit unit) { return unit == Unit::Kelvin ? "" : kDegreeSign; }

}  // namespace

Unit unitFromSetting(int32_t tempUnit) {
  if (tempUnit == 1) return Unit::Fahrenheit;
  if (tempUnit == 2) return Unit::Kelvin;
  return Unit::Celsius;
}

char unitLetter(Unit unit) {
  switch (unit) {
    case Unit::Fahrenheit: return 'F';
    case Unit::Kelvin: return 'K';
    case Unit::Celsius: break;
  }
  return 'C';
}

float toDisplay(float celsius, Unit unit) {
  switch (unit) {
    case Unit::Fahrenheit: return ConvertCelsToFah(celsius);
    case Unit::Kelvin: return ConvertCelToKel(celsius);
    case Unit::Celsius: break;
  }
  return celsius;
}

float toCelsius(float shown, Unit unit) {
  switch (unit) {
    case Unit::Fahrenheit: return ConvertFahToCels(shown);
    case Unit::Kelvin: return ConvertKelvToCels(shown);
    case Unit::Celsius: break;
  }
  return shown;
}

float spanToDisplay(float celsiusSpan, Unit unit) {
  return unit == Unit::Fahrenheit ? celsiusSpan * 1.8f : celsiusSpan;
}

float spanToCelsius(float shownSpan, Unit unit) {
  return unit == Unit::Fahrenheit ? shownSpan / 1.8f : shownSpan;
}

std::string atmosphericTempCaption(Unit unit) {
  return "Atmospheric Temp. (" + std::string(kDegreeSign) + unitLetter(unit) + ")";
}

std::string levelSpanRangeLabel(float low, float high, Unit unit) {
  return format("%.2f - %.2f %s%c)", low, high, degreeFor(unit), unitLetter(unit));
}

std::string imageControlRangeLabel(float low, float high, Unit unit) {
  return format("%.2f ~ %.2f %s%c", low, high, degreeFor(unit), unitLetter(unit));
}

std::string histogramRangeLabel(float low, float high, Unit unit) {
  const char* pattern = unit == Unit::Celsius ? "%.2f - %.2f %s%c" : "%.2f ~ %.2f %s%c";
  return format(pattern, low, high, degreeFor(unit), unitLetter(unit));
}

std::string kernelSizeLabel(int32_t size) { return "Kernel size : " + std::to_string(size); }

}  // namespace solvane::controls
