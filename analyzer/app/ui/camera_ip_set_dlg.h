// The camera-IP dialog: one IPv4 address in dotted decimal.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace solvane {

class CCameraIPSetDlg : public QDialog {
  Q_OBJECT
 public:
  CCameraIPSetDlg(const QString& address, QWidget* parent = nullptr);
  QString address() const;
  void setAddress(const QString& address);
  // Four numbers 0..255 separated by dots.
  bool hasCompleteAddress() const;

 private:
  QLineEdit* edit_;
  QPushButton* ok_;
};

}  // namespace solvane
