// The schedule: a daily time window, once, every day or on chosen week days, during which
// the analyzer records, logs its objects and takes snapshots.
//
// Phases: 0 done (no timer), 1 waiting for the window to open, 2 inside the window waiting
// for it to close. The timer is the owner's (one-shot, in the user-interface thread); the
// schedule asks for it with ArmScheduleTimer and is told by onTimer() that it fired.
// Every deadline is a local wall-clock time on a calendar date turned into an instant by the
// clock, so a window keeps its hours across a daylight-saving change and across midnight.
#pragma once

#include "alarm/alarm_actions.h"
#include "alarm/alarm_settings.h"
#include "alarm/schedule_clock.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace solvane::alarm {

enum class SchedulePhase : int32_t { Done = 0, WaitingForStart = 1, WaitingForStop = 2 };

inline constexpr int64_t kMillisecondsPerDay = 86'400'000;

// The refusal of a window that would end before it starts (also one that crosses midnight,
// such as 23:00 to 01:00).
UserMessage stopBeforeStartMessage();

class Schedule {
 public:
  Schedule(AlarmActionSink& sink, const ScheduleClock& clock);

  // "Activate Schedule" on OK of the dialog, or at document start with the schedule on:
  // arms the timer from now. A window whose stop lies before its start is refused with the
  // message, and the schedule is switched off.
  std::optional<UserMessage> start(const ScheduleSettings& settings);

  // Switches the schedule off: no timer, inactive, the recording and the log it began end.
  void stop();

  // The armed timer fired.
  void onTimer();

  // Called by every measurement pass with whether an alarm is on: while the window is open
  // and no alarm is on, the schedule's object log and snapshots run.
  void onPass(bool alarmOn);

  // "OBJECT FRAME": every how many passes the log gets a line and a snapshot is taken.
  void setObjectFrame(int32_t objectFrame) { objectFrame_ = objectFrame < 1 ? 1 : objectFrame; }

  bool switchedOn() const { return switchOn_; }
  bool active() const { return active_; }
  SchedulePhase phase() const { return phase_; }
  std::optional<Instant> armedDue() const { return armedDue_; }
  const WeekDays& weekDays() const { return weekDays_; }

  // The times computed by the last start, in milliseconds: to the start of today's window
  // (negative once it has passed), the window's length, and the rest of a day.
  struct Times {
    int64_t startDelayMs = 0;
    int64_t durationMs = 0;
    int64_t restOfDayMs = kMillisecondsPerDay;
  };
  const Times& times() const { return times_; }

 private:
  void send(const AlarmAction& action) { sink_.handle(action); }
  void arm(Instant due);
  void cancelTimer();
  void waitForStartOn(std::chrono::year_month_day date);
  void setActive(bool active);
  void endLog();
  // Days from `weekDay` to the next enabled week day, 1..7 (7: the same day next week).
  int daysToNextEnabled(int weekDay) const;

  AlarmActionSink& sink_;
  const ScheduleClock& clock_;
  ScheduleSettings settings_;
  WeekDays weekDays_{};
  int32_t objectFrame_ = 2;

  bool switchOn_ = false;
  bool active_ = false;
  SchedulePhase phase_ = SchedulePhase::Done;
  std::chrono::year_month_day windowDate_{};  // local date of the window the timer leads to
  std::optional<Instant> armedDue_;
  Times times_;

  bool alarmOn_ = false;
  std::optional<RecordForm> recording_;
  bool logRunning_ = false;
  int32_t logPasses_ = 0;
  int32_t oneShotPasses_ = 0;
};

}  // namespace solvane::alarm
