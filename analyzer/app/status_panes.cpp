#include "app/status_panes.h"

#include "acquisition/camera_facts.h"

#include "bytes/error_text.h"

#include <array>
#include <cstdio>

namespace solvane {
namespace {

template <class... Args>
std::string format(const char* pattern, Args... args) {
  std::array<char, 128> text{};
  std::snprintf(text.data(), text.size(), pattern, args...);
  return text.data();
}

constexpr const char* kDegreeSign = "\xC2\xB0";

}  // namespace

std::string frameRateText(double hertz) { return format("Frame rate : %.1f Hz", hertz); }

std::string modelText(int32_t modelIndex) {
  if (modelIndex < 0 || modelIndex >= static_cast<int32_t>(kModels.size())) return {};
  const ModelFacts& model = kModels[static_cast<size_t>(modelIndex)];
  return format("%s ( %d * %d )", model.name, model.width, model.height);
}

std::string fileSizeText(int32_t width, int32_t height) {
  return format("( %d * %d * 8b )", width, height);
}

std::string mousePositionText(int32_t x, int32_t y) { return format("X:%d, Y:%d", x, y); }

std::string intensityText(int32_t value) { return format("Intensity : %d", value); }

std::string temperatureText(double value, int32_t unit) {
  const char letter = unit == 1 ? 'F' : unit == 2 ? 'K' : 'C';
  return format("Temperature : %.2f%s%c", value, kDegreeSign, letter);
}

std::string pullErrorText(int32_t result) { return bytes::errorText(result); }

}  // namespace solvane
