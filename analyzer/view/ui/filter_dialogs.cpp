#include "view/ui/filter_dialogs.h"

#include "acquisition/frame_rate.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace solvane {
namespace {

QDialogButtonBox* okCancel(QDialog& dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

QSpinBox* intBox(int value, int low, int high, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

QDoubleSpinBox* floatBox(double value, double low, double high, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(low, high);
  box->setDecimals(2);
  box->setValue(value);
  return box;
}

}  // namespace

bool editFilter(int32_t menuIndex, FilterState& f, QWidget* parent) {
  QDialog dialog(parent);
  auto* form = new QFormLayout(&dialog);
  QSpinBox* first = nullptr;
  QSpinBox* second = nullptr;
  QDoubleSpinBox* sigma = nullptr;
  QDoubleSpinBox* spatial = nullptr;
  QDoubleSpinBox* range = nullptr;
  if (menuIndex == 9) {
    dialog.setObjectName("CBilateralFilterDlg");
    dialog.setWindowTitle("Bi-Lateral filter");
    spatial = floatBox(f.bilateralSpatial, 0.1, 50.0, &dialog);
    range = floatBox(f.bilateralRange, 0.1, 255.0, &dialog);
    form->addRow("Spatial sigma", spatial);
    form->addRow("Range sigma", range);
  } else {
    dialog.setObjectName("CKernelSizeDlg");
    dialog.setWindowTitle("Kernel Size");
    if (menuIndex == 6) {
      first = intBox(f.boxSize, 1, 99, &dialog);
      form->addRow("Kernel size", first);
    } else if (menuIndex == 7) {
      first = intBox(f.gaussianWidth, 1, 99, &dialog);
      second = intBox(f.gaussianHeight, 1, 99, &dialog);
      sigma = floatBox(f.gaussianSigma, 0.1, 50.0, &dialog);
      form->addRow("Kernel width", first);
      form->addRow("Kernel height", second);
      form->addRow("Sigma", sigma);
    } else {
      first = intBox(f.stackRadius, 1, 99, &dialog);
      form->addRow("Radius", first);
    }
  }
  form->addRow(okCancel(dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  f.bilateral = f.box = f.gaussian = f.stack = false;
  switch (menuIndex) {
    case 6:
      f.box = true;
      f.boxSize = first->value();
      break;
    case 7:
      f.gaussian = true;
      f.gaussianWidth = first->value();
      f.gaussianHeight = second->value();
      f.gaussianSigma = static_cast<float>(sigma->value());
      break;
    case 8:
      f.stack = true;
      f.stackRadius = first->value();
      break;
    default:
      f.bilateral = true;
      f.bilateralSpatial = static_cast<float>(spatial->value());
      f.bilateralRange = static_cast<float>(range->value());
      break;
  }
  return true;
}

CCameraFPSSetting::CCameraFPSSetting(int32_t divisor, float cameraRate, QWidget* parent)
    : QDialog(parent), cameraRate_(cameraRate) {
  setObjectName("CCameraFPSSetting");
  setWindowTitle("Camera Frame Rate Setting");
  auto* form = new QFormLayout(this);
  seconds_ = intBox(secondsFromDivisor(divisor, cameraRate), 1, 30, this);
  rate_ = new QLabel(this);
  form->addRow("Seconds per frame", seconds_);
  form->addRow("Frames per second", rate_);
  form->addRow(okCancel(*this));
  connect(seconds_, &QSpinBox::valueChanged, this, &CCameraFPSSetting::refresh);
  refresh();
}

int32_t CCameraFPSSetting::seconds() const { return seconds_->value(); }
void CCameraFPSSetting::setSeconds(int32_t seconds) { seconds_->setValue(seconds); }
int32_t CCameraFPSSetting::divisor() const { return divisorFromSeconds(seconds(), cameraRate_); }
QString CCameraFPSSetting::rateText() const { return rate_->text(); }

void CCameraFPSSetting::refresh() {
  rate_->setText(QString::number(userFramesPerSecond(seconds()), 'f', 3));
}

}  // namespace solvane
