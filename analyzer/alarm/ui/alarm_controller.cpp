#include "alarm/ui/alarm_controller.h"

#include "acquisition/ui/link_controller.h"
#include "alarm/ui/alarm_set_dlg.h"
#include "alarm/ui/schedule_dlg.h"
#include "app/commands.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "export/temperature_map.h"
#include "export/ui/export_controller.h"
#include "export/ui/object_log_controller.h"
#include "objects/ui/objects_controller.h"
#include "record/ui/record_controller.h"
#include "settings/ui/environment_controller.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <deque>
#include <limits>
#include <utility>
#include <vector>

namespace solvane {
namespace {

using alarm::ActionSource;
using alarm::ObjectKind;

constexpr int kFlashPeriodMs = 400;

ObjectKind alarmKindOf(RoiKind kind) {
  return kind == RoiKind::Spot ? ObjectKind::Spot : ObjectKind::Area;
}

size_t outputIndex(uint16_t settingId) {
  return settingId == alarm::kDigitalOutput1SettingId ? 0 : 1;
}

size_t slotOf(ActionSource source) { return source == ActionSource::Alarm ? 0 : 1; }

record::RecordKind recordKindOf(ActionSource source) {
  return source == ActionSource::Alarm ? record::RecordKind::Alarm : record::RecordKind::Schedule;
}

alarm::AlarmRecord coreRecord(const AlarmRecord& record) {
  alarm::AlarmRecord out;
  out.id = record.id;
  out.nameSlot = record.nameSlot;
  out.result = record.result;
  out.condition = record.condition;
  out.output = record.output;
  out.value = record.value;
  out.selected = record.selected;
  return out;
}

AlarmRecord objectRecord(const alarm::AlarmRecord& record) {
  AlarmRecord out;
  out.id = record.id;
  out.nameSlot = record.nameSlot;
  out.result = record.result;
  out.condition = record.condition;
  out.output = record.output;
  out.value = record.value;
  out.selected = record.selected;
  return out;
}

std::vector<alarm::ObjectMeasurement> alarmMeasurements(const MeasurementResult& results) {
  std::vector<alarm::ObjectMeasurement> out;
  out.reserve(results.objects.size());
  for (const ObjectMeasurement& object : results.objects) {
    // An object that could not be measured on this frame has no value to compare.
    if (!object.stats.valid) continue;
    alarm::ObjectMeasurement m;
    m.kind = alarmKindOf(object.kind);
    m.objectId = object.id;
    m.name = object.name.toStdString();
    m.value = object.stats.avgTemp;
    m.minimum = object.stats.minTemp;
    m.maximum = object.stats.maxTemp;
    m.average = object.stats.avgTemp;
    out.push_back(std::move(m));
  }
  return out;
}

}  // namespace

alarm::AlarmSettings alarmSettingsOf(const AnalyzerSettings& s) {
  alarm::AlarmSettings a;
  a.display = s.alarmDisplay;
  a.digital = s.alarmDigital;
  a.flash = s.alarmFlash;
  a.store = s.alarmStore;
  a.recordCheck = s.alarmRecordCheck;
  a.recordSelection = s.alarmRecordSelection;
  a.exportObjects = s.alarmExportObjects;
  a.oneShot = s.alarmOneShot;
  a.thresholdMs = s.alarmThresholdMs;
  a.delayMs = s.alarmDelayMs;
  a.intervalMs = s.alarmIntervalMs;
  a.play = s.alarmPlay;
  a.playLoop = s.alarmPlayLoop;
  a.playPath = s.alarmPlayPath;
  return a;
}

void storeAlarmSettings(const alarm::AlarmSettings& a, AnalyzerSettings& s) {
  s.alarmDisplay = a.display;
  s.alarmDigital = a.digital;
  s.alarmFlash = a.flash;
  s.alarmStore = a.store;
  s.alarmRecordCheck = a.recordCheck;
  s.alarmRecordSelection = a.recordSelection;
  s.alarmExportObjects = a.exportObjects;
  s.alarmOneShot = a.oneShot;
  s.alarmThresholdMs = a.thresholdMs;
  s.alarmDelayMs = a.delayMs;
  s.alarmIntervalMs = a.intervalMs;
  s.alarmPlay = a.play;
  s.alarmPlayLoop = a.playLoop;
  s.alarmPlayPath = a.playPath;
}

alarm::ScheduleSettings scheduleSettingsOf(const AnalyzerSettings& s) {
  alarm::ScheduleSettings a;
  a.recurrence = s.schedRecurPattern;
  a.weekDays = s.schedWeekDays;
  a.recordSelection = s.schedRecordSelection;
  a.recordCheck = s.schedRecordCheck;
  a.exportObjects = s.schedExport;
  a.oneShot = s.schedOneShot;
  a.startTime = s.schedStartTime;
  a.stopTime = s.schedStopTime;
  return a;
}

void storeScheduleSettings(const alarm::ScheduleSettings& a, AnalyzerSettings& s) {
  s.schedRecurPattern = a.recurrence;
  s.schedWeekDays = a.weekDays;
  s.schedRecordSelection = a.recordSelection;
  s.schedRecordCheck = a.recordCheck;
  s.schedExport = a.exportObjects;
  s.schedOneShot = a.oneShot;
  s.schedStartTime = a.startTime;
  s.schedStopTime = a.stopTime;
}

exports::ObjectSelection defaultLogSelection(const MeasurementResult& results,
                                             const alarm::AlarmTables* armedIn) {
  exports::ObjectSelection selection;
  for (const ObjectMeasurement& object : results.objects) {
    const ObjectKind kind = alarmKindOf(object.kind);
    if (armedIn) {
      const alarm::AlarmEntry* entry = armedIn->of(kind).find(object.id);
      if (entry == nullptr || entry->record.selected == 0) continue;
    }
    // A kind already holding 30 objects simply takes no more.
    selection.add(object.id, object.name.toStdString(),
                  kind == ObjectKind::Spot ? exports::ObjectKind::Spot : exports::ObjectKind::Area);
  }
  return selection;
}

// Collects the actions of the monitor and the schedule, each with the measurement pass it
// came from (an object log line is that pass's statistics). `handle` runs under the
// controller's lock; `take` runs on the window's thread.
class AlarmController::ActionQueue final : public alarm::AlarmActionSink {
 public:
  struct Entry {
    alarm::AlarmAction action;
    std::shared_ptr<const MeasurementResult> results;
  };

