// "Load IR file", "Close IR file", "Play loop" and the Play Control pane in the running
// analyzer: stream files play through the same frame pipeline as the camera, snapshots are
// shown as still frames, and played frames reach a running recording with their own times.
#pragma once

#include "record/ir_file_session.h"
#include "view/frame_pipeline.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QPushButton;
class QSlider;

namespace desktop {
class Notifier;
}

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;
class ExportController;
class RecordController;

inline constexpr const char* kIrFileFilter =
    "IR Files (*.hxr);;Jpeg Files (*.jpg);;All Files (*.*)";
inline constexpr int kRecentFileCount = 4;

// The recent-files list: newest first, no duplicates, at most four entries.
QStringList withRecentFile(QStringList files, const QString& path);

// The Play Control pane's body: the seven buttons, the position slider and the frame number.
class CIRPlayControlDlgDock : public QWidget {
  Q_OBJECT
 public:
  explicit CIRPlayControlDlgDock(QWidget* parent = nullptr);

  // Buttons follow the play mode; everything is off while no stream file is open.
  void showMode(record::PlayMode mode, bool streamOpen);
  void setFrameCount(int32_t count);
  void showPosition(int32_t frame);

  QPushButton* button(const char* objectName) const;
  QSlider* slider() const { return slider_; }
  QLabel* frameNumber() const { return frameNumber_; }

 signals:
  void play();
  void pause();
  void stop();
  void rewind();
  void fastForward();
  void stepBackward();
  void stepForward();
  void seek(int frame);

 private:
  QSlider* slider_ = nullptr;
  QLabel* frameNumber_ = nullptr;
  bool settingPosition_ = false;
};

class PlaybackController : public QObject {
  Q_OBJECT
 public:
  PlaybackController(CMainFrame& frame, CVynCamSDKDoc& document, desktop::Notifier& notifier,
                     FramePipeline& pipeline, ExportController& exports, RecordController& records,
                     std::function<void()> disconnectCamera);
  ~PlaybackController() override;

  // "Load IR file" once the file is chosen; false when nothing was loaded.
  bool open(const std::string& path);
  void close();

  record::IrFileSession& session() { return *session_; }
  CIRPlayControlDlgDock& pane() { return *pane_; }
  QStringList recentFiles() const { return recent_; }

 signals:
  // The frame shown moved (slider and frame number), on the window's thread.
  void positionChanged(int frame);

 private:
  void onFrame(const record::PlayedFrame& played);
  void handle(const record::PlaybackEvent& event);
  void chooseAndOpen();
  void refreshControls();
  void rememberRecent(const QString& path);
  void showStill();

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  desktop::Notifier& notifier_;
  FramePipeline& pipeline_;
  ExportController& exports_;
  RecordController& records_;
  std::function<void()> disconnectCamera_;
  CIRPlayControlDlgDock* pane_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QStringList recent_;

  // What the playback thread composes frames with; set on the window's thread at load.
  std::mutex inputMutex_;
  CameraState camera_;
  PipelineInput input_;
  std::vector<float> table_;
  float level_ = 0;
  float span_ = 0;

  std::unique_ptr<record::SnapshotReader> reader_;
  // Declared last: its thread is ended before the members it uses go.
  std::unique_ptr<record::IrFileSession> session_;
};

}  // namespace solvane
