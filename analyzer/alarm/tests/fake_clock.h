// A clock whose "now" the test sets, in a time zone with a fixed offset and, optionally,
// one summer-time period during which local time runs an hour ahead.
#pragma once

#include "alarm/schedule_clock.h"

#include <chrono>
#include <optional>

namespace solvane::alarm::testing {

class FakeScheduleClock final : public ScheduleClock {
 public:
  explicit FakeScheduleClock(std::chrono::minutes standardOffset = std::chrono::minutes{60})
      : standardOffset_(standardOffset) {}

  // Summer time from `begins` to `ends` (both instants, UTC).
  void setSummerTime(Instant begins, Instant ends) { summer_ = {begins, ends}; }

  void setNow(Instant instant) { now_ = instant; }
  void setLocalNow(std::chrono::year_month_day date, int32_t secondsOfDay) {
    now_ = fromLocal(date, secondsOfDay);
  }
  void advance(std::chrono::milliseconds by) { now_ += by; }

  Instant now() const override { return now_; }

  LocalTime toLocal(Instant instant) const override {
    const auto local = instant + offsetAt(instant);
    const auto day = std::chrono::floor<std::chrono::days>(local);
    const auto seconds = std::chrono::floor<std::chrono::seconds>(local - day);
    return {std::chrono::year_month_day(day), static_cast<int32_t>(seconds.count())};
  }

  Instant fromLocal(std::chrono::year_month_day date, int32_t secondsOfDay) const override {
    const Instant wall = Instant(std::chrono::sys_days(date)) + std::chrono::seconds(secondsOfDay);
    // Try the standard offset first, then summer time; a wall time in the skipped hour
    // takes the standard reading, which lands just after the change.
    const Instant standard = wall - standardOffset_;
    if (offsetAt(standard) == standardOffset_) return standard;
    const Instant summer = wall - standardOffset_ - std::chrono::hours{1};
    if (offsetAt(summer) != standardOffset_) return summer;
    return standard;
  }

 private:
  std::chrono::milliseconds offsetAt(Instant instant) const {
    if (summer_ && instant >= summer_->first && instant < summer_->second) {
      return standardOffset_ + std::chrono::hours{1};
    }
    return standardOffset_;
  }

  std::chrono::milliseconds standardOffset_;
  std::optional<std::pair<Instant, Instant>> summer_;
  Instant now_{};
};

}  // namespace solvane::alarm::testing
