#include "alarm/schedule.h"

#include <algorithm>

namespace solvane::alarm {
namespace {

// A window that closes within this much of now is treated as already closed.
constexpr std::chrono::milliseconds kClosingSlack{7};

}  // namespace

UserMessage stopBeforeStartMessage() {
  return {"The Stop time is greater than the start time!!", "Warning"};
}

Schedule::Schedule(AlarmActionSink& sink, const ScheduleClock& clock)
    : sink_(sink), clock_(clock) {}

std::optional<UserMessage> Schedule::start(const ScheduleSettings& settings) {
  settings_ = clamped(settings);
  weekDays_ = weekDaysFromStored(settings_.weekDays);
  cancelTimer();
  if (settings_.stopTime < settings_.startTime) {
    stop();
    return stopBeforeStartMessage();
  }
  switchOn_ = true;
  if (!settings_.exportObjects) endLog();

  const Instant now = clock_.now();
  const LocalTime local = clock_.toLocal(now);
  const std::chrono::year_month_day today = local.date;
  const Instant startToday = clock_.fromLocal(today, settings_.startTime);
  const Instant stopToday = clock_.fromLocal(today, settings_.stopTime);
  times_.startDelayMs = int64_t{settings_.startTime - local.secondsOfDay} * 1000;
  times_.durationMs = int64_t{settings_.stopTime - settings_.startTime} * 1000;
  times_.restOfDayMs = kMillisecondsPerDay - times_.durationMs;

  const Recurrence recurrence = recurrenceOf(settings_.recurrence);
  const bool anyDay = std::any_of(weekDays_.begin(), weekDays_.end(), [](bool d) { return d; });
  if (recurrence == Recurrence::Weekly && !anyDay) {
    phase_ = SchedulePhase::Done;
    setActive(false);
    return std::nullopt;
  }
  const int todayWeekDay = weekDayOf(today);
  if (recurrence == Recurrence::Weekly && !weekDays_[static_cast<size_t>(todayWeekDay)]) {
    waitForStartOn(addDays(today, daysToNextEnabled(todayWeekDay)));
    return std::nullopt;
  }
  if (startToday > now) {
    waitForStartOn(today);
  } else if (stopToday - now > kClosingSlack) {
    windowDate_ = today;
    phase_ = SchedulePhase::WaitingForStop;
    arm(stopToday);
    setActive(true);
  } else if (recurrence == Recurrence::OneTime) {
    phase_ = SchedulePhase::Done;
    setActive(false);
  } else if (recurrence == Recurrence::Daily) {
    waitForStartOn(addDays(today, 1));
  } else {
    waitForStartOn(addDays(today, daysToNextEnabled(todayWeekDay)));
  }
  return std::nullopt;
}

void Schedule::stop() {
  cancelTimer();
  switchOn_ = false;
  phase_ = SchedulePhase::Done;
  setActive(false);
  endLog();
}

void Schedule::onTimer() {
  if (!armedDue_) return;  // a stale timer that fired after a cancel
  const Instant now = clock_.now();
  if (now < *armedDue_) {
    // Timers may come early (coarse timers, long waits); wait for the rest.
    arm(*armedDue_);
    return;
  }
  armedDue_.reset();
  switch (phase_) {
    case SchedulePhase::Done: break;  // nothing is armed once a one-time window is over
    case SchedulePhase::WaitingForStart:
      phase_ = SchedulePhase::WaitingForStop;
      arm(clock_.fromLocal(windowDate_, settings_.stopTime));
      setActive(true);
      break;
    case SchedulePhase::WaitingForStop:
      setActive(false);
      switch (recurrenceOf(settings_.recurrence)) {
        case Recurrence::OneTime:
          phase_ = SchedulePhase::Done;
          endLog();
          break;
        case Recurrence::Daily: waitForStartOn(addDays(windowDate_, 1)); break;
        case Recurrence::Weekly:
          waitForStartOn(addDays(windowDate_, daysToNextEnabled(weekDayOf(windowDate_))));
          break;
      }
      break;
  }
}

void Schedule::onPass(bool alarmOn) {
  alarmOn_ = alarmOn;
  if (!active_ || alarmOn) return;
  if (settings_.exportObjects) {
    if (!logRunning_) {
      logRunning_ = true;
      logPasses_ = 0;
      send(StartObjectLog{ActionSource::Schedule});
    } else if (++logPasses_ >= objectFrame_) {
      logPasses_ = 0;
      send(AppendObjectLogLine{ActionSource::Schedule});
    }
  }
  if (settings_.oneShot && ++oneShotPasses_ >= objectFrame_) {
    oneShotPasses_ = 0;
    send(TakeOneShot{ActionSource::Schedule});
  }
}

void Schedule::arm(Instant due) {
  armedDue_ = due;
  const auto delay = std::max(due - clock_.now(), std::chrono::milliseconds{0});
  send(ArmScheduleTimer{delay, due});
}

void Schedule::cancelTimer() {
  if (!armedDue_) return;
  armedDue_.reset();
  send(CancelScheduleTimer{});
}

void Schedule::waitForStartOn(std::chrono::year_month_day date) {
  windowDate_ = date;
  phase_ = SchedulePhase::WaitingForStart;
  arm(clock_.fromLocal(date, settings_.startTime));
  setActive(false);
}

void Schedule::setActive(bool active) {
  if (active == active_) return;
  active_ = active;
  send(ScheduleActiveChanged{active});
  oneShotPasses_ = 0;
  if (active) {
    if (settings_.recordCheck && !alarmOn_) {
      recording_ = recordFormOf(settings_.recordSelection);
      send(StartRecording{ActionSource::Schedule, *recording_});
    }
  } else if (recording_) {
    send(StopRecording{ActionSource::Schedule, *recording_});
    recording_.reset();
  }
}

void Schedule::endLog() {
  if (!logRunning_) return;
  logRunning_ = false;
  send(EndObjectLog{ActionSource::Schedule});
}

int Schedule::daysToNextEnabled(int weekDay) const {
  for (int ahead = 1; ahead <= 7; ++ahead) {
    if (weekDays_[static_cast<size_t>((weekDay + ahead) % 7)]) return ahead;
  }
  return 7;
}

}  // namespace solvane::alarm
