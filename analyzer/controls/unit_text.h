// The display unit of the control dialogs and panes: conversions between degrees Celsius (what
// the document keeps) and the unit shown, and the unit parts of captions and read-outs.
#pragma once

#include <irdex.h>

#include <string>

namespace solvane::controls {

inline constexpr const char* kDegreeSign = "\xC2\xB0";

enum class Unit { Celsius = 0, Fahrenheit = 1, Kelvin = 2 };

// "TEMP UNIT" values other than 1 and 2 are shown as Celsius.
Unit unitFromSetting(int32_t tempUnit);
char unitLetter(Unit unit);

// Temperatures go through the library's conversion exports so every program agrees on them to
// the last digit.
float toDisplay(float celsius, Unit unit);
float toCelsius(float shown, Unit unit);
// A temperature difference (a span) has no offset.
float spanToDisplay(float celsiusSpan, Unit unit);
float spanToCelsius(float shownSpan, Unit unit);

// "Atmospheric Temp. (°C)" and alike.
std::string atmosphericTempCaption(Unit unit);
// Level/span dialog: "%.2f - %.2f °C)" ("... K)" without the degree sign).
std::string levelSpanRangeLabel(float low, float high, Unit unit);
// Image control pane: "%.2f ~ %.2f °C" ("... K" without the degree sign).
std::string imageControlRangeLabel(float low, float high, Unit unit);
// Histogram pane: "%.2f - %.2f °C", "%.2f ~ %.2f °F", "%.2f ~ %.2f K".
std::string histogramRangeLabel(float low, float high, Unit unit);
// "Kernel size : %d".
std::string kernelSizeLabel(int32_t size);

}  // namespace solvane::controls
