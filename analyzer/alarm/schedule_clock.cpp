#include "alarm/schedule_clock.h"

#include <ctime>

namespace solvane::alarm {

using std::chrono::sys_days;

int weekDayOf(std::chrono::year_month_day date) {
  return static_cast<int>(std::chrono::weekday(sys_days(date)).c_encoding());
}

std::chrono::year_month_day addDays(std::chrono::year_month_day date, int days) {
  return std::chrono::year_month_day(sys_days(date) + std::chrono::days(days));
}

Instant SystemScheduleClock::now() const {
  return std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now());
}

LocalTime SystemScheduleClock::toLocal(Instant instant) const {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::seconds>(instant));
  std::tm local{};
  localtime_r(&seconds, &local);
  const std::chrono::year_month_day date{
      std::chrono::year(local.tm_year + 1900),
      std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
      std::chrono::day(static_cast<unsigned>(local.tm_mday))};
  return {date, local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec};
}

Instant SystemScheduleClock::fromLocal(std::chrono::year_month_day date,
                                       int32_t secondsOfDay) const {
  std::tm local{};
  local.tm_year = static_cast<int>(date.year()) - 1900;
  local.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
  local.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
  local.tm_hour = secondsOfDay / 3600;
  local.tm_min = secondsOfDay / 60 % 60;
  local.tm_sec = secondsOfDay % 60;
  local.tm_isdst = -1;  // let the zone decide whether summer time applies on that day
  const std::time_t seconds = std::mktime(&local);
  return std::chrono::time_point_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::from_time_t(seconds));
}

}  // namespace solvane::alarm
