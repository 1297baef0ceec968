// "Search cameras on the local network": picks the camera to dial from the finder's list.
#pragma once

#include <QObject>

#include <functional>

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;

class CameraSearchController : public QObject {
  Q_OBJECT
 public:
  // `busy` tells whether a connection is kept (the search is refused meanwhile).
  CameraSearchController(CMainFrame& frame, CVynCamSDKDoc& document, std::function<bool()> busy);

  void search();

 private:
  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  std::function<bool()> busy_;
};

}  // namespace solvane
