// The camera-side measurement settings without widgets: KT alarms with their region, spots
// and correction, isotherms; KS region alarms and regions. Each page's values, how they are
// read from the camera header, their defaults, and the setting commands they send.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "camera/setting_ids.h"

namespace analysis {

using Commands = std::vector<camera::SettingCommand>;
using HeaderBytes = std::span<const uint8_t, 512>;

// The unit the pages show; entries are converted to Celsius before they are sent.
enum class ShownUnit { Celsius, Fahrenheit };
ShownUnit shownUnitOf(HeaderBytes header);

// Whole degrees as entered, in Celsius: Fahrenheit converted with (F - 32) x 0.5555556 and
// cut to a whole degree.
int wholeCelsius(int entered, ShownUnit unit);
// Whole Celsius degrees as the page shows them.
int wholeShown(int celsius, ShownUnit unit);
// Degrees as entered to tenths of a degree Celsius, rounded half away from zero.
int tenthsCelsius(double entered, ShownUnit unit);
double shownFromTenths(int tenths, ShownUnit unit);
// 0..1 as the one byte the camera takes: round(value x 100), held within 0..100.
uint8_t ratioByte(double value);

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// The alarm rectangle on the wire: a camera before header version 33 takes each coordinate
// halved in one byte (word 2 = 0); later cameras take 16-bit halves in two words.
std::array<uint32_t, 2> packAlarmRect(const PixelRect& rect, uint8_t version);

// ---- KT "Alarm" ----
enum class AlarmFunction { Off, Center, Mean, Max, Min, On };
inline constexpr std::array<const char*, 6> kAlarmFunctionNames = {"Off",  "Center", "Mean",
                                                                   "Max.", "Min.",   "On"};
inline constexpr std::array<const char*, 2> kAlarmConditionNames = {"Above", "Below"};

struct KtAlarm {
  int function = 0;   // AlarmFunction
  int condition = 0;  // 0 above, 1 below
  int value = 0;      // whole degrees in the shown unit
  int duration = 0;   // seconds
  bool roiUsed = false;
  bool exclude = false;
  PixelRect rect{0, 0, 20, 20};
};

struct KtAlarmPage {
  std::array<KtAlarm, 2> alarms{};
  uint8_t version = 0;
  ShownUnit unit = ShownUnit::Celsius;

  // Keeps the rectangles and "ROI Used" (the header does not carry them).
  void loadHeader(HeaderBytes header);
  // "Set Alarm": the region words first (version 12 and later), then the settings.
  Commands setAlarm() const;
  // "Initialized": the defaults, set and returned as the commands that send them.
  Commands restoreDefaults();
};
inline constexpr const char* kAlarmDoneText = "Completed Alarm setting.";
inline constexpr const char* kAlarmDoneCaption = "Information";

// ---- KT "Analysis" ----
struct Correction {
  double emissivity = 1.0;
  double transmission = 1.0;
  double atmosphere = 25.0;  // degrees in the shown unit
};

struct KtSpot {
  bool enabled = false;
  int x = 0, y = 0;
  bool local = false;
  Correction parameters{};
};

struct KtAnalysisPage {
  Correction correction{};
  std::array<KtSpot, 10> spots{};
  ShownUnit unit = ShownUnit::Celsius;

  KtAnalysisPage();
  void loadHeader(HeaderBytes header);
  camera::SettingCommand correctionCommand() const;  // "Send Correction Data"
  Commands spotCommands() const;                     // "Send Spot Info."
  Commands restoreDefaults();
};

// ---- KT "Isotherm" ----
enum class IsothermPosition { Top, Interval, Bottom };
inline constexpr std::array<const char*, 3> kIsothermPositionNames = {"Top", "Interval", "Bottom"};

struct KtIsotherm {
  bool enabled = false;
  uint32_t colour = 0x0000FF;  // red in the lowest byte
  int position = 0;            // IsothermPosition
  double top = 30.0;           // degrees in the shown unit
  double bottom = 20.0;
};

struct KtIsothermPage {
  std::array<KtIsotherm, 2> isotherms{};
  ShownUnit unit = ShownUnit::Celsius;

  KtIsothermPage();
  void loadHeader(HeaderBytes header);
  Commands sendIsotherms() const;  // "Send Isotherm"
  Commands restoreDefaults();
};
// The open ends of a one-sided isotherm.
inline constexpr int16_t kIsothermOpenTop = 30000;
inline constexpr int16_t kIsothermOpenBottom = -30000;

// ---- KS "Alarm Config" ----
inline constexpr std::array<const char*, 14> kRegionAlarmModeNames = {
    "Maximum", "Minimum", "Average", "Center", "ROI 01", "ROI 02", "ROI 03",
    "ROI 04",  "ROI 05",  "ROI 06",  "ROI 07", "ROI 08", "ROI 09", "ROI 10"};
inline constexpr std::array<const char*, 2> kOffOnNames = {"Off", "On"};
inline constexpr std::array<const char*, 4> kAlarmOutputNames = {"Off", "Alarm01", "Alarm02",
                                                                 "A01 + A02"};

struct KsRegionAlarm {
  int modeIndex = 0;  // entry of kRegionAlarmModeNames
  bool enabled = false;
  int output = 0;
  int condition = 0;
  int delay = 0;              // seconds
  double temperature = 50.0;  // degrees in the shown unit

  // The camera's mode code: the four whole-image modes 0..3, regions 11..20.
  static int modeCode(int modeIndex) { return modeIndex < 4 ? modeIndex : modeIndex + 7; }
  camera::SettingCommand command(ShownUnit unit) const;  // "Set Alarm"
};

// ---- KS region setup window ----
enum class RegionMode { Off, Spot, Rectangle };
inline constexpr std::array<const char*, 3> kRegionModeNames = {"Off", "Spot", "Rectangle"};
inline constexpr int kRegionCount = 10;
inline constexpr int kFirstRegionNumber = 11;

struct KsRegion {
  int mode = 0;  // RegionMode
  int x = 0, y = 0, width = 0, height = 0;
  bool usedCorrection = false;
  Correction parameters{};
};

camera::SettingCommand regionGeometryCommand(int index, const KsRegion& region);
camera::SettingCommand regionCorrectionCommand(int index, const KsRegion& region, ShownUnit unit);
// "Spot01" or "Rect01" for region 0; empty for a region that is off.
std::string regionLabel(int index, const KsRegion& region);
// The region held within a picture of `width` x `height` pixels.
KsRegion clampedRegion(KsRegion region, int width, int height);

}  // namespace analysis
