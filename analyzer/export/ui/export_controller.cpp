#include "export/ui/export_controller.h"

#include "app/notifier.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "export/file_names.h"
#include "export/snapshot_export.h"
#include "view/ui/thermal_view.h"

#include <irdex.h>

namespace solvane {

ExportController::ExportController(CMainFrame& frame, CVynCamSDKDoc& document,
                                   desktop::Notifier& notifier, FramePipeline& pipeline,
                                   CVynCamSDKView& view)
    : QObject(&frame),
      document_(document),
      notifier_(notifier),
      pipeline_(pipeline),
      view_(view),
      keeper_(pipeline),
      tempMaps_([this](const std::string& path, exports::TempMapOutcome outcome) {
        // On the export thread: the message box and the signal belong to the window's.
        const bool written = outcome == exports::TempMapOutcome::Written;
        const bool failed = outcome == exports::TempMapOutcome::CannotCreate ||
                            outcome == exports::TempMapOutcome::WriteFailed;
        QMetaObject::invokeMethod(
            this,
            [this, path, written, failed] {
              if (failed) notifier_.tell(exports::kFailedToCreateFile, "Error Message");
              emit temperatureMapDone(QString::fromStdString(path), written);
            },
            Qt::QueuedConnection);
      }) {
  frame.bind(Command::SaveOneShot, this, [this](bool) { saveOneShot(); });
  frame.bind(Command::ExportTempData, this, [this](bool) { exportTemperatureMap(); });
}

ExportController::~ExportController() {
  // An export thread may still report to this object: let every one end first.
  tempMaps_.waitAll();
}

std::optional<std::string> ExportController::saveOneShot() {
  const auto composed = pipeline_.latest();
  QImage picture = view_.composedPicture();
  if (!composed || picture.isNull()) return std::nullopt;
  const AnalyzerSettings& settings = document_.settings();
  std::array<uint8_t, 768> palette{};
  if (GetImageLUT(palette.data(), settings.palette, settings.invert ? 1 : 0) != SDK_SUCCESS)
    GetImageLUT(palette.data(), kGreyPalette, 0);
  exports::composeSnapshotPicture(picture, composed->level, composed->span, settings.tempUnit,
                                  palette);

  document_.rebuildIrInfoBlock();
  const std::optional<RawFrameCopy> raw = keeper_.latest();
  std::optional<snapshot::IrData> ir;
  // The counts go in only when they are the picture's own frame.
  if (raw && raw->width == composed->width && raw->height == composed->height)
    ir = exports::irDataOf(document_.irInfoBlock(), raw->header, raw->pixels.data(), raw->width,
                           raw->height);

  const std::string path = exports::snapshotPath(settings.savePath, settings.camName,
                                                 exports::localTimeNow(), loadedSnapshot_);
  const exports::SnapshotOutcome outcome =
      exports::saveSnapshot(path, picture, ir ? &*ir : nullptr);
  if (!outcome.ok) {
    notifier_.tell(outcome.error, kSnapshotFailedTitle, Severity::Error);
    return std::nullopt;
  }
  return outcome.path;
}

std::optional<std::string> ExportController::exportTemperatureMap() {
  const auto composed = pipeline_.latest();
  if (!composed || composed->temps.empty()) return std::nullopt;
  const AnalyzerSettings& settings = document_.settings();
  const std::string path =
      exports::exportFileName(settings.savePath, settings.camName,
                              exports::ExportKind::TemperatureMap, exports::localTimeNow());
  // The composed frame's temperatures are the frame's own conversion (the range table for KT
  // cameras, the camera's calibration for KS ones); the frame is shared, never copied here,
  // and stays alive with the export thread.
  tempMaps_.start(path, composed->width, composed->height, [composed] { return composed->temps; });
  return path;
}

}  // namespace solvane
