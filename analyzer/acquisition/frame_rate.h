// The frame-rate menu's arithmetic and the rate measured from the frames that arrive.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace solvane {

// Frame-rate menu choices and the divisor each gives.
enum class FrameRateChoice { Full, Half, Third, Quarter, OnePerSecond, UserDefined };
int32_t divisorFor(FrameRateChoice choice, float cameraRate);
// The user dialog: seconds per frame to frames per second (rounded to thousandths) and on to
// a divisor, and the seconds the dialog opens with for a divisor.
double userFramesPerSecond(int32_t seconds);
int32_t divisorFromSeconds(int32_t seconds, float cameraRate);
int32_t secondsFromDivisor(int32_t divisor, float cameraRate);
// The menu entry: "User Define(%.3f fps)" for divisors of 30 and more, else "User Define...".
std::string userDefineText(int32_t divisor);
// Which menu choice a divisor shows as checked.
FrameRateChoice choiceOfDivisor(int32_t divisor, float cameraRate);

// The frames received over a window of frames, divided by the time they took, in tenths of
// a hertz. Only frames count: calls that delivered none do not. Times are seconds on any
// steady clock.
inline constexpr int32_t kLiveRateWindow = 60;
inline constexpr int32_t kPlaybackRateWindow = 20;
// No frame for this long: the rate is no longer shown.
inline constexpr double kRateOutageSeconds = 2.0;

class MeasuredRate {
 public:
  explicit MeasuredRate(int32_t window = kLiveRateWindow) : window_(window) {}
  // One frame arrived at `now`; the rate to show once every `window` frames.
  std::optional<int32_t> frameArrived(double now);
  // True once, when frames stopped for the outage time while a rate was shown: the rate
  // then shown is none.
  bool outage(double now);
  void reset();

 private:
  int32_t window_;
  std::optional<double> windowStart_;
  std::optional<double> lastFrame_;
  int32_t frames_ = 0;
  bool shown_ = false;
};

}  // namespace solvane
