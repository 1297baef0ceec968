#include "acquisition/frame_rate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace solvane {

int32_t divisorFor(FrameRateChoice choice, float cameraRate) {
  switch (choice) {
    case FrameRateChoice::Full: return 0;
    case FrameRateChoice::Half: return 1;
    case FrameRateChoice::Third: return 2;
    case FrameRateChoice::Quarter: return 3;
    case FrameRateChoice::OnePerSecond: return static_cast<int32_t>(cameraRate) - 1;
    case FrameRateChoice::UserDefined: break;
  }
  return 0;
}

double userFramesPerSecond(int32_t seconds) {
  seconds = std::clamp(seconds, 1, 30);
  return std::floor(1000.0 / seconds + 0.5) * 0.001;
}

int32_t divisorFromSeconds(int32_t seconds, float cameraRate) {
  return static_cast<int32_t>(std::floor(cameraRate / userFramesPerSecond(seconds) + 0.5)) - 1;
}

int32_t secondsFromDivisor(int32_t divisor, float cameraRate) {
  double f = 1.0;
  if (cameraRate <= static_cast<float>(divisor + 1))
    f = std::floor(cameraRate * 1000.0 / (divisor + 1) + 0.5) * 0.001;
  if (f <= 0) return 30;
  return std::clamp(static_cast<int32_t>(std::floor(1.0 / f + 0.5)), 1, 30);
}

std::string userDefineText(int32_t divisor) {
  if (divisor < 30) return "User Define...";
  char text[64];
  std::snprintf(text, sizeof text, "User Define(%.3f fps)", 30.0 / (divisor + 1));
  return text;
}

FrameRateChoice choiceOfDivisor(int32_t divisor, float cameraRate) {
  if (divisor >= 0 && divisor <= 3) return static_cast<FrameRateChoice>(divisor);
  if (divisor == static_cast<int32_t>(cameraRate) - 1) return FrameRateChoice::OnePerSecond;
  return FrameRateChoice::UserDefined;
}

std::optional<int32_t> MeasuredRate::frameArrived(double now) {
  lastFrame_ = now;
  // The window's time runs from the frame before it, so that it spans `window` intervals.
  if (!windowStart_) {
    windowStart_ = now;
    return std::nullopt;
  }
  if (++frames_ < window_) return std::nullopt;
  const double seconds = now - *windowStart_;
  windowStart_ = now;
  frames_ = 0;
  if (seconds <= 0) return std::nullopt;
  shown_ = true;
  return static_cast<int32_t>(std::floor(window_ / seconds * 10.0 + 0.5));
}

bool MeasuredRate::outage(double now) {
  if (!shown_ || !lastFrame_ || now - *lastFrame_ < kRateOutageSeconds) return false;
  reset();
  return true;
}

void MeasuredRate::reset() {
  windowStart_.reset();
  lastFrame_.reset();
  frames_ = 0;
  shown_ = false;
}

}  // namespace solvane
