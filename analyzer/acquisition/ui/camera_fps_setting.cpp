#include "acquisition/ui/camera_fps_setting.h"

#include "acquisition/frame_rate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace solvane {

CCameraFPSSetting::CCameraFPSSetting(int32_t divisor, float cameraRate, QWidget* parent)
    : QDialog(parent), cameraRate_(cameraRate) {
  setObjectName("CCameraFPSSetting");
  setWindowTitle("Camera Frame Rate Setting");
  auto* form = new QFormLayout(this);
  seconds_ = new QSpinBox(this);
  seconds_->setAccessibleName("Seconds per frame");
  seconds_->setRange(1, 30);
  seconds_->setValue(secondsFromDivisor(divisor, cameraRate));
  rate_ = new QLabel(this);
  rate_->setAccessibleName("Frames per second");
  form->addRow("Seconds per frame", seconds_);
  form->addRow("Frames per second", rate_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
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
