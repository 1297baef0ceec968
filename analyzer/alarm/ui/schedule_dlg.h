// The schedule page of the environment dialog: recurrence, the daily window, week days,
// the schedule's actions and its switch, and the times the last arming computed.
#pragma once

#include "alarm/alarm_settings.h"
#include "alarm/schedule.h"
#include "desktop/notifier.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QTimeEdit;

namespace solvane::alarm {

class CScheduleDlg : public QWidget {
  Q_OBJECT
 public:
  explicit CScheduleDlg(desktop::Notifier& notifier, QWidget* parent = nullptr);

  void load(const ScheduleSettings& settings, bool activate);
  void store(ScheduleSettings& settings) const;
  bool activateSchedule() const;

  // OK of the hosting dialog: arms the schedule from now with the page's values, or
  // switches it off. A refused window is told to the user and the switch is cleared.
  // Returns whether the schedule runs afterwards.
  bool applyTo(Schedule& schedule);

  QButtonGroup* recurrence() const { return recurrence_; }
  QTimeEdit* startTime() const { return start_; }
  QTimeEdit* stopTime() const { return stop_; }
  QCheckBox* weekDay(int day) const { return weekDays_.at(static_cast<size_t>(day)); }
  QCheckBox* activateBox() const { return activate_; }
  QLabel* startDelayLabel() const { return startDelay_; }
  QLabel* durationLabel() const { return duration_; }
  QLabel* restOfDayLabel() const { return restOfDay_; }

  // The times the running schedule's last arming computed, or none while it is off.
  void showTimes(const Schedule::Times& times);
  void clearTimes();

 private:
  void enableDependents();

  desktop::Notifier& notifier_;
  QButtonGroup* recurrence_;
  QTimeEdit* start_;
  QTimeEdit* stop_;
  std::array<QCheckBox*, 7> weekDays_{};
  QCheckBox* recordCheck_;
  QButtonGroup* recordForm_;
  QCheckBox* exportObjects_;
  QCheckBox* oneShot_;
  QCheckBox* activate_;
  QLabel* startDelay_;
  QLabel* duration_;
  QLabel* restOfDay_;
};

}  // namespace solvane::alarm
