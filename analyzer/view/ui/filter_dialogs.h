// The filter dialogs: kernel sizes (box, Gaussian with sigma, stack) and the bilateral
// filter's two parameters; and the user-defined frame rate.
#pragma once

#include "view/frame_pipeline.h"

#include <QDialog>

class QLabel;
class QSpinBox;

namespace solvane {

// Filter menu entries 6..9: asks for the filter's parameters and switches it on (the
// others off). False when the user cancelled.
bool editFilter(int32_t menuIndex, FilterState& filters, QWidget* parent);

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
