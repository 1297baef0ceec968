#include "analysis/core/camera_side.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace analysis {

namespace {

using camera::SettingCommand;
using camera::SettingId;

constexpr size_t kTemperatureTypeOffset = 21;
constexpr size_t kAlarm1Function = 47;
constexpr size_t kAlarm1Condition = 48;
constexpr size_t kAlarm1Value = 49;
constexpr size_t kAlarm2Function = 51;
constexpr size_t kAlarm2Condition = 52;
constexpr size_t kAlarm2Value = 53;
constexpr size_t kAlarm1Duration = 60;
constexpr size_t kAlarm2Duration = 61;
constexpr size_t kAlarmFlags = 62;
// Functions above "Min." and conditions above "Below" read as the first entry.
constexpr int kHighestReadFunction = 4;
constexpr int kHighestReadCondition = 1;
// The alarm region came with header version 12; the 16-bit layout with 33.
constexpr uint8_t kFirstVersionWithAlarmRegion = 12;
constexpr uint8_t kFirstVersionWithFullRect = 33;
constexpr uint32_t kDefaultCompactRect = 0x0A0A0000;
constexpr auto kAlarmRegion1 = static_cast<SettingId>(0x0409);
constexpr auto kAlarmRegion2 = static_cast<SettingId>(0x040A);

constexpr float kFahrenheitToCelsius = 0.5555556f;

int16_t readLe16(HeaderBytes header, size_t at) {
  return static_cast<int16_t>(header[at] | header[at + 1] << 8);
}

uint32_t half16(int value) { return static_cast<uint16_t>(static_cast<int16_t>(value)); }

SettingCommand command(SettingId id, int value, uint32_t word1 = 0, uint32_t word2 = 0) {
  SettingCommand c{id, static_cast<uint16_t>(value)};
  c.words[0] = word1;
  c.words[1] = word2;
  return c;
}

SettingId alarmId(int base, int alarm) { return static_cast<SettingId>(0x0400 + base + 3 * alarm); }

uint32_t parameterWord(const Correction& c, ShownUnit unit) {
  return static_cast<uint32_t>(ratioByte(c.emissivity)) << 24 |
         static_cast<uint32_t>(ratioByte(c.transmission)) << 16 |
         half16(tenthsCelsius(c.atmosphere, unit));
}

}  // namespace

ShownUnit shownUnitOf(HeaderBytes header) {
  return header[kTemperatureTypeOffset] == 1 ? ShownUnit::Fahrenheit : ShownUnit::Celsius;
}

int wholeCelsius(int entered, ShownUnit unit) {
  if (unit == ShownUnit::Celsius) return entered;
  return static_cast<int>(static_cast<float>(entered - 32) * kFahrenheitToCelsius);
}

int wholeShown(int celsius, ShownUnit unit) {
  if (unit == ShownUnit::Celsius) return celsius;
  // Rounded, so that sending the shown value again gives the same Celsius degree.
  return static_cast<int>(std::lround(celsius * 1.8 + 32.0));
}

int tenthsCelsius(double entered, ShownUnit unit) {
  const double celsius =
      unit == ShownUnit::Celsius ? entered : (entered - 32.0) * kFahrenheitToCelsius;
  return static_cast<int>(std::round(celsius * 10.0));  // half away from zero
}

double shownFromTenths(int tenths, ShownUnit unit) {
  const double celsius = tenths / 10.0;
  return unit == ShownUnit::Celsius ? celsius : std::round((celsius * 1.8 + 32.0) * 10.0) / 10.0;
}

uint8_t ratioByte(double value) {
  return static_cast<uint8_t>(std::clamp(std::lround(value * 100.0), 0L, 100L));
}

std::array<uint32_t, 2> packAlarmRect(const PixelRect& r, uint8_t version) {
  if (version < kFirstVersionWithFullRect) {
    auto halfByte = [](int v) { return static_cast<uint32_t>(static_cast<uint8_t>(v / 2)); };
    return {halfByte(r.bottom) << 24 | halfByte(r.right) << 16 | halfByte(r.top) << 8 |
                halfByte(r.left),
            0};
  }
  return {half16(r.top) << 16 | half16(r.left), half16(r.bottom) << 16 | half16(r.right)};
}

