// The user-defined frame rate: seconds per frame, with the frames per second they give.
#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QSpinBox;

namespace solvane {

class CCameraFPSSetting : public QDialog {
  Q_OBJECT
 public:
  CCameraFPSSetting(int32_t divisor, float cameraRate, QWidget* parent = nullptr);
  int32_t seconds() const;
  void setSeconds(int32_t seconds);
  // The divisor the chosen seconds give.
  int32_t divisor() const;
  QString rateText() const;

 private:
  void refresh();
  float cameraRate_;
  QSpinBox* seconds_ = nullptr;
  QLabel* rate_ = nullptr;
};

}  // namespace solvane
