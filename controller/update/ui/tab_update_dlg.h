// The "Update" page: choose an update file, see its name and version, and send it to the
// camera block by block with a progress bar and a Cancel button.
#pragma once

#include <QWidget>
#include <memory>

#include "update/firmware_update.h"
#include "update/ui/update_page_port.h"

class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tessor {

class CTabUpdateDlg : public QWidget {
  Q_OBJECT

 public:
  // The port belongs to the host window and outlives the page.
  explicit CTabUpdateDlg(UpdatePagePort& port, QWidget* parent = nullptr);
  ~CTabUpdateDlg() override;

  // The buttons' actions, callable by the host and by tests.
  void selectFile();
  void startUpdate();
  void cancelUpdate();

  bool updating() const { return updating_; }
  QString informationText() const;
  QString pathText() const;
  int progressValue() const;

 private:
  void onProgress(int sent, int total);
  void onFinished(const FirmwareUpdateResult& result);
  void setUpdating(bool on);

  UpdatePagePort& port_;
  std::shared_ptr<const UpdateFile> file_;
  QPushButton* fileButton_ = nullptr;
  QLineEdit* path_ = nullptr;
  QPlainTextEdit* information_ = nullptr;
  QLineEdit* status_ = nullptr;
  QPushButton* updateButton_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  bool updating_ = false;  // from Update until the worker's result is shown
  // Last member: stopped and joined before the widgets go.
  FirmwareUpdateWorker worker_;
};

}  // namespace tessor
