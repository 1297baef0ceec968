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

// The rate of GetIRImages calls, reported every 60 calls in tenths of a hertz.
class MeasuredRate {
 public:
  // One call that took `seconds`; returns the value to show (tenths of Hz) every 60th call.
  std::optional<int32_t> add(double seconds);
  void reset() { sum_ = 0, count_ = 0; }

 private:
  double sum_ = 0;
  int32_t count_ = 0;
};

}  // namespace solvane
