#include "app/analyzer_settings.h"

#include "app/settings_store.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace solvane {
namespace {

using S = AnalyzerSettings;

// The order of the store; names and scales are those older installations wrote.
constexpr SettingKey kKeys[] = {
    {"CAM IP", Storage::Text, &S::camIp},
    {"CAM NAME", Storage::Text, &S::camName},
    {"AGC", Storage::Integer, &S::agcMode},
    {"ATM TEMP", Storage::Thousandths, &S::atmTemp},
    {"ATM TRANS", Storage::Thousandths, &S::atmTrans},
    {"EMISSIVITY", Storage::Thousandths, &S::emissivity},
    {"DYNAMIC RANGE", Storage::Integer, &S::dynamicRange},
    {"PALETTE", Storage::Integer, &S::palette},
    {"ZOOM", Storage::Tenths, &S::zoom},
    {"INVERT", Storage::Flag, &S::invert},
    {"MIRROR", Storage::Flag, &S::mirror},
    {"FLIP", Storage::Flag, &S::flip},
    {"SHOW TEMP", Storage::Flag, &S::showTemp},
    {"SHOW MOUSE TEMP", Storage::Flag, &S::showMouseTemp},
    {"TEMP UNIT", Storage::Integer, &S::tempUnit},
    {"USE AVI", Storage::Integer, &S::useAvi},
    {"FOURCC", Storage::Text, &S::fourcc},
    {"FOURCC NUM", Storage::Integer, &S::fourccNum},
    {"AVI QUALITY", Storage::Integer, &S::aviQuality},
    {"FILTER", Storage::Integer, &S::filter},
    {"FRAME", Storage::Integer, &S::frame},
    {"SAVE FRAME", Storage::Integer, &S::saveFrame},
    {"OBJECT FRAME", Storage::Integer, &S::objectFrame},
    {"SAVE PATH", Storage::Text, &S::savePath},
    {"FONT_NAME", Storage::Text, &S::fontName},
    {"FONT_SIZE", Storage::Integer, &S::fontSize},
    {"FONT_COLOR1", Storage::Integer, &S::fontColor1},
    {"FONT_COLOR2", Storage::Integer, &S::fontColor2},
    {"INPUT METHOD", Storage::Integer, &S::inputMethod},
    {"SD RATE", Storage::Tenths, &S::sdRate},
    {"B RATE", Storage::Hundredths, &S::bRate},
    {"OUTPUT METHOD", Storage::Integer, &S::outputMethod},
    {"INTERCEPT", Storage::Byte, &S::intercept},
    {"GAMMA", Storage::Tenths, &S::gamma},
    {"PLATEAU", Storage::Integer, &S::plateau},
    {"EPSILON", Storage::Tenths, &S::epsilon},
    {"PSI", Storage::Tenths, &S::psi},
    {"PREV PLATEAU", Storage::Tenths, &S::prevPlateau},
    {"DLG_INIT", Storage::Flag, &S::dlgInit},
    {"RECORD_COND", Storage::Integer, &S::recordCond},
    {"RECORD_PD", Storage::Integer, &S::recordPeriod},
    {"RECORD_TCOND", Storage::Integer, &S::recordTimeUnit},
    {"UPDATE_COND", Storage::Integer, &S::updateCond},
    {"UPDATE_PD", Storage::Integer, &S::updatePeriod},
    {"RECORD_OTCOND", Storage::Integer, &S::updateTimeUnit},
    {"RECORD_MANUAL_NAME", Storage::Flag, &S::recordManualName},
    {"TIME_STAMP", Storage::Flag, &S::timeStamp},
    {"ALARM_DISP", Storage::Flag, &S::alarmDisplay},
    {"ALARM_DIGITAL", Storage::Flag, &S::alarmDigital},
    {"ALARM_FLASH", Storage::Flag, &S::alarmFlash},
    {"ALARM_STORE", Storage::Flag, &S::alarmStore},
    {"ALARM_REC_SEL_CHK", Storage::Flag, &S::alarmRecordCheck},
    {"ALARM_REC_SEL", Storage::Integer, &S::alarmRecordSelection},
    {"ALARM_EXPORT_OBJ", Storage::Flag, &S::alarmExportObjects},
    {"ALARM_ONESHOT", Storage::Flag, &S::alarmOneShot},
    {"ALARM_THRESH", Storage::Integer, &S::alarmThresholdMs},
    {"ALARM_DELAY", Storage::Integer, &S::alarmDelayMs},
    {"ALARM_INTERVAL", Storage::Integer, &S::alarmIntervalMs},
    {"DAY_PERIOD_CYCLE", Storage::Flag, &S::dayPeriodCycle},
    {"WITH_ONESHOT", Storage::Flag, &S::withOneShot},
    {"ALARM_PLAY", Storage::Flag, &S::alarmPlay},
    {"ALARM_PLAY_LOOP", Storage::Flag, &S::alarmPlayLoop},
    {"ALARM_PLAY_PATH", Storage::Text, &S::alarmPlayPath},
    {"SCHED_RECUR_PATTERN", Storage::Integer, &S::schedRecurPattern},
    {"SCHED_NWEEKLY", Storage::Integer, &S::schedWeekDays},
    {"SCHED_REC_SEL", Storage::Integer, &S::schedRecordSelection},
    {"SCHED_REC_SEL_CHK", Storage::Flag, &S::schedRecordCheck},
    {"SCHED_EXPORT", Storage::Flag, &S::schedExport},
    {"SCHED_ONESHOT", Storage::Flag, &S::schedOneShot},
    {"SCHED_START_TIME", Storage::Integer, &S::schedStartTime},
    {"SCHED_STOP_TIME", Storage::Integer, &S::schedStopTime},
    {"NET_MAX_RECONNECTION_ATTEMPT", Storage::Integer, &S::netMaxReconnectionAttempt},
};

int32_t clampToInt32(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLow = std::numeric_limits<int32_t>::min();
  constexpr double kHigh = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(value, kLow, kHigh));
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

bool isZoomBrand(const std::string& brand) {
  const std::string word = kZoomBrand;
  return brand.size() == word.size() &&
         std::equal(brand.begin(), brand.end(), word.begin(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) ==
                  std::toupper(static_cast<unsigned char>(b));
         });
}

