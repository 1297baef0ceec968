// The KS motorized zoom and focus window: four buttons that drive the motors while held.
#pragma once

#include <QDialog>

#include "pages/core/motor_drive.h"

class QPushButton;

class CKSMotorizedDlg : public QDialog {
  Q_OBJECT

 public:
  CKSMotorizedDlg(pages::MotorDrive& drive, QWidget* parent = nullptr);
  ~CKSMotorizedDlg() override;

  QPushButton* button(pages::MotorAxis axis, pages::MotorDirection direction) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  pages::MotorDrive& drive_;
  QPushButton* buttons_[2][2] = {};
};
