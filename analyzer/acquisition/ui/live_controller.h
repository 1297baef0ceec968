// The live window's features, created in one place: the frame pipeline and the thermal view
// they share, the camera link, the display choices and the camera search, and the mouse
// read-out in the status bar.
#pragma once

#include "acquisition/ui/camera_search_controller.h"
#include "acquisition/ui/link_controller.h"
#include "controls/ui/controls_controller.h"
#include "graphs/ui/graphs_controller.h"
#include "objects/ui/objects_controller.h"
#include "settings/ui/environment_controller.h"
#include "view/frame_pipeline.h"
#include "view/ui/thermal_view.h"
#include "view/ui/view_options_controller.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>

namespace solvane {

class AlarmController;
class CMainFrame;
class CVynCamSDKDoc;
class ExportController;
namespace controls {
class CLocalEmissivityDlg;
}
class ObjectLogController;
class RecordController;
class PlaybackController;

class LiveController : public QObject {
  Q_OBJECT
 public:
  LiveController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                 LiveOptions options = {});
  ~LiveController() override;

  bool connectCamera() { return link_->connectCamera(); }
  void disconnectCamera() { link_->disconnectCamera(); }
  void live() { link_->live(); }
  void freeze() { link_->freeze(); }
  bool isLive() const { return link_->isLive(); }
  void chooseFrameRate(FrameRateChoice choice, int32_t userDivisor = 0) {
    link_->chooseFrameRate(choice, userDivisor);
  }
  void changeRange(int32_t range) { link_->changeRange(range); }
  void nuc() { link_->nuc(); }
  float cameraRate() const { return link_->cameraRate(); }

  LinkController& link() { return *link_; }
  ViewOptionsController& viewOptions() { return *viewOptions_; }
  ObjectsController& objects() { return *objects_; }
  LiveAcquisition& acquisition() { return link_->acquisition(); }
  FramePipeline& pipeline() { return pipeline_; }
  CVynCamSDKView& view() { return *view_; }
  ControlsController& controls() { return *controls_; }
  GraphsController& graphs() { return *graphs_; }
  ExportController& exports() { return *exports_; }
  ObjectLogController& objectLog() { return *objectLog_; }
  RecordController& records() { return *records_; }
  PlaybackController& playback() { return *playback_; }
  AlarmController& alarms() { return *alarms_; }

  // Composes the still frame again with the current display choices, off the window's
  // thread; the view shows it when done. Nothing happens while live: the next frame will.
  void rerenderStill();
  // "Local Emissivity..." of an object's context menu.
  void editLocalEnvironment(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                            int32_t objectId);

 signals:
  // After each event of the acquisition thread was handled (tests wait on it).
  void eventHandled(int kind);
  // The newest composed frame, each time the window is told of new ones.
  void frameComposed(const std::shared_ptr<const ComposedFrame>& frame);
  // "Local Emissivity..." is up (tests drive it from here).
  void localEnvironmentDialogOpened(controls::CLocalEmissivityDlg* dialog);

 private:
  void handle(const PipelineEvent& event);

  CVynCamSDKDoc& document_;
  FramePipeline pipeline_;
  // One re-render at a time; declared after the pipeline so that it is waited for first.
  QThreadPool rerender_;
  // A composed frame is already queued for the view: later ones need no event of their own.
  std::atomic<bool> viewUpdateQueued_{false};
  CVynCamSDKView* view_ = nullptr;
  LinkController* link_ = nullptr;
  ViewOptionsController* viewOptions_ = nullptr;
  CameraSearchController* search_ = nullptr;
  ControlsController* controls_ = nullptr;
  GraphsController* graphs_ = nullptr;
  settings::EnvironmentController* environment_ = nullptr;
  std::optional<float> lastMouseTemp_;  // the status bar reads it again in a new unit
  ExportController* exports_ = nullptr;
  ObjectLogController* objectLog_ = nullptr;
  RecordController* records_ = nullptr;
  PlaybackController* playback_ = nullptr;
  ObjectsController* objects_ = nullptr;
  AlarmController* alarms_ = nullptr;
};

}  // namespace solvane