  void handle(const alarm::AlarmAction& action) override {
    std::lock_guard guard(mutex_);
    entries_.push_back(Entry{action, results_});
  }
  // Called under the controller's lock, around one pass.
  void setResults(std::shared_ptr<const MeasurementResult> results) {
    std::lock_guard guard(mutex_);
    results_ = std::move(results);
  }
  std::optional<Entry> take() {
    std::lock_guard guard(mutex_);
    if (entries_.empty()) return std::nullopt;
    Entry next = std::move(entries_.front());
    entries_.pop_front();
    return next;
  }
  bool empty() const {
    std::lock_guard guard(mutex_);
    return entries_.empty();
  }

 private:
  mutable std::mutex mutex_;
  std::deque<Entry> entries_;
  std::shared_ptr<const MeasurementResult> results_;
};

AlarmController::AlarmController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                                 FramePipeline& pipeline, Parts parts,
                                 std::shared_ptr<const alarm::ScheduleClock> clock)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      notifier_(notifier),
      pipeline_(pipeline),
      parts_(parts),
      clock_(clock ? std::move(clock) : std::make_shared<alarm::SystemScheduleClock>()),
      queue_(std::make_unique<ActionQueue>()),
      monitor_(*queue_),
      schedule_(*queue_, *clock_) {
  scheduleTimer_.setSingleShot(true);
  flashTimer_.setInterval(kFlashPeriodMs);
  sound_.setSilenceReporter([this](const QString& note) { output(note); });
  sound_.setErrorReporter([this](const QString& text) { output(text); });

  applySettings();
  refreshRate();
  syncObjects();

  pipeline_.attach(StageSlot::Alarm, [this](FrameContext& c) { return pass(c); });

  QAction* onOff = frame_.command(Command::AlarmOnOff);
  onOff->setToolTip(QStringLiteral("Alarm On/Off"));
  frame_.bind(Command::AlarmOnOff, this, [this](bool checked) { setAlarmSwitch(checked); });

  parts_.environment.addPages([this](settings::CEnvironmentDlg& dialog) { addPages(dialog); });
  connect(&frame_, &CMainFrame::settingsChanged, this, [this] {
    applySettings();
    refreshRate();
    refreshColours();
  });
  connect(&parts_.objects, &ObjectsController::objectsChanged, this, [this] { syncObjects(); });
  connect(&parts_.link, &LinkController::eventHandled, this, [this](int kind) {
    if (kind == static_cast<int>(AcquisitionEvent::Kind::HeaderApplied)) {
      // The family decides the value that switches an output on; outputs left on while the
      // camera was away are switched off now.
      const bool ks = parts_.link.acquisition().camera().ks;
      locked([&] {
        monitor_.cameraConnected(ks ? alarm::CameraFamily::Ks : alarm::CameraFamily::Kt);
      });
      resendLostOffCommands();
      refreshRate();
    }
  });
  // Leaving on purpose, the camera is told first: a siren or relay must not stay on for an
  // alarm nobody watches any more.
  connect(&parts_.link, &LinkController::disconnecting, this,
          [this] { locked([&] { monitor_.releaseOutputs(); }); });
  connect(&frame_, &CMainFrame::closing, this,
          [this] { locked([&] { monitor_.releaseOutputs(); }); });
  connect(&parts_.link, &LinkController::linkChanged, this, [this](bool connected) {
    if (connected) return;
    // The camera goes first, so the outputs it was left with are remembered for the next
    // connection instead of being "switched off" over a closed link.
    locked([&] { monitor_.cameraDisconnected(); });
    streamEnded();
  });
  connect(frame_.command(Command::CloseIrFile), &QAction::changed, this, [this] {
    const CommandContext& c = frame_.commandContext();
    if (!c.fileOpen && !c.acquiring) streamEnded();
  });
  connect(&scheduleTimer_, &QTimer::timeout, this,
          [this] { locked([&] { schedule_.onTimer(); }); });
  connect(&flashTimer_, &QTimer::timeout, this, [this] {
    flashBeat_ = !flashBeat_;
    refreshColours();
  });
  refreshColours();
}