float defaultZoom(const std::string& brand) { return isZoomBrand(brand) ? 2.0f : 1.0f; }

AnalyzerSettings defaultSettings(const SettingsContext& context) {
  AnalyzerSettings settings;
  settings.zoom = defaultZoom(context.brand);
  settings.savePath = context.picturesFolder;
  return settings;
}

std::span<const SettingKey> settingKeys() { return kKeys; }

int32_t storedFromValue(Storage storage, float value) {
  switch (storage) {
    case Storage::Thousandths:
      // Rounded half away from zero: the plain "+ 0.5" of older writers moved a negative
      // atmospheric temperature up by a thousandth at every save.
      return clampToInt32(std::round(static_cast<double>(value * 1000.0f)));
    case Storage::Tenths: return clampToInt32(std::trunc(static_cast<double>(value * 10.0f)));
    case Storage::Hundredths:
      return clampToInt32(std::trunc((static_cast<double>(value) + 0.005) * 100.0));
    default: return clampToInt32(static_cast<double>(value));
  }
}

float valueFromStored(Storage storage, int32_t stored) {
  switch (storage) {
    case Storage::Thousandths: return static_cast<float>(stored * 0.001);
    case Storage::Tenths: return static_cast<float>(stored * 0.1);
    case Storage::Hundredths: return static_cast<float>(stored * 0.01);
    default: return static_cast<float>(stored);
  }
}

AnalyzerSettings loadSettings(const SettingsStore& store, const SettingsContext& context) {
  const AnalyzerSettings defaults = defaultSettings(context);
  AnalyzerSettings settings = defaults;
  for (const SettingKey& key : kKeys) {
    std::visit(
        Overloaded{
            [&](std::string S::*field) {
              settings.*field = store.readString(key.name, defaults.*field);
            },
            [&](int32_t S::*field) { settings.*field = store.readInt(key.name, defaults.*field); },
            [&](bool S::*field) {
              settings.*field = store.readInt(key.name, defaults.*field ? 1 : 0) != 0;
            },
            [&](uint8_t S::*field) {
              settings.*field = static_cast<uint8_t>(store.readInt(key.name, defaults.*field));
            },
            [&](float S::*field) {
              const int32_t fallback = storedFromValue(key.storage, defaults.*field);
              settings.*field = valueFromStored(key.storage, store.readInt(key.name, fallback));
            },
        },
        key.field);
  }
  return settings;
}

void saveSettings(SettingsStore& store, const AnalyzerSettings& settings) {
  for (const SettingKey& key : kKeys) {
    std::visit(Overloaded{
                   [&](std::string S::*field) { store.writeString(key.name, settings.*field); },
                   [&](int32_t S::*field) { store.writeInt(key.name, settings.*field); },
                   [&](bool S::*field) { store.writeInt(key.name, settings.*field ? 1 : 0); },
                   [&](uint8_t S::*field) { store.writeInt(key.name, settings.*field); },
                   [&](float S::*field) {
                     store.writeInt(key.name, storedFromValue(key.storage, settings.*field));
                   },
               },
               key.field);
  }
  store.sync();
}

}  // namespace solvane
