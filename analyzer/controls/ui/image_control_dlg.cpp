#include "controls/ui/image_control_dlg.h"

#include "controls/ui/step_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace solvane::controls {

const std::array<const char*, 13>& paletteNames() {
  static const std::array<const char*, 13> names = {
      "Yellow", "Rainbow", "Rain900", "Rain10", "Midgrey", "Midgreen", "Medical",
      "Iron10", "Iron",    "Greyred", "Grey10", "Grey",    "Glowbow"};
  return names;
}

CImageControlDlg::CImageControlDlg(QWidget* parent)
    : QWidget(parent),
      window_(new QLabel(this)),
      automatic_(new QCheckBox("Automatic level and span", this)),
      palette_(new QComboBox(this)),
      invert_(new QCheckBox("Invert Palette", this)) {
  window_->setAccessibleName("Level and span");
  automatic_->setAccessibleName("Automatic level and span");
  palette_->setAccessibleName("Palette");
  invert_->setAccessibleName("Invert palette");
  for (const char* name : paletteNames()) palette_->addItem(name);
  palette_->setCurrentIndex(11);

  auto* form = new QFormLayout(this);
  form->addRow("Level ~ Span", window_);
  form->addRow(automatic_);
  form->addRow("Palette", palette_);
  form->addRow(invert_);
  const std::array<std::pair<const char*, std::pair<int, int>>, 2> kernels = {
      std::pair{"Box blur", std::pair{1, 31}}, std::pair{"Stack blur", std::pair{1, 20}}};
  for (size_t k = 0; k < kernels.size(); ++k) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setAccessibleName(QString(kernels[k].first) + " kernel size");
    slider->setRange(kernels[k].second.first, kernels[k].second.second);
    auto* label = new QLabel(this);
    label->setAccessibleName(QString(kernels[k].first) + " kernel size read-out");
    sliders_[k] = slider;
    labels_[k] = label;
    form->addRow(kernels[k].first, slider);
    form->addRow(label);
    const auto kernel = static_cast<BlurKernel>(k);
    connect(slider, &QSlider::valueChanged, this, [this, kernel, label](int size) {
      label->setText(QString::fromStdString(kernelSizeLabel(size)));
      emit kernelSizeChanged(kernel, size);
    });
    label->setText(QString::fromStdString(kernelSizeLabel(slider->value())));
  }
  nameFormLabels(form);
  connect(automatic_, &QCheckBox::toggled, this, &CImageControlDlg::automaticChanged);
  connect(palette_, &QComboBox::currentIndexChanged, this,
          [this](int index) { emit paletteChanged(index, invert_->isChecked()); });
  connect(invert_, &QCheckBox::toggled, this,
          [this](bool on) { emit paletteChanged(palette_->currentIndex(), on); });
  showWindow(50.0f, 10.0f, Unit::Celsius);
}

void CImageControlDlg::showWindow(float levelCelsius, float spanCelsius, Unit unit) {
  const float level = toDisplay(levelCelsius, unit);
  const float half = spanToDisplay(spanCelsius, unit) / 2.0f;
  window_->setText(
      QString::fromStdString(imageControlRangeLabel(level - half, level + half, unit)));
}

void CImageControlDlg::setAutomatic(bool automatic) {
  const QSignalBlocker blocker(automatic_);
  automatic_->setChecked(automatic);
}

void CImageControlDlg::setPalette(int index, bool invert) {
  const QSignalBlocker paletteBlocker(palette_);
  const QSignalBlocker invertBlocker(invert_);
  palette_->setCurrentIndex(index);
  invert_->setChecked(invert);
}

void CImageControlDlg::setKernelSize(BlurKernel kernel, int size) {
  QSlider* slider = sliders_[static_cast<size_t>(kernel)];
  const QSignalBlocker blocker(slider);
  slider->setValue(size);
  labels_[static_cast<size_t>(kernel)]->setText(
      QString::fromStdString(kernelSizeLabel(slider->value())));
}

}  // namespace solvane::controls
