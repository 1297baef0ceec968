// "Save OneShot Image" and "Export Temp. Data" in the running analyzer: the picture the view
// shows with its range and colour bar, saved with the frame's raw counts, and the frame's
// temperature map written on a short-lived thread of its own.
#pragma once

#include "export/temperature_map.h"
#include "export/ui/frame_keeper.h"

#include <QObject>

#include <optional>
#include <string>

namespace desktop {
class Notifier;
}

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;
class CVynCamSDKView;
class FramePipeline;

inline constexpr const char* kSnapshotFailedTitle = "Error Message";

class ExportController : public QObject {
  Q_OBJECT
 public:
  ExportController(CMainFrame& frame, CVynCamSDKDoc& document, desktop::Notifier& notifier,
                   FramePipeline& pipeline, CVynCamSDKView& view);
  ~ExportController() override;

  FrameKeeper& frames() { return keeper_; }
  // While a snapshot loaded from disk is shown, "Save OneShot Image" writes over it.
  void setLoadedSnapshot(std::optional<std::string> path) { loadedSnapshot_ = std::move(path); }

  // The commands' work; each returns the file written, or nothing when there was no frame or
  // the write failed (the user was told why).
  std::optional<std::string> saveOneShot();
  std::optional<std::string> exportTemperatureMap();
  // Waits for the temperature maps still being written.
  void waitForExports() { tempMaps_.waitAll(); }

 signals:
  // A temperature map ended, on the window's thread.
  void temperatureMapDone(QString path, bool written);

 private:
  CVynCamSDKDoc& document_;
  desktop::Notifier& notifier_;
  FramePipeline& pipeline_;
  CVynCamSDKView& view_;
  FrameKeeper keeper_;
  std::optional<std::string> loadedSnapshot_;
  exports::TemperatureMapExporter tempMaps_;
};

}  // namespace solvane
