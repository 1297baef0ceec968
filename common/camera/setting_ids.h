// The 16-bit ids of the camera's setting commands (command index 10), grouped by their high
// byte: 01 image, 02 on-screen display, 03 communication, 04 alarms/NUC/outputs, 05 system,
// 0A frame rate, 0B correction and spots, 0F initialisation.
#pragma once

#include <cstdint>

namespace camera {

enum class SettingId : uint16_t {
  AgcMode = 0x0101,
  Level = 0x0102,  // KT level; KS brightness
  Span = 0x0103,   // KT span; KS contrast
  Palette = 0x0105,
  Invert = 0x0106,
  Mirror = 0x0107,
  Flip = 0x0108,
  Zoom = 0x0109,
  ImageFilter = 0x010A,  // KT image filter; KS noise filter
  EdgeFilter = 0x010B,
  Nr1Strength = 0x010C,
  Nr2Strength = 0x010D,
  EdgeStrength = 0x010E,

  ColourBar = 0x0201,
  TemperatureInfo = 0x0202,
  MinMaxIndicator = 0x0203,
  TemperatureType = 0x0204,
  Transparency = 0x0205,
  CentreIndicator = 0x0206,
  SpotIndicator = 0x0207,  // KS: ROI display
  CorrectionInfo = 0x0208,
  DisplayIcon = 0x0209,

  IpSetting = 0x0301,
  SerialProtocol = 0x0305,
  CameraId = 0x0306,
  BaudRate = 0x0307,

  AlarmFirst = 0x0401,
  AlarmLast = 0x040A,
  AlarmOutput = 0x0411,
  RegionAlarm = 0x0421,
  RegionGeometry = 0x0422,
  RegionCorrection = 0x0423,
  NucTiming = 0x0431,
  NucOnce = 0x0432,
  TvOutputWindow = 0x0441,
  HdmiOutputWindow = 0x0442,
  Rotation = 0x0451,
  ManualMaximum = 0x0461,
  ManualMinimum = 0x0462,
  ManualLevel = 0x0463,
  ManualSpan = 0x0464,
  HdmiMode = 0x0471,
  IsothermMode = 0x0481,
  IsothermColours = 0x0482,
  MotorDrive = 0x0491,

  TvMode = 0x0501,
  NucPeriod = 0x0502,
  TemperatureRange = 0x0503,

  FrameRateDivisor = 0x0A01,

  CorrectionParameters = 0x0B01,
  SpotInformation = 0x0B02,
  KtIsotherm = 0x0B03,

  Initialise = 0x0F01,
};

inline constexpr uint16_t toWire(SettingId id) { return static_cast<uint16_t>(id); }

// The command indexes of the general sending export that the programs use.
enum class CommandIndex : int32_t {
  StartStream = 3,
  StopStream = 4,
  RequestHeader = 7,
  Setting = 10,
  Hello = 12,
};

// One setting command as it goes on the wire: id, value and three 32-bit words.
struct SettingCommand {
  SettingId id{};
  uint16_t value = 0;
  uint32_t words[3] = {0, 0, 0};

  bool operator==(const SettingCommand& other) const {
    return id == other.id && value == other.value && words[0] == other.words[0] &&
           words[1] == other.words[1] && words[2] == other.words[2];
  }
};

}  // namespace camera