AlarmController::~AlarmController() {
  // The pipeline may outlive this controller by a little: its stage goes first.
  pipeline_.attach(StageSlot::Alarm, {});
  sound_.stop();
}

template <typename Change>
void AlarmController::locked(Change&& change) {
  {
    std::lock_guard guard(lock_);
    change();
  }
  drain();
}

void AlarmController::setAlarmSwitch(bool on) {
  locked([&] { monitor_.setSwitch(on); });
  frame_.updateCommandContext([on](CommandContext& c) { c.alarmOn = on; });
}

bool AlarmController::alarmSwitch() const {
  std::lock_guard guard(lock_);
  return monitor_.switchedOn();
}

alarm::AlarmTables AlarmController::tables() const {
  std::lock_guard guard(lock_);
  return monitor_.tables();
}

void AlarmController::changeTables(const std::function<void(alarm::AlarmTables&)>& change) {
  alarm::AlarmTables after;
  locked([&] {
    change(monitor_.tables());
    after = monitor_.tables();
  });
  // The objects carry their records too (their file keeps them).
  parts_.objects.objects().withObjects([&after](std::vector<std::unique_ptr<CObjectROI>>& list) {
    for (const auto& object : list) {
      const alarm::AlarmEntry* entry = after.of(alarmKindOf(object->kind())).find(object->id());
      if (entry) object->setAlarm(objectRecord(entry->record));
    }
  });
}

alarm::ObjectAlarmState AlarmController::objectState(ObjectKind kind, int32_t objectId) const {
  std::lock_guard guard(lock_);
  return monitor_.objectState(kind, objectId);
}

bool AlarmController::outputOn(alarm::AlarmOutput output) const {
  std::lock_guard guard(lock_);
  return monitor_.outputOn(output);
}

bool AlarmController::scheduleOn() const {
  std::lock_guard guard(lock_);
  return schedule_.switchedOn();
}

bool AlarmController::scheduleActive() const {
  std::lock_guard guard(lock_);
  return schedule_.active();
}

std::optional<std::string> AlarmController::runningLog(ActionSource source) const {
  const auto& log = logs_[slotOf(source)];
  if (!log || !log->running()) return std::nullopt;
  return log->path();
}