// ---- KT "Alarm" ----

void KtAlarmPage::loadHeader(HeaderBytes header) {
  version = header[4];
  unit = shownUnitOf(header);
  const size_t function[2] = {kAlarm1Function, kAlarm2Function};
  const size_t condition[2] = {kAlarm1Condition, kAlarm2Condition};
  const size_t value[2] = {kAlarm1Value, kAlarm2Value};
  const size_t duration[2] = {kAlarm1Duration, kAlarm2Duration};
  for (size_t i = 0; i < 2; ++i) {
    KtAlarm& a = alarms[i];
    a.function = header[function[i]] > kHighestReadFunction ? 0 : header[function[i]];
    a.condition = header[condition[i]] > kHighestReadCondition ? 0 : header[condition[i]];
    a.value = wholeShown(readLe16(header, value[i]) / 10, unit);
    a.duration = header[duration[i]];
  }
  alarms[0].exclude = (header[kAlarmFlags] & 1u) != 0;
}

Commands KtAlarmPage::setAlarm() const {
  Commands out;
  if (version >= kFirstVersionWithAlarmRegion) {
    for (int i = 0; i < 2; ++i) {
      const KtAlarm& a = alarms[static_cast<size_t>(i)];
      const auto words = packAlarmRect(a.rect, version);
      out.push_back(command(i == 0 ? kAlarmRegion1 : kAlarmRegion2,
                            (a.roiUsed ? 2 : 0) + (a.exclude ? 1 : 0), words[0], words[1]));
    }
  }
  // 0x0401/0x0404 function, 0x0402/0x0405 condition, 0x0403/0x0406 value, 0x0407/0x0408.
  for (int i = 0; i < 2; ++i) out.push_back(command(alarmId(1, i), alarms[i].function));
  for (int i = 0; i < 2; ++i) out.push_back(command(alarmId(2, i), alarms[i].condition));
  for (int i = 0; i < 2; ++i)
    out.push_back(command(alarmId(3, i), wholeCelsius(alarms[i].value, unit) * 10));
  for (int i = 0; i < 2; ++i)
    out.push_back(command(static_cast<SettingId>(0x0407 + i), alarms[i].duration));
  return out;
}

Commands KtAlarmPage::restoreDefaults() {
  alarms = {};
  unit = ShownUnit::Celsius;
  Commands out;
  for (int i = 0; i < 2; ++i) {
    out.push_back(command(alarmId(1, i), alarms[i].function));
    out.push_back(command(alarmId(2, i), alarms[i].condition));
    out.push_back(command(alarmId(3, i), alarms[i].value * 10));
  }
  std::sort(out.begin(), out.end(), [](const SettingCommand& a, const SettingCommand& b) {
    return camera::toWire(a.id) < camera::toWire(b.id);
  });
  // A camera without the alarm region would refuse its commands.
  if (version >= kFirstVersionWithAlarmRegion) {
    out.push_back(command(kAlarmRegion1, 0, kDefaultCompactRect));
    out.push_back(command(kAlarmRegion2, 0));
  }
  return out;
}

// ---- KT "Analysis" ----

KtAnalysisPage::KtAnalysisPage() { restoreDefaults(); }

void KtAnalysisPage::loadHeader(HeaderBytes header) { unit = shownUnitOf(header); }

SettingCommand KtAnalysisPage::correctionCommand() const {
  return command(SettingId::CorrectionParameters, 1, parameterWord(correction, unit));
}

Commands KtAnalysisPage::spotCommands() const {
  Commands out;
  for (int i = 0; i < 10; ++i) {
    const KtSpot& s = spots[static_cast<size_t>(i)];
    out.push_back(command(SettingId::SpotInformation,
                          (i + 1) << 8 | (s.local ? 2 : 0) | (s.enabled ? 1 : 0),
                          parameterWord(s.parameters, unit), half16(s.x) << 16 | half16(s.y)));
  }
  return out;
}

