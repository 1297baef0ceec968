// "Export Selected Object" in the running analyzer: the user picks objects in "Select Object"
// and their statistics go into a CSV object log, one line every "OBJECT FRAME" measurement
// passes. The lines are written on the thread that measured the frame, so a busy window
// never makes the log skip a pass.
#pragma once

#include "export/object_log.h"

#include <QObject>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace desktop {
class Notifier;
}

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;
class ObjectsController;
struct MeasurementResult;

namespace exports {
class CSelectObjectDlg;
}

// The statistics an object log writes, from one measurement pass (°C; an object that could
// not be measured logs zeros like a deleted one).
std::vector<exports::ObjectStatistics> logStatistics(const MeasurementResult& result);

class ObjectLogController : public QObject {
  Q_OBJECT
 public:
  ObjectLogController(CMainFrame& frame, CVynCamSDKDoc& document, desktop::Notifier& notifier,
                      ObjectsController& objects);

  // Opens "Select Object" with the placed objects and the running log's choice; OK starts a
  // new log of the chosen objects, or ends the running one when nothing is chosen.
  void chooseObjects();
  // Starts a log of `selection` under SAVE PATH (the running one ends first). The file
  // written, or nothing when nothing was chosen or the file could not be made (told).
  std::optional<std::string> start(exports::ObjectSelection selection);
  void stop();
  // "OBJECT FRAME": every how many passes a line is written.
  void setObjectFrame(int objectFrame) { objectFrame_ = objectFrame; }
  // The running log's file.
  std::optional<std::string> runningPath() const;

 signals:
  // "Select Object" is up (tests drive it from here).
  void selectDialogOpened(exports::CSelectObjectDlg* dialog);
  // The running log could not take a line and ended; on the window's thread.
  void logFailed(QString path);
  // The user chose the objects to log ("Select Object"); alarm and schedule logs take the
  // same choice.
  void selectionChosen(const exports::ObjectSelection& selection);

 private:
  void onMeasured(const MeasurementResult& result);  // the measuring thread

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  desktop::Notifier& notifier_;
  ObjectsController& objects_;
  std::atomic<int> objectFrame_{2};
  mutable std::mutex mutex_;  // the log is started by the window and fed by the measurement
  exports::ObjectLog log_;
  exports::ObjectSelection selection_;  // the last choice, offered again
};

}  // namespace solvane
