#include "settings/environment_rules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <type_traits>
#include <variant>

namespace solvane::settings {
namespace {

// The limits keep every value where the renderer has a defined result: a plateau of 0 would
// cut every bin to nothing and divide by zero, an intercept of 255 leaves no grey levels,
// a cut rate of one half or more crosses the two ends of the window.
constexpr std::array kNumberRules{
    NumberRule{"NET_MAX_RECONNECTION_ATTEMPT", "Reconnection attempts", 1, 9999, 0,
               "How often the program tries to reach a lost camera before it gives up."},
    NumberRule{"FONT_SIZE", "Size", kMinimumFontSize, kMaximumFontSize, 0,
               "Point size of the labels drawn beside the measurement objects."},
    NumberRule{"SD RATE", "SD rate", 0.1, 10.0, 1,
               "Standard Deviation: the window spans the mean plus and minus this many "
               "standard deviations."},
    NumberRule{"B RATE", "B rate", 0.01, 0.49, 2,
               "Brightness Rate: this fraction of the pixels is cut at each end of the window."},
    NumberRule{"INTERCEPT", "Intercept", 0, 254, 0,
               "Linear: the grey level the coldest end of the window maps to."},
    NumberRule{"GAMMA", "Gamma", 0.1, 5.0, 1,
               "Non-Linear: exponent of the mapping; below 1 brightens the cold end."},
    NumberRule{"PLATEAU", "Plateau", 1, 307200, 0,
               "TPE: no grey level takes more than this many pixels' share of the scale."},
    NumberRule{"EPSILON", "Threshold", 0.0, 1.0, 1,
               "APE: fraction of the histogram's extent below which a bin counts as empty."},
    NumberRule{"PSI", "Previous Scale", 0.0, 1.0, 1,
               "APE and SAPE: weight of this frame's plateau against the previous one."},
};

constexpr std::array kUnits{
    Choice{0, "Celsius", "Temperatures in degrees Celsius."},
    Choice{1, "Fahrenheit", "Temperatures in degrees Fahrenheit."},
    Choice{2, "Kelvin", "Temperatures in kelvin."},
};

constexpr std::array kInputMethods{
    Choice{0, "Min Max", "The window spans the coldest to the hottest pixels."},
    Choice{1, "Brightness Rate", "The window drops a fraction of the pixels at each end."},
    Choice{2, "Standard Deviation", "The window spans a multiple of the spread around the mean."},
    Choice{3, "Auto Bright", "The window keeps its span and centres on the mean."},
    Choice{4, "Core Window", "Most grey levels go to where most pixels are."},
};

constexpr std::array kOutputMethods{
    Choice{0, "Linear", "Grey levels rise evenly across the window."},
    Choice{1, "Non-Linear", "Grey levels follow a power of the count (gamma)."},
    Choice{2, "TPE", "Histogram equalisation with a fixed plateau."},
    Choice{3, "APE", "Histogram equalisation with a plateau found per frame."},
    Choice{4, "SAPE", "Histogram equalisation with a plateau from the histogram's valleys."},
};

const SettingKey* settingKey(std::string_view key) {
  for (const SettingKey& entry : settingKeys()) {
    if (key == entry.name) return &entry;
  }
  return nullptr;
}

}  // namespace

std::string_view verdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::Accepted: return {};
    case Verdict::NotANumber: return "Please enter a number.";
    case Verdict::TooLow: return "Lower bound limit!";
    case Verdict::TooHigh: return "Upper bound limit!";
  }
  return {};
}

std::span<const NumberRule> numberRules() { return kNumberRules; }

const NumberRule* numberRule(std::string_view key) {
  for (const NumberRule& rule : kNumberRules) {
    if (key == rule.key) return &rule;
  }
  return nullptr;
}

Verdict checkNumber(const NumberRule& rule, std::string_view text, double& value) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double read = 0.0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), read, std::chars_format::fixed);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      !std::isfinite(read)) {
    return Verdict::NotANumber;
  }
  // A whole-number key takes no fraction; a fractional one keeps what its scale stores.
  const double scale = std::pow(10.0, rule.decimals);
  if (std::abs(read * scale - std::round(read * scale)) > 1e-6) return Verdict::NotANumber;
  value = read;
  if (read < rule.minimum - 1e-9) return Verdict::TooLow;
  if (read > rule.maximum + 1e-9) return Verdict::TooHigh;
  return Verdict::Accepted;
}

double numberValue(const AnalyzerSettings& settings, std::string_view key) {
  const SettingKey* entry = settingKey(key);
  if (!entry) return 0.0;
  return std::visit(
      [&settings](auto member) -> double {
        using Field = std::remove_cvref_t<decltype(settings.*member)>;
        if constexpr (std::is_same_v<Field, std::string>) {
          return 0.0;
        } else {
          return static_cast<double>(settings.*member);
        }
      },
      entry->field);
}

void setNumber(AnalyzerSettings& settings, std::string_view key, double value) {
  const SettingKey* entry = settingKey(key);
  const NumberRule* rule = numberRule(key);
  if (!entry || !rule || !std::isfinite(value)) return;
  const double kept = std::clamp(value, rule->minimum, rule->maximum);
  std::visit(
      [&settings, kept, rule](auto member) {
        using Field = std::remove_cvref_t<decltype(settings.*member)>;
        if constexpr (std::is_same_v<Field, float>) {
          // Rounded to the stored scale so that what is shown is what comes back.
          const double scale = std::pow(10.0, rule->decimals);
          settings.*member = static_cast<float>(std::round(kept * scale) / scale);
        } else if constexpr (std::is_integral_v<Field> && !std::is_same_v<Field, bool>) {
          settings.*member = static_cast<Field>(std::lround(kept));
        }
      },
      entry->field);
}

std::optional<std::string_view> cameraNameFault(std::string_view name) {
  if (name.size() > kCameraNameLimit) return "The camera name is too long.";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F ||
        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
      return "The camera name cannot contain \\ / : * ? \" < > | or control characters.";
    }
  }
  if (name == "." || name == "..") return "The camera name cannot be a dot or two dots.";
  return std::nullopt;
}

std::span<const Choice> temperatureUnits() { return kUnits; }
std::span<const Choice> inputMethods() { return kInputMethods; }
std::span<const Choice> outputMethods() { return kOutputMethods; }

bool parameterUsed(std::string_view key, int32_t inputMethod, int32_t outputMethod) {
  if (key == "SD RATE") return inputMethod == 2;
  if (key == "B RATE") return inputMethod == 1;
  if (key == "INTERCEPT") return outputMethod == 0;
  if (key == "GAMMA") return outputMethod == 1;
  if (key == "PLATEAU") return outputMethod == 2;
  if (key == "EPSILON") return outputMethod == 3;
  if (key == "PSI") return outputMethod == 3 || outputMethod == 4;
  return true;
}

Rgb rgbFromStored(int32_t stored) {
  const auto bits = static_cast<uint32_t>(stored);
  return Rgb{static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>((bits >> 8) & 0xFF),
             static_cast<uint8_t>((bits >> 16) & 0xFF)};
}

int32_t storedFromRgb(Rgb colour) {
  return static_cast<int32_t>(uint32_t{colour.red} | (uint32_t{colour.green} << 8) |
                              (uint32_t{colour.blue} << 16));
}

void applyChanges(AnalyzerSettings& target, const AnalyzerSettings& from,
                  const AnalyzerSettings& to) {
  for (const SettingKey& key : settingKeys()) {
    std::visit(
        [&](auto member) {
          if (!(from.*member == to.*member)) target.*member = to.*member;
        },
        key.field);
  }
}

}  // namespace solvane::settings