bool AlarmController::pass(FrameContext& c) {
  // A still frame composed again is not a new pass of the stream.
  if (c.replay || !c.out.measurements) return true;
  // Streams (the camera, a played file) arrive on threads of their own; a frame composed on
  // the window's thread is a single loaded snapshot, on which the alarm does not run.
  const bool stream = QThread::currentThread() != thread();
  const std::vector<alarm::ObjectMeasurement> measurements = alarmMeasurements(*c.out.measurements);
  std::vector<std::pair<int32_t, alarm::ObjectAlarmState>> states;
  {
    std::lock_guard guard(lock_);
    queue_->setResults(c.out.measurements);
    monitor_.setStreamShown(stream);
    monitor_.runPass(measurements);
    if (stream) {
      schedule_.onPass(monitor_.anyAlarm());
      states.reserve(measurements.size());
      for (const alarm::ObjectMeasurement& m : measurements)
        states.emplace_back(m.objectId, monitor_.objectState(m.kind, m.objectId));
    }
    queue_->setResults(nullptr);
  }
  if (!states.empty()) {
    // The objects keep their place in the state machine (their file stores it).
    parts_.objects.objects().withObjects([&states](std::vector<std::unique_ptr<CObjectROI>>& list) {
      for (const auto& object : list) {
        const auto it = std::find_if(states.begin(), states.end(),
                                     [&](const auto& s) { return s.first == object->id(); });
        if (it == states.end()) continue;
        object->setGeneration(
            GenerationRecord{it->second.generation.state, it->second.generation.count});
      }
    });
  }
  if (!queue_->empty()) requestDrain();
  return true;
}

void AlarmController::requestDrain() {
  // Always queued, even from a snapshot composed on the window's thread: the pass runs
  // inside the pipeline's run, and an action carried out there must not call back into it.
  if (drainRequested_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        drainRequested_ = false;
        drain();
      },
      Qt::QueuedConnection);
}

void AlarmController::drain() {
  // An action may open a message box whose event loop calls back in: the outer loop then
  // carries on with whatever is left, in order.
  if (draining_) return;
  draining_ = true;
  bool any = false;
  while (std::optional<ActionQueue::Entry> next = queue_->take()) {
    carryOut(next->action, next->results);
    any = true;
  }
  draining_ = false;
  if (any) Q_EMIT actionsHandled();
}

void AlarmController::carryOut(const alarm::AlarmAction& action,
                               const std::shared_ptr<const MeasurementResult>& results) {
  if (const auto* flag = std::get_if<alarm::SetAlarmFlag>(&action)) {
    parts_.objects.objects().withObject(
        flag->objectId, [on = flag->on](CObjectROI& object) { object.setGenerationAlarm(on); });
    displayColours_ = flag->alarmColours;
    refreshColours();
  } else if (const auto* flash = std::get_if<alarm::Flash>(&action)) {
    flashBeat_ = true;
    if (flash->on)
      flashTimer_.start();
    else
      flashTimer_.stop();
    refreshColours();
  } else if (const auto* out = std::get_if<alarm::SendDigitalOutput>(&action)) {
    const bool sent = parts_.link.acquisition().sendSetting(out->settingId, out->value,
                                                            out->words[0]) == SDK_SUCCESS;
    // An off command lost with a dropped link would leave the camera's output on: it is
    // sent again once the camera is back.
    offLost_[outputIndex(out->settingId)] = out->value == alarm::kDigitalOutputOff && !sent;
  } else if (const auto* start = std::get_if<alarm::StartRecording>(&action)) {
    parts_.records.startAutomatic(recordKindOf(start->source));
  } else if (const auto* stop = std::get_if<alarm::StopRecording>(&action)) {
    parts_.records.stopAutomatic(recordKindOf(stop->source));
  } else if (const auto* log = std::get_if<alarm::StartObjectLog>(&action)) {
    startLog(log->source, results);
  } else if (const auto* line = std::get_if<alarm::AppendObjectLogLine>(&action)) {
    appendLog(line->source, results);
  } else if (const auto* end = std::get_if<alarm::EndObjectLog>(&action)) {
    logs_[slotOf(end->source)].reset();
  } else if (std::holds_alternative<alarm::TakeOneShot>(action)) {
    parts_.exports.saveOneShot();
  } else if (const auto* sound = std::get_if<alarm::StartSound>(&action)) {
    sound_.start(QString::fromStdString(sound->path), sound->loop);
  } else if (std::holds_alternative<alarm::StopSound>(action)) {
    sound_.stop();
  } else if (const auto* arm = std::get_if<alarm::ArmScheduleTimer>(&action)) {
    armScheduleTimer(*arm);
  } else if (std::holds_alternative<alarm::CancelScheduleTimer>(action)) {
    scheduleTimer_.stop();
  }
}

