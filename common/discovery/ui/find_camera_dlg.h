// The camera finder dialog of both programs: the controller's CFindCameraDlg hands back the
// chosen camera's IP address, the analyzer's CFindCamera also its name.
#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>
#include <memory>

#include "discovery/core/camera_finder.h"

class QPushButton;
class QTreeView;

namespace discovery {
class CameraListModel;
class QtSocketWatcher;
class MessageBoxNotifier;

// What the dialog runs on; every member left empty takes the program's own: the DNS-SD
// library bound at run time, message boxes, and the names file beside the executable.
struct FinderSetup {
  DnsSdApi* api = nullptr;
  MessageNotifier* notifier = nullptr;
  std::filesystem::path namesFile;
};
}  // namespace discovery

class CFindCameraDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CFindCameraDlg(QWidget* parent = nullptr, discovery::FinderSetup setup = {});
  ~CFindCameraDlg() override;

  // The selected camera's IP address once the dialog closed with OK.
  QString ipAddress() const;

  void done(int result) override;

  QTreeView* cameraList() const { return list_; }
  QPushButton* refreshButton() const { return refresh_; }
  QPushButton* selectButton() const { return select_; }
  QPushButton* cancelButton() const { return cancel_; }
  discovery::CameraFinder& finder() { return *finder_; }

 protected:
  QString selectedName() const;

 private:
  void selectCamera();
  void closeFinder();

  std::unique_ptr<discovery::MessageBoxNotifier> messageBoxes_;
  std::unique_ptr<discovery::QtSocketWatcher> watcher_;
  std::unique_ptr<discovery::CameraFinder> finder_;
  discovery::CameraListModel* model_ = nullptr;
  QTreeView* list_ = nullptr;
  QPushButton* refresh_ = nullptr;
  QPushButton* select_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool closed_ = false;
};

// The analyzer's finder: the same dialog, also answering the chosen camera's name.
class CFindCamera : public CFindCameraDlg {
  Q_OBJECT

 public:
  using CFindCameraDlg::CFindCameraDlg;
  QString cameraName() const { return selectedName(); }
};
