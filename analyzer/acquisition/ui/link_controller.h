// The camera link feature: the camera commands, the frame rate and range menus, the rate
// and model panes and the camera-control pane's buttons. Acquisition events arrive queued,
// in order, on the window's thread.
#pragma once

#include "app/commands.h"
#include "app/notifier.h"

#include "acquisition/live_acquisition.h"
#include "view/frame_pipeline.h"
#include "view/ui/thermal_view.h"

#include <QObject>

#include <QObject>
#include <QTimer>

#include <memory>
#include <mutex>

class QPushButton;

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;

struct LiveOptions {
  std::chrono::milliseconds retryDelay{10000};
  std::string port = kCameraPort;
  std::filesystem::path namesFile;
};

class LinkController : public QObject {
  Q_OBJECT
 public:
  LinkController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                 FramePipeline& pipeline, CVynCamSDKView& view, LiveOptions options = {});
  ~LinkController() override;

  // Connect: false when the address is refused or the thread could not start.
  bool connectCamera();
  void disconnectCamera();
  void live();
  void freeze();
  void chooseFrameRate(FrameRateChoice choice, int32_t userDivisor = 0);
  void changeRange(int32_t range);
  void nuc();
  // The image pixel under the mouse, for the mouse temperature of the next frames.
  void setMousePixel(int32_t x, int32_t y);
  // The document's measurement parameters or AGC record changed: the next frames, and a still
  // picture composed again, take them.
  void parametersChanged();
  // The manual window the user chose (Celsius); used while the AGC record says manual.
  void setManualWindow(float level, float span);
  // What the next frame is composed with (the camera range's bounds among it).
  PipelineInput input() const;

  bool isLive() const { return live_; }
  float cameraRate() const { return cameraRate_; }
  LiveAcquisition& acquisition() { return *acquisition_; }
  const std::vector<float>& tempTable() const { return table_; }

 signals:
  // After each event of the acquisition thread was handled (tests wait on it).
  void eventHandled(int kind);
  // A connection was started (true) or ended (false) by the user.
  void linkChanged(bool connected);
  // The user is about to end the connection; the camera still listens.
  void disconnecting();

 private:
  void handle(const AcquisitionEvent& event);
  void onFrame(const IRFrame& frame, const CameraState& camera);
  void applyHeader(const CamHeaderBlock& header);
  void refreshInput();
  void refreshCommands();
  void bindCommands();
  void buildCameraButtons();
  void loadTable(int32_t range);

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  Notifier& notifier_;
  LiveOptions options_;
  FramePipeline& pipeline_;
  CVynCamSDKView* view_ = nullptr;
  std::unique_ptr<LiveAcquisition> acquisition_;
  std::vector<float> table_;
  bool live_ = false;
  bool reducedRate_ = false;
  float cameraRate_ = 30.0f;
  std::array<bool, kRangeCount> rangesOffered_{};
  // A frame record of the window's own, with its own calibration slot, for the KS range
  // tables: the live record's slot is re-made by the receiver whenever a header arrives.
  IRFrame tableFrame_{};
  bool tableSlot_ = false;
  QPushButton* liveButton_ = nullptr;
  QTimer rateWatch_;

  // What the acquisition thread reads for each frame; written on the window's thread.
  mutable std::mutex inputMutex_;
  PipelineInput input_;
  float level_ = 50.0f;
  float span_ = 10.0f;
};

}  // namespace solvane
