// The rules behind the environment dialog's general, label and image pages: which keys a
// page edits, the limits a typed value must keep, what each AGC parameter means, and which
// parameters the chosen methods actually use. No widgets here, so the rules are tested
// without a display.
#pragma once

#include "app/analyzer_settings.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace solvane::settings {

inline constexpr std::string_view kStatusTitle = "Status Message";

// A number typed into a page, and why it was refused.
enum class Verdict { Accepted, NotANumber, TooLow, TooHigh };
std::string_view verdictText(Verdict verdict);

// The numeric keys the pages edit, with the limits the program can work with.
struct NumberRule {
  const char* key;      // the settings key
  const char* caption;  // the page's label
  double minimum;
  double maximum;
  int decimals;  // what the key's stored scale keeps
  const char* explanation;
};
std::span<const NumberRule> numberRules();
// Null for a key no page edits as a number.
const NumberRule* numberRule(std::string_view key);

// Checks a typed entry against its rule; `value` holds the number when it was read.
Verdict checkNumber(const NumberRule& rule, std::string_view text, double& value);

// The value of a numeric key in the settings, and the same key set from a value within its
// limits (the value is clamped first, so nothing outside them is ever written).
double numberValue(const AnalyzerSettings& settings, std::string_view key);
void setNumber(AnalyzerSettings& settings, std::string_view key, double value);

// The camera name goes into file names and the window title: refused when it holds a path
// separator, a character no file system takes, a control character, or is too long.
inline constexpr size_t kCameraNameLimit = 64;
std::optional<std::string_view> cameraNameFault(std::string_view name);

struct Choice {
  int32_t value;
  const char* name;
  const char* explanation;
};
std::span<const Choice> temperatureUnits();
std::span<const Choice> inputMethods();
std::span<const Choice> outputMethods();

// Whether the AGC parameter of `key` has any effect with these methods; the image page
// disables the others.
bool parameterUsed(std::string_view key, int32_t inputMethod, int32_t outputMethod);

// Label colours are kept as 0x00BBGGRR.
struct Rgb {
  uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};
Rgb rgbFromStored(int32_t stored);
int32_t storedFromRgb(Rgb colour);

// The label font sizes offered; the face comes from the fonts the machine has.
inline constexpr int32_t kMinimumFontSize = 6;
inline constexpr int32_t kMaximumFontSize = 72;

// Writes into `target` every key whose value differs between `from` and `to`: a dialog's
// changes land on the settings as they are now, not as they were when it opened.
void applyChanges(AnalyzerSettings& target, const AnalyzerSettings& from,
                  const AnalyzerSettings& to);

}  // namespace solvane::settings
