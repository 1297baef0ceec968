#include "update/ui/tab_update_dlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessor {

CTabUpdateDlg::CTabUpdateDlg(UpdatePagePort& port, QWidget* parent) : QWidget(parent), port_(port) {
  setAccessibleName("Update");
  auto* layout = new QVBoxLayout(this);
  auto* fileRow = new QHBoxLayout;
  fileButton_ = new QPushButton("File Selection", this);
  fileButton_->setAccessibleName("File Selection");
  path_ = new QLineEdit(this);
  path_->setReadOnly(true);
  path_->setAccessibleName("Update file path");
  fileRow->addWidget(fileButton_);
  fileRow->addWidget(path_, 1);
  layout->addLayout(fileRow);

  auto* infoGroup = new QGroupBox("Update file information", this);
  infoGroup->setAccessibleName("Update file information");
  auto* infoLayout = new QVBoxLayout(infoGroup);
  information_ = new QPlainTextEdit(infoGroup);
  information_->setReadOnly(true);
  information_->setAccessibleName("File information");
  status_ = new QLineEdit(infoGroup);
  status_->setReadOnly(true);
  status_->setAccessibleName("Update status");
  infoLayout->addWidget(information_);
  infoLayout->addWidget(status_);
  layout->addWidget(infoGroup);

  auto* updateRow = new QHBoxLayout;
  updateButton_ = new QPushButton("Update", this);
  updateButton_->setAccessibleName("Update");
  progress_ = new QProgressBar(this);
  progress_->setAccessibleName("Update progress");
  progress_->setRange(0, 1);
  progress_->setValue(0);
  cancelButton_ = new QPushButton("Cancel", this);
  cancelButton_->setAccessibleName("Cancel");
  cancelButton_->setEnabled(false);
  updateRow->addWidget(updateButton_);
  updateRow->addWidget(progress_, 1);
  updateRow->addWidget(cancelButton_);
  layout->addLayout(updateRow);

  connect(fileButton_, &QPushButton::clicked, this, &CTabUpdateDlg::selectFile);
  connect(updateButton_, &QPushButton::clicked, this, &CTabUpdateDlg::startUpdate);
  connect(cancelButton_, &QPushButton::clicked, this, &CTabUpdateDlg::cancelUpdate);
}

CTabUpdateDlg::~CTabUpdateDlg() { worker_.cancel(); }

QString CTabUpdateDlg::informationText() const { return information_->toPlainText(); }
QString CTabUpdateDlg::pathText() const { return path_->text(); }
int CTabUpdateDlg::progressValue() const { return progress_->value(); }

void CTabUpdateDlg::selectFile() {
  if (updating_) return;  // the file being sent stays as it is
  const auto path = port_.chooseUpdateFile();
  if (!path) return;
  UpdateFileOutcome outcome = readUpdateFile(*path);
  if (!outcome.ok) {
    port_.message(outcome.error, outcome.error == kOpenFailedText ? "" : "Error Message",
                  MessageIcon::Error);
    return;
  }
  auto file = std::make_shared<UpdateFile>(std::move(outcome.file));
  path_->setText(QString::fromStdString(*path));
  information_->setPlainText(QString::fromStdString(file->informationText()));
  status_->clear();
  progress_->setRange(0, file->blockCount);
  progress_->setValue(0);
  const bool crcMatches = file->crcMatches();
  file_ = std::move(file);
  if (!crcMatches) port_.message(kCrcErrorText, kWarningCaption, MessageIcon::Error);
}

void CTabUpdateDlg::startUpdate() {
  if (updating_) return;
  const UpdatePlan plan = planUpdate(file_.get(), port_.cameraFirmwareVersion());
  if (plan.refusal) {
    port_.message(plan.refusal->text, plan.refusal->caption, MessageIcon::Error);
    return;
  }
  for (const UpdateMessage& question : plan.questions)
    if (!port_.ask(question.text, question.caption)) return;

  setUpdating(true);
  progress_->setValue(0);
  status_->setText("Sending...");
  QPointer<CTabUpdateDlg> page(this);
  UpdatePagePort* port = &port_;
  worker_.start(
      file_,
      [port](const FirmwareBlockRecord& record, std::stop_token stop) {
        return port->sendFirmwareBlock(record, stop);
      },
      [page](int sent, int total) {
        QMetaObject::invokeMethod(
            page,
            [page, sent, total] {
              if (page) page->onProgress(sent, total);
            },
            Qt::QueuedConnection);
      },
      [page](const FirmwareUpdateResult& result) {
        QMetaObject::invokeMethod(
            page,
            [page, result] {
              if (page) page->onFinished(result);
            },
            Qt::QueuedConnection);
      });
}

void CTabUpdateDlg::cancelUpdate() { worker_.cancel(); }

void CTabUpdateDlg::onProgress(int sent, int total) {
  progress_->setValue(sent);
  status_->setText(QString("Block %1 of %2 sent").arg(sent).arg(total));
}

void CTabUpdateDlg::onFinished(const FirmwareUpdateResult& result) {
  setUpdating(false);
  switch (result.outcome) {
    case FirmwareUpdateOutcome::Completed: status_->setText("Completed"); break;
    case FirmwareUpdateOutcome::Cancelled: status_->setText("Cancelled"); break;
    case FirmwareUpdateOutcome::SendFailed:
      status_->setText(QString("Block %1 was not taken by the camera").arg(result.failedBlock));
      break;
  }
  const UpdateMessage done = finishMessage(result);
  port_.message(
      done.text, done.caption,
      result.outcome == FirmwareUpdateOutcome::Completed ? MessageIcon::None : MessageIcon::Error);
}

void CTabUpdateDlg::setUpdating(bool on) {
  updating_ = on;
  fileButton_->setEnabled(!on);
  updateButton_->setEnabled(!on);
  cancelButton_->setEnabled(on);
}

}  // namespace tessor