Commands KtAnalysisPage::restoreDefaults() {
  correction = {};
  unit = ShownUnit::Celsius;
  for (size_t i = 0; i < spots.size(); ++i) {
    // Spread over the middle row of a 640 x 480 picture, so that none hides another.
    spots[i] = KtSpot{false, 80 + static_cast<int>(i) * 50, 240, false, {}};
  }
  Commands out{correctionCommand()};
  const Commands spotsOut = spotCommands();
  out.insert(out.end(), spotsOut.begin(), spotsOut.end());
  return out;
}

// ---- KT "Isotherm" ----

KtIsothermPage::KtIsothermPage() { restoreDefaults(); }

void KtIsothermPage::loadHeader(HeaderBytes header) { unit = shownUnitOf(header); }

Commands KtIsothermPage::sendIsotherms() const {
  Commands out;
  for (int i = 0; i < 2; ++i) {
    const KtIsotherm& iso = isotherms[static_cast<size_t>(i)];
    int lower = kIsothermOpenBottom;
    int upper = kIsothermOpenTop;
    switch (static_cast<IsothermPosition>(iso.position)) {
      case IsothermPosition::Top: lower = tenthsCelsius(iso.top, unit); break;
      case IsothermPosition::Bottom: upper = tenthsCelsius(iso.bottom, unit); break;
      case IsothermPosition::Interval:
        lower = tenthsCelsius(iso.bottom, unit);
        upper = tenthsCelsius(iso.top, unit);
        break;
    }
    out.push_back(command(SettingId::KtIsotherm, (i + 1) << 8 | (iso.enabled ? 1 : 0),
                          iso.colour & 0xFFFFFFu, half16(lower) << 16 | half16(upper)));
  }
  return out;
}

Commands KtIsothermPage::restoreDefaults() {
  isotherms[0] = KtIsotherm{false, 0x0000FF, 0, 30.0, 20.0};
  isotherms[1] = KtIsotherm{false, 0xFF0000, 2, 30.0, 20.0};
  unit = ShownUnit::Celsius;
  return sendIsotherms();
}

// ---- KS ----

SettingCommand KsRegionAlarm::command(ShownUnit unit) const {
  return analysis::command(SettingId::RegionAlarm, modeCode(modeIndex),
                           static_cast<uint32_t>(enabled ? 1 : 0) << 24 |
                               static_cast<uint32_t>(output & 0xFF) << 16 |
                               static_cast<uint32_t>(condition & 0xFF) << 8,
                           half16(delay) << 16 | half16(tenthsCelsius(temperature, unit)));
}

SettingCommand regionGeometryCommand(int index, const KsRegion& r) {
  return command(SettingId::RegionGeometry, (index + kFirstRegionNumber) << 8 | r.mode,
                 half16(r.x) << 16 | half16(r.y), half16(r.width) << 16 | half16(r.height));
}

SettingCommand regionCorrectionCommand(int index, const KsRegion& r, ShownUnit unit) {
  const uint32_t ratios = static_cast<uint32_t>(ratioByte(r.parameters.emissivity)) << 8 |
                          ratioByte(r.parameters.transmission);
  return command(SettingId::RegionCorrection,
                 (index + kFirstRegionNumber) << 8 | (r.usedCorrection ? 1 : 0), ratios << 16,
                 half16(tenthsCelsius(r.parameters.atmosphere, unit)));
}

std::string regionLabel(int index, const KsRegion& region) {
  const char* kind = region.mode == static_cast<int>(RegionMode::Spot)        ? "Spot"
                     : region.mode == static_cast<int>(RegionMode::Rectangle) ? "Rect"
                                                                              : nullptr;
  if (!kind) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%s%02d", kind, index + 1);
  return text;
}

KsRegion clampedRegion(KsRegion r, int width, int height) {
  r.x = std::clamp(r.x, 0, std::max(0, width - 1));
  r.y = std::clamp(r.y, 0, std::max(0, height - 1));
  r.width = std::clamp(r.width, 0, width - r.x);
  r.height = std::clamp(r.height, 0, height - r.y);
  return r;
}

}  // namespace analysis