void AlarmController::resendLostOffCommands() {
  for (uint16_t id : {alarm::kDigitalOutput1SettingId, alarm::kDigitalOutput2SettingId}) {
    bool& lost = offLost_[outputIndex(id)];
    if (lost)
      lost = parts_.link.acquisition().sendSetting(id, alarm::kDigitalOutputOff) != SDK_SUCCESS;
  }
}

void AlarmController::startLog(ActionSource source,
                               const std::shared_ptr<const MeasurementResult>& results) {
  if (!results) return;
  exports::ObjectSelection selection;
  if (logSelection_) {
    selection = *logSelection_;
  } else if (source == ActionSource::Alarm) {
    const alarm::AlarmTables armed = tables();
    selection = defaultLogSelection(*results, &armed);
  } else {
    selection = defaultLogSelection(*results, nullptr);
  }
  auto& log = logs_[slotOf(source)];
  log.emplace(source == ActionSource::Alarm ? exports::ExportKind::AlarmObjectLog
                                            : exports::ExportKind::ScheduleObjectLog);
  const AnalyzerSettings& s = document_.settings();
  const exports::LogOutcome outcome =
      log->start(s.savePath, s.camName, std::move(selection), exports::logTimeNow().local);
  if (outcome == exports::LogOutcome::CannotCreate)
    notifier_.tell(exports::kFailedToCreateFile, "Error Message", Severity::Error);
  if (outcome != exports::LogOutcome::Started) log.reset();
}

void AlarmController::appendLog(ActionSource source,
                                const std::shared_ptr<const MeasurementResult>& results) {
  auto& log = logs_[slotOf(source)];
  if (!log || !results) return;
  const exports::LogTime now = exports::logTimeNow();
  const std::vector<exports::ObjectStatistics> statistics = logStatistics(*results);
  // The monitor already counts "OBJECT FRAME": each line it asks for is written.
  if (log->onMeasurementPass(statistics, 1, now.local, now.milliseconds) ==
      exports::LogOutcome::WriteFailed) {
    output(QStringLiteral("The object log %1 could not be written; it stops.")
               .arg(QString::fromStdString(log->path())));
    log.reset();
  }
}

void AlarmController::armScheduleTimer(const alarm::ArmScheduleTimer& arm) {
  // The due instant counts, not the delay: the action may be carried out a little later.
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(arm.due - clock_->now());
  const auto bounded = std::clamp<int64_t>(left.count(), 0, std::numeric_limits<int>::max());
  scheduleTimer_.start(static_cast<int>(bounded));
}

void AlarmController::addPages(settings::CEnvironmentDlg& dialog) {
  auto* alarmPage = new alarm::CAlarmSetDlg(notifier_, &dialog);
  alarmPage->setSilenceReporter([this](const QString& note) { output(note); });
  dialog.addPage(QStringLiteral("Alarm"), alarmPage,
                 settings::PageHooks{[this, alarmPage](const AnalyzerSettings& s) {
                                       alarmPage->load(tables(), alarmSettingsOf(s), s.tempUnit);
                                     },
                                     [alarmPage](AnalyzerSettings& s) {
                                       // The tables are taken on OK only; previews read the keys
                                       // alone.
                                       alarm::AlarmTables scratch;
                                       alarm::AlarmSettings a = alarmSettingsOf(s);
                                       alarmPage->store(scratch, a);
                                       storeAlarmSettings(a, s);
                                       return std::string();
                                     }});
  auto* schedulePage = new alarm::CScheduleDlg(notifier_, &dialog);
  dialog.addPage(QStringLiteral("Schedule"), schedulePage,
                 settings::PageHooks{[this, schedulePage](const AnalyzerSettings& s) {
                                       std::optional<alarm::Schedule::Times> times;
                                       {
                                         std::lock_guard guard(lock_);
                                         if (schedule_.switchedOn()) times = schedule_.times();
                                       }
                                       schedulePage->load(scheduleSettingsOf(s), times.has_value());
                                       if (times)
                                         schedulePage->showTimes(*times);
                                       else
                                         schedulePage->clearTimes();
                                     },
                                     [schedulePage](AnalyzerSettings& s) {
                                       alarm::ScheduleSettings a = scheduleSettingsOf(s);
                                       schedulePage->store(a);
                                       storeScheduleSettings(a, s);
                                       return std::string();
                                     }});

  locked([&] { monitor_.setEnvironmentDialogOpen(true); });
  connect(&dialog, &QDialog::finished, this,
          [this] { locked([&] { monitor_.setEnvironmentDialogOpen(false); }); });
  connect(&dialog, &QDialog::accepted, this, [this, alarmPage, schedulePage] {
    alarm::AlarmTables edited;
    alarm::AlarmSettings unused;
    alarmPage->store(edited, unused);
    // Objects placed or deleted while the dialog was open keep their own entries: only
    // the records of entries that still exist take the page's values.
    changeTables([&edited](alarm::AlarmTables& live) {
      for (ObjectKind kind : {ObjectKind::Spot, ObjectKind::Area}) {
        for (const alarm::AlarmEntry& entry : edited.of(kind).entries()) {
          if (alarm::AlarmEntry* target = live.of(kind).find(entry.record.id))
            target->record = entry.record;
        }
      }
    });
    if (!schedulePage->activateSchedule()) {
      locked([&] { schedule_.stop(); });
      return;
    }
    alarm::ScheduleSettings wanted;
    schedulePage->store(wanted);
    std::optional<alarm::UserMessage> refusal;
    locked([&] { refusal = schedule_.start(wanted); });
    // Told after the lock is released: the box must not hold up the pipeline.
    if (refusal) notifier_.tell(refusal->text, refusal->title, Severity::Warning);
  });
}

