#include "export/ui/object_log_controller.h"

#include "app/commands.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "desktop/notifier.h"
#include "export/temperature_map.h"
#include "export/ui/select_object_dlg.h"
#include "objects/ui/objects_controller.h"

namespace solvane {
namespace {

exports::ObjectKind logKind(RoiKind kind) {
  return kind == RoiKind::Spot ? exports::ObjectKind::Spot : exports::ObjectKind::Area;
}

}  // namespace

std::vector<exports::ObjectStatistics> logStatistics(const MeasurementResult& result) {
  std::vector<exports::ObjectStatistics> statistics;
  statistics.reserve(result.objects.size());
  for (const ObjectMeasurement& object : result.objects) {
    exports::ObjectStatistics entry;
    entry.id = object.id;
    entry.name = object.name.toStdString();
    entry.kind = logKind(object.kind);
    if (object.stats.valid) {
      entry.temperature = object.stats.avgTemp;
      entry.minimum = object.stats.minTemp;
      entry.maximum = object.stats.maxTemp;
      entry.average = object.stats.avgTemp;
      entry.deviation = object.stats.stdDev;
    }
    statistics.push_back(std::move(entry));
  }
  return statistics;
}

ObjectLogController::ObjectLogController(CMainFrame& frame, CVynCamSDKDoc& document,
                                         desktop::Notifier& notifier, ObjectsController& objects)
    : QObject(&frame), frame_(frame), document_(document), notifier_(notifier), objects_(objects) {
  objectFrame_ = document_.settings().objectFrame;
  objects_.addMeasurementObserver([this](const MeasurementResult& result) { onMeasured(result); });
  frame_.bind(Command::ExportSelectedObject, this, [this](bool) { chooseObjects(); });
  connect(this, &ObjectLogController::logFailed, this,
          [this](const QString&) { notifier_.tell(exports::kFailedToCreateFile); });
}

void ObjectLogController::chooseObjects() {
  std::vector<exports::SelectableObject> placed;
  objects_.objects().withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& list) {
    for (const auto& object : list)
      placed.push_back({object->id(), object->name(), logKind(object->kind())});
  });
  exports::ObjectSelection offered;
  {
    std::lock_guard lock(mutex_);
    // Only objects that still exist are offered as chosen.
    for (const auto& entry : selection_.spots())
      for (const auto& object : placed)
        if (object.id == entry.id) offered.add(entry.id, entry.name, exports::ObjectKind::Spot);
    for (const auto& entry : selection_.areas())
      for (const auto& object : placed)
        if (object.id == entry.id) offered.add(entry.id, entry.name, exports::ObjectKind::Area);
  }
  exports::CSelectObjectDlg dialog(std::move(placed), std::move(offered), &frame_);
  emit selectDialogOpened(&dialog);
  if (dialog.exec() != QDialog::Accepted) return;
  emit selectionChosen(dialog.selection());
  if (dialog.selection().empty()) {
    stop();
    return;
  }
  start(dialog.selection());
}

std::optional<std::string> ObjectLogController::start(exports::ObjectSelection selection) {
  const AnalyzerSettings& s = document_.settings();
  const exports::LogTime now = exports::logTimeNow();
  std::lock_guard lock(mutex_);
  selection_ = selection;
  log_ = exports::ObjectLog(exports::ExportKind::ObjectLog);
  switch (log_.start(s.savePath, s.camName, std::move(selection), now.local)) {
    case exports::LogOutcome::Started: return log_.path();
    case exports::LogOutcome::CannotCreate: notifier_.tell(exports::kFailedToCreateFile); break;
    default: break;
  }
  return std::nullopt;
}

void ObjectLogController::stop() {
  std::lock_guard lock(mutex_);
  log_.stop();
}

std::optional<std::string> ObjectLogController::runningPath() const {
  std::lock_guard lock(mutex_);
  if (!log_.running()) return std::nullopt;
  return log_.path();
}

void ObjectLogController::onMeasured(const MeasurementResult& result) {
  std::lock_guard lock(mutex_);
  if (!log_.running()) return;
  const exports::LogTime now = exports::logTimeNow();
  const std::vector<exports::ObjectStatistics> statistics = logStatistics(result);
  if (log_.onMeasurementPass(statistics, objectFrame_.load(), now.local, now.milliseconds) ==
      exports::LogOutcome::WriteFailed) {
    emit logFailed(QString::fromStdString(log_.path()));  // queued to the window's thread
  }
}

}  // namespace solvane
