// The live window's features, created in one place: the frame pipeline and the thermal view
// they share, the camera link, the display choices and the camera search, and the mouse
// read-out in the status bar.
#pragma once

#include "acquisition/ui/camera_search_controller.h"
#include "acquisition/ui/link_controller.h"
#include "view/frame_pipeline.h"
#include "view/ui/thermal_view.h"
#include "view/ui/view_options_controller.h"

#include <QObject>

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;

class LiveController : public QObject {
  Q_OBJECT
 public:
  LiveController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                 LiveOptions options = {});

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
  LiveAcquisition& acquisition() { return link_->acquisition(); }
  FramePipeline& pipeline() { return pipeline_; }
  CVynCamSDKView& view() { return *view_; }

 signals:
  // After each event of the acquisition thread was handled (tests wait on it).
  void eventHandled(int kind);

 private:
  FramePipeline pipeline_;
  CVynCamSDKView* view_ = nullptr;
  LinkController* link_ = nullptr;
  ViewOptionsController* viewOptions_ = nullptr;
  CameraSearchController* search_ = nullptr;
};

}  // namespace solvane
