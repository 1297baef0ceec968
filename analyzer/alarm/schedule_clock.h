// The schedule's view of time: the current instant and the local calendar around it. Tests
// put in a clock of their own to set "now" to any date, week day and daylight-saving rule.
#pragma once

#include <chrono>
#include <cstdint>

namespace solvane::alarm {

using Instant = std::chrono::sys_time<std::chrono::milliseconds>;

struct LocalTime {
  std::chrono::year_month_day date;
  int32_t secondsOfDay = 0;  // whole seconds after local midnight
};

class ScheduleClock {
 public:
  virtual ~ScheduleClock() = default;
  virtual Instant now() const = 0;
  virtual LocalTime toLocal(Instant instant) const = 0;
  // The instant the local clock shows `secondsOfDay` on `date`. A time that a
  // daylight-saving change skips or shows twice maps to an instant next to the change.
  virtual Instant fromLocal(std::chrono::year_month_day date, int32_t secondsOfDay) const = 0;
};

// The machine's clock and time zone.
class SystemScheduleClock final : public ScheduleClock {
 public:
  Instant now() const override;
  LocalTime toLocal(Instant instant) const override;
  Instant fromLocal(std::chrono::year_month_day date, int32_t secondsOfDay) const override;
};

// 0 Sunday to 6 Saturday.
int weekDayOf(std::chrono::year_month_day date);

std::chrono::year_month_day addDays(std::chrono::year_month_day date, int days);

}  // namespace solvane::alarm
