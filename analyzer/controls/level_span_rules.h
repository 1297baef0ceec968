// The manual level and span of the image mapping, edited in tenths of the display unit and held
// inside the temperature range of the current camera range, plus the manual/automatic switch
// that lives in the AGC parameter record.
#pragma once

#include "controls/refusal.h"
#include "controls/unit_text.h"

#include <irdex.h>

#include <string>

namespace solvane::controls {

// The narrowest span a window may take and the refusal that says so: 2.0 in the level/span
// dialog, 6 degrees in the histogram pane.
struct SpanFloor {
  int32_t tenths;
  Refusal refusal;
};
inline constexpr SpanFloor kDialogSpanFloor{20, Refusal::SpanTooNarrow};
inline constexpr SpanFloor kHistogramSpanFloor{60, Refusal::SpanUnderSix};

class LevelSpanEntry {
 public:
  // Level and span in degrees Celsius; the range bounds of the camera range in Celsius.
  LevelSpanEntry(float levelCelsius, float spanCelsius, float rangeLowCelsius,
                 float rangeHighCelsius, Unit unit, SpanFloor floor = kDialogSpanFloor);

  Unit unit() const { return unit_; }
  int32_t levelTenths() const { return level_; }
  int32_t spanTenths() const { return span_; }
  float levelCelsius() const;
  float spanCelsius() const;
  // The temperatures the window covers, in the display unit, and the label showing them.
  float windowLow() const { return level_ / 10.0f - span_ / 20.0f; }
  float windowHigh() const { return level_ / 10.0f + span_ / 20.0f; }
  std::string rangeLabel() const;

  Refusal stepLevel(int32_t delta) { return tryAccept(level_ + delta, span_); }
  Refusal stepSpan(int32_t delta) { return tryAccept(level_, span_ + delta); }
  Refusal typeLevel(std::string_view text);
  Refusal typeSpan(std::string_view text);

  // The constraints on one candidate, in the order they are reported.
  Refusal check(int32_t levelTenths, int32_t spanTenths) const;

 private:
  Refusal tryAccept(int32_t levelTenths, int32_t spanTenths);

  Unit unit_;
  SpanFloor floor_;
  int32_t level_;
  int32_t span_;
  double lowBound_;   // display unit
  double highBound_;  // display unit
};

// The manual/automatic switch. Automatic remembers the AGC input choice, manual restores it; the
// record's manual flag always says which mode is on.
class AgcModeSwitch {
 public:
  explicit AgcModeSwitch(const AgcParams& agc) : remembered_(agc.inputMethod) {}
  static bool isAutomatic(const AgcParams& agc) { return agc.manual == 0; }
  void setAutomatic(AgcParams& agc);
  void setManual(AgcParams& agc);

 private:
  int32_t remembered_;
};

}  // namespace solvane::controls
