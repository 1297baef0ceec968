// The alarms and the schedule in the running window: the alarm monitor fed by every
// measurement pass of a stream, the schedule on a timer of the window's thread, the alarm
// and schedule pages of "Environment Setting...", the "Activate Alarm" switch, and the
// actions both ask for carried out on the view, the camera, the recorder, the exports and
// the sound output.
//
// The monitor and the schedule are not thread-safe: both live under one lock, taken by the
// pipeline's alarm stage for a pass and by the window's thread for a change. Their actions
// go into one ordered queue that only the window's thread empties, so the pipeline never
// waits on the window and an output switched off from the window can never be overtaken
// by an older "on" of the pipeline.
#pragma once

#include "alarm/alarm_monitor.h"
#include "alarm/schedule.h"
#include "alarm/schedule_clock.h"
#include "alarm/ui/alarm_sound.h"
#include "app/analyzer_settings.h"
#include "app/notifier.h"
#include "export/object_log.h"
#include "view/frame_pipeline.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;
class ExportController;
class LinkController;
class ObjectsController;
class RecordController;
struct MeasurementResult;

namespace settings {
class CEnvironmentDlg;
class EnvironmentController;
}  // namespace settings

// The store's ALARM_* and SCHED_* keys as the alarm core sees them, and back.
alarm::AlarmSettings alarmSettingsOf(const AnalyzerSettings& settings);
void storeAlarmSettings(const alarm::AlarmSettings& alarm, AnalyzerSettings& settings);
alarm::ScheduleSettings scheduleSettingsOf(const AnalyzerSettings& settings);
void storeScheduleSettings(const alarm::ScheduleSettings& schedule, AnalyzerSettings& settings);

// The objects an alarm or schedule log covers when nobody chose any in "Select Object": an
// alarm's log the armed objects, the schedule's log every object, at most 30 of each kind.
exports::ObjectSelection defaultLogSelection(const MeasurementResult& results,
                                             const alarm::AlarmTables* armedIn);

class AlarmController : public QObject {
  Q_OBJECT
 public:
  struct Parts {
    LinkController& link;
    ObjectsController& objects;
    RecordController& records;
    ExportController& exports;
    settings::EnvironmentController& environment;
  };
  // `clock` is the schedule's time; the machine's when null.
  AlarmController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                  FramePipeline& pipeline, Parts parts,
                  std::shared_ptr<const alarm::ScheduleClock> clock = nullptr);
  ~AlarmController() override;

  // "Activate Alarm".
  void setAlarmSwitch(bool on);
  bool alarmSwitch() const;

  // Copies taken under the lock; a change runs under it and its actions are carried out.
  alarm::AlarmTables tables() const;
  void changeTables(const std::function<void(alarm::AlarmTables&)>& change);
  alarm::ObjectAlarmState objectState(alarm::ObjectKind kind, int32_t objectId) const;
  bool outputOn(alarm::AlarmOutput output) const;
  bool scheduleOn() const;
  bool scheduleActive() const;

  // The objects "Select Object" chose for the logs; nothing: the default selection.
  void setLogSelection(std::optional<exports::ObjectSelection> selection) {
    logSelection_ = std::move(selection);
  }
  // "OBJECT FRAME" changed without a settings change (the camera's rate).
  void refreshObjectFrame() { applySettings(); }
  // The file of the alarm's or the schedule's object log, while it runs.
  std::optional<std::string> runningLog(alarm::ActionSource source) const;

  alarm::AlarmSoundPlayer& sound() { return sound_; }
  const QTimer& scheduleTimer() const { return scheduleTimer_; }

  // Each newest composed frame on the window's thread: the frame counts follow the rate.
  void showFrame(const std::shared_ptr<const ComposedFrame>& frame);

 Q_SIGNALS:
  // After queued actions were carried out on the window's thread (tests wait on it).
  void actionsHandled();

 private:
  class ActionQueue;

  bool pass(FrameContext& context);
  template <typename Change>
  void locked(Change&& change);
  void requestDrain();
  void drain();
  void carryOut(const alarm::AlarmAction& action,
                const std::shared_ptr<const MeasurementResult>& results);
  void startLog(alarm::ActionSource source,
                const std::shared_ptr<const MeasurementResult>& results);
  void appendLog(alarm::ActionSource source,
                 const std::shared_ptr<const MeasurementResult>& results);
  void armScheduleTimer(const alarm::ArmScheduleTimer& arm);
  void resendLostOffCommands();
  void addPages(settings::CEnvironmentDlg& dialog);
  void applySettings();
  void refreshRate();
  void syncObjects();
  void streamEnded();
  void refreshColours();
  void output(const QString& line);

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  Notifier& notifier_;
  FramePipeline& pipeline_;
  Parts parts_;
  std::shared_ptr<const alarm::ScheduleClock> clock_;
  std::unique_ptr<ActionQueue> queue_;

  // The lock of the monitor and the schedule.
  mutable std::mutex lock_;
  alarm::AlarmMonitor monitor_;
  alarm::Schedule schedule_;

  std::atomic<bool> drainRequested_{false};
  bool draining_ = false;
  std::optional<std::pair<double, int32_t>> rate_;  // what the monitor counts with
  std::array<std::optional<exports::ObjectLog>, 2> logs_;
  std::optional<exports::ObjectSelection> logSelection_;
  alarm::AlarmSoundPlayer sound_;
  QTimer scheduleTimer_;
  QTimer flashTimer_;
  std::array<bool, 2> offLost_{};  // an output's off command did not reach the camera
  bool displayColours_ = false;    // "ALARM_DISP"
  bool flashBeat_ = true;
};

}  // namespace solvane