void AlarmController::applySettings() {
  const AnalyzerSettings& s = document_.settings();
  displayColours_ = s.alarmDisplay;
  locked([&] {
    monitor_.setSettings(alarmSettingsOf(s));
    monitor_.setObjectFrame(s.objectFrame);
    schedule_.setObjectFrame(s.objectFrame);
  });
}

void AlarmController::showFrame(const std::shared_ptr<const ComposedFrame>&) { refreshRate(); }

void AlarmController::refreshRate() {
  const std::pair<double, int32_t> now{parts_.link.cameraRate(),
                                       parts_.link.acquisition().divisor()};
  if (rate_ == now) return;
  rate_ = now;
  locked([&] { monitor_.setFrameRate(now.first, now.second); });
}

void AlarmController::syncObjects() {
  struct Carried {
    ObjectKind kind;
    int32_t id;
    std::string name;
    AlarmRecord record;
  };
  std::vector<Carried> present;
  std::vector<int32_t> adopted;
  parts_.objects.objects().withObjects(
      [&present](const std::vector<std::unique_ptr<CObjectROI>>& list) {
        for (const auto& object : list)
          present.push_back(Carried{alarmKindOf(object->kind()), object->id(),
                                    object->name().toStdString(), object->alarm()});
      });
  locked([&] {
    alarm::AlarmTables& tables = monitor_.tables();
    for (ObjectKind kind : {ObjectKind::Spot, ObjectKind::Area}) {
      std::vector<int32_t> gone;
      for (const alarm::AlarmEntry& entry : tables.of(kind).entries()) {
        const bool kept = std::any_of(present.begin(), present.end(), [&](const Carried& c) {
          return c.kind == kind && c.id == entry.record.id;
        });
        if (!kept) gone.push_back(entry.record.id);
      }
      for (int32_t id : gone) monitor_.removeObject(kind, id);
    }
    // Objects that came with records of their own (from their file) bring them along.
    for (const Carried& c : present) {
      if (tables.of(c.kind).find(c.id) != nullptr) continue;
      alarm::AlarmRecord record = coreRecord(c.record);
      record.id = c.id;
      if (tables.of(c.kind).adopt(record, c.name)) adopted.push_back(c.id);
    }
  });
  // The alarm state a file brought along belongs to another run: an object starts idle
  // here, rather than showing an alarm no pass of this run raised.
  if (adopted.empty()) return;
  parts_.objects.objects().withObjects([&adopted](std::vector<std::unique_ptr<CObjectROI>>& list) {
    for (const auto& object : list) {
      if (std::find(adopted.begin(), adopted.end(), object->id()) == adopted.end()) continue;
      object->setGeneration(GenerationRecord{});
      object->setGenerationAlarm(false);
    }
  });
}

void AlarmController::streamEnded() {
  locked([&] { monitor_.setStreamShown(false); });
}

void AlarmController::refreshColours() {
  parts_.objects.setAlarmColours(displayColours_ && flashBeat_);
}

void AlarmController::output(const QString& line) {
  if (QPlainTextEdit* pane = parts_.objects.outputPane()) pane->appendPlainText(line);
}

}  // namespace solvane
