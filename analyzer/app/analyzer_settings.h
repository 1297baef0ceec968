// The analyzer's persisted settings: every key of the store with its type, scale and
// default, read once when the document is made and written when it closes.
#pragma once

#include "app/settings_store.h"

#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace solvane {

struct AnalyzerSettings {
  std::string camIp;
  std::string camName;
  int32_t agcMode = 0;
  float atmTemp = 20.0f;
  float atmTrans = 1.0f;
  float emissivity = 0.95f;
  int32_t dynamicRange = 0;
  int32_t palette = 11;
  float zoom = 1.0f;
  bool invert = false;
  bool mirror = false;
  bool flip = false;
  bool showTemp = true;
  bool showMouseTemp = true;
  int32_t tempUnit = 0;
  int32_t useAvi = 0;
  std::string fourcc = "MSVC";
  int32_t fourccNum = -1;
  int32_t aviQuality = 10000;
  int32_t filter = 0;
  int32_t frame = 0;
  int32_t saveFrame = 1;
  int32_t objectFrame = 2;
  std::string savePath;
  std::string fontName = "Arial";
  int32_t fontSize = 12;
  int32_t fontColor1 = 0xFFFFFF;
  int32_t fontColor2 = 0;
  int32_t inputMethod = 2;
  float sdRate = 5.0f;
  float bRate = 0.01f;
  int32_t outputMethod = 0;
  uint8_t intercept = 0;
  float gamma = 1.0f;
  int32_t plateau = 100;
  float epsilon = 0.5f;
  float psi = 0.3f;
  float prevPlateau = 0.0f;
  bool dlgInit = true;
  int32_t recordCond = 0;
  int32_t recordPeriod = 1;
  int32_t recordTimeUnit = 0;
  int32_t updateCond = 1;
  int32_t updatePeriod = 1;
  int32_t updateTimeUnit = 0;
  // "Manual Name": the user's own recordings ask for their file name.
  bool recordManualName = false;
  bool timeStamp = true;
  bool alarmDisplay = false;
  bool alarmDigital = false;
  bool alarmFlash = false;
  bool alarmStore = false;
  bool alarmRecordCheck = false;
  int32_t alarmRecordSelection = 0;
  bool alarmExportObjects = false;
  bool alarmOneShot = false;
  int32_t alarmThresholdMs = 2000;
  int32_t alarmDelayMs = 2000;
  int32_t alarmIntervalMs = 2000;
  bool dayPeriodCycle = false;
  bool withOneShot = false;
  bool alarmPlay = false;
  bool alarmPlayLoop = false;
  std::string alarmPlayPath;
  int32_t schedRecurPattern = 0;
  int32_t schedWeekDays = 0;
  int32_t schedRecordSelection = 0;
  bool schedRecordCheck = false;
  bool schedExport = false;
  bool schedOneShot = false;
  int32_t schedStartTime = 0;
  int32_t schedStopTime = 0;
  int32_t netMaxReconnectionAttempt = 99;

  bool operator==(const AnalyzerSettings&) const = default;
};

// What the defaults depend on: the brand of the company file (the display zoom) and the
// platform's picture folder (the save folder).
struct SettingsContext {
  std::string brand;
  std::string picturesFolder;
};

// The brand word whose installations start with a doubled display zoom.
inline constexpr const char* kZoomBrand = "QMR";
bool isZoomBrand(const std::string& brand);
float defaultZoom(const std::string& brand);

// The settings of a store that holds nothing.
AnalyzerSettings defaultSettings(const SettingsContext& context);

// How a key is kept in the store and in the program.
enum class Storage {
  Text,         // profile string
  Integer,      // 32-bit profile integer
  Flag,         // integer read as non-zero, written as 0 or 1
  Byte,         // integer kept in a byte
  Thousandths,  // integer = value x 1000, rounded to nearest
  Tenths,       // integer = value x 10, truncated
  Hundredths    // integer = (value + 0.005) x 100, truncated
};

using SettingField =
    std::variant<std::string AnalyzerSettings::*, int32_t AnalyzerSettings::*,
                 bool AnalyzerSettings::*, uint8_t AnalyzerSettings::*, float AnalyzerSettings::*>;

struct SettingKey {
  const char* name;
  Storage storage;
  SettingField field;
};

// Every key in the order the store is read and written.
std::span<const SettingKey> settingKeys();

// Stored integer of a fractional value and back, by the key's scale.
int32_t storedFromValue(Storage storage, float value);
float valueFromStored(Storage storage, int32_t stored);

// Reads every key; a missing key gives its default. Nothing is validated here: the parts
// that use a value clamp it.
AnalyzerSettings loadSettings(const SettingsStore& store, const SettingsContext& context);
void saveSettings(SettingsStore& store, const AnalyzerSettings& settings);

}  // namespace solvane
