// The rules of live acquisition that need no camera: which addresses may be dialled, what a
// camera header says about the camera, the frame-rate arithmetic and the measured rate.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace solvane {

inline constexpr const char* kCameraPort = "15001";
inline constexpr const char* kDefaultCameraName = "Thermal";
inline constexpr const char* kTitlePrefix = "Solvane - ";
inline constexpr const char* kOperatedByHand = "Camera operated by hand\r\n";
inline constexpr const char* kNotSupported =
    "This function not supported within a connected camera.";
inline constexpr const char* kCannotReceive = "Can't received IR data!";
inline constexpr const char* kMessageNotification = "Message Notification";
inline constexpr const char* kRecordingStopped = "Recording Stopped!";
inline constexpr const char* kThreadFailed = "Failed to create socket thread.";
inline constexpr const char* kTableFailed = "Failed to get temperature LUT!";
inline constexpr const char* kErrorTitle = "Error Message";

// Dotted IPv4 text: 7 to 15 characters of digits and dots, exactly three dots and at most
// three digits between them.
bool isValidCameraIp(std::string_view text);

// Header bytes the analyzer reads besides version, model and range.
namespace header_byte {
inline constexpr size_t kSensorSize = 6;
inline constexpr size_t kTempOffset = 118;
inline constexpr size_t kReducedRate = 128;
inline constexpr size_t kHighRange = 129;
inline constexpr size_t kRangeMask = 339;
inline constexpr size_t kRangeNames = 363;
}  // namespace header_byte

// 0 first generation or KT 17..31 with model 0, 1 KT model 1, 2 KS VA320, 3 KS VI640; -1 for
// a camera the view does not know.
int32_t cameraTypeOf(uint8_t version, uint8_t model);
inline bool isKsCameraType(int32_t type) { return type == 2 || type == 3; }

struct CameraModel {
  uint16_t width = 0;
  uint16_t height = 0;
  int32_t modelIndex = 0;
  bool ks = false;
};
// The resolution, model index and family a header names; nothing for headers the analyzer
// leaves the resolution alone for.
std::optional<CameraModel> cameraModelOf(const CamHeaderBlock& header);

struct RangeEntry {
  int32_t type = 0;  // 0 normal, 1 high, 2 medical
  std::string name;
};
// KS header version 33 and above: one entry per bit of the range mask, bit 0 first.
std::vector<RangeEntry> rangeListOf(const CamHeaderBlock& header);

// The value of setting 0x0503 for a range.
int16_t rangeCommandValue(uint8_t headerVersion, int32_t range);

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

// With the span at exactly 6, keeps the level 3 degrees inside the range limits.
float guardLevel(float level, float span, float rangeMin, float rangeMax);

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

// "%02X:%02X:..." MAC of an IPv4 address from a neighbour table in the layout of
// /proc/net/arp; nothing when the address has no complete entry.
std::optional<std::string> macFromNeighbourTable(std::string_view table, std::string_view ip);
// The camera's name: the names file's entry for its MAC, else "Thermal".
std::string cameraNameFor(std::string_view ip, const std::filesystem::path& neighbourTable,
                          const std::filesystem::path& namesFile);

}  // namespace solvane
