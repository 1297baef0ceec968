// The About box: program name and the version of this build.
#pragma once

#include <QDialog>

class QLabel;

namespace solvane {

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  CAboutDlg(const QString& caption, QWidget* parent = nullptr);
  QString caption() const;

 private:
  QLabel* caption_;
};

}  // namespace solvane
