#include "palette/ui/tab_palette_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cstdio>

#include "palette/colour_scheme_file.h"

namespace tessor {

namespace {
// A caption that assistive tools read out as it stands.
QLabel* namedLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAccessibleName(text);
  return label;
}
}  // namespace

namespace {

QPushButton* button(const char* text, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(text), parent);
  b->setAccessibleName(QString::fromUtf8(text));
  return b;
}

QDoubleSpinBox* positionBox(const QString& name, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(0.0, 1.0);
  box->setDecimals(3);
  box->setSingleStep(0.025);
  box->setAccessibleName(name);
  return box;
}

}  // namespace

CTabPaletteDlg::CTabPaletteDlg(PalettePagePort& port, QWidget* parent)
    : QWidget(parent), port_(port) {
  setAccessibleName("Palette");
  buildControls();
  resetGradient();
}

void CTabPaletteDlg::buildControls() {
  auto* layout = new QVBoxLayout(this);
  gradientCtrl_ = new CGradientCtrl(gradient_, this);
  gradientCtrl_->setToolTip("Double Click to Add a New Peg");
  layout->addWidget(gradientCtrl_);
  layout->addWidget(namedLabel("Double Click to Add a New Peg", this));

  auto* pegRow = new QHBoxLayout;
  auto* addGroup = new QGroupBox("Add New Peg", this);
  addGroup->setAccessibleName("Add New Peg");
  auto* addLayout = new QGridLayout(addGroup);
  newPegPosition_ = positionBox("New peg position", addGroup);
  newPegPosition_->setValue(0.5);
  newPegColourButton_ = button("Colour...", addGroup);
  newPegColourButton_->setAccessibleName("New peg colour");
  addButton_ = button("<= Add", addGroup);
  addLayout->addWidget(namedLabel("Position", addGroup), 0, 0);
  addLayout->addWidget(newPegPosition_, 0, 1);
  addLayout->addWidget(newPegColourButton_, 1, 0);
  addLayout->addWidget(addButton_, 1, 1);
  pegRow->addWidget(addGroup);

  selectedGroup_ = new QGroupBox(this);
  selectedGroup_->setAccessibleName("Selected Peg");
  auto* selectedLayout = new QGridLayout(selectedGroup_);
  selectedPosition_ = positionBox("Selected peg position", selectedGroup_);
  selectedColourButton_ = button("Colour...", selectedGroup_);
  selectedColourButton_->setAccessibleName("Selected peg colour");
  deleteButton_ = button("Delete", selectedGroup_);
  selectedLayout->addWidget(namedLabel("Position", selectedGroup_), 0, 0);
  selectedLayout->addWidget(selectedPosition_, 0, 1);
  selectedLayout->addWidget(selectedColourButton_, 1, 0);
  selectedLayout->addWidget(deleteButton_, 1, 1);
  pegRow->addWidget(selectedGroup_);
  layout->addLayout(pegRow);

  auto* options = new QGridLayout;
  methodList_ = new QComboBox(this);
  methodList_->setAccessibleName("Interpolation method");
  for (std::string_view name : kInterpolationNames)
    methodList_->addItem(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
  options->addWidget(namedLabel("Interpolation", this), 0, 0);
  options->addWidget(methodList_, 0, 1);
  enableQuantization_ = new QCheckBox("Enable Quantization", this);
  enableQuantization_->setAccessibleName("Enable Quantization");
  quantization_ = new QSpinBox(this);
  quantization_->setRange(1, 256);
  quantization_->setValue(8);
  quantization_->setAccessibleName("Quantization");
  options->addWidget(enableQuantization_, 1, 0);
  options->addWidget(quantization_, 1, 1);
  showTooltips_ = new QCheckBox("Show Tooltips", this);
  showTooltips_->setAccessibleName("Show Tooltips");
  showTooltips_->setChecked(true);
  options->addWidget(showTooltips_, 2, 0);
  layout->addLayout(options);

  auto* sideGroup = new QGroupBox("Peg Side", this);
  sideGroup->setAccessibleName("Peg Side");
  auto* sideLayout = new QHBoxLayout(sideGroup);
  pegsOnRightTop_ = new QRadioButton("On Right/Top", sideGroup);
  pegsOnRightTop_->setAccessibleName("On Right/Top");
  pegsOnLeftBottom_ = new QRadioButton("On Left/Bottom", sideGroup);
  pegsOnLeftBottom_->setAccessibleName("On Left/Bottom");
  pegsOnRightTop_->setChecked(true);
  sideLayout->addWidget(pegsOnRightTop_);
  sideLayout->addWidget(pegsOnLeftBottom_);
  auto* slotGroup = new QGroupBox("User Palette Selection", this);
  slotGroup->setAccessibleName("User Palette Selection");
  auto* slotLayout = new QHBoxLayout(slotGroup);
  slot1_ = new QRadioButton(kSlotNames[0], slotGroup);
  slot1_->setAccessibleName(kSlotNames[0]);
  slot2_ = new QRadioButton(kSlotNames[1], slotGroup);
  slot2_->setAccessibleName(kSlotNames[1]);
  slot1_->setChecked(true);
  slotLayout->addWidget(slot1_);
  slotLayout->addWidget(slot2_);
  auto* choiceRow = new QHBoxLayout;
  choiceRow->addWidget(sideGroup);
  choiceRow->addWidget(slotGroup);
  layout->addLayout(choiceRow);

  auto* buttons = new QHBoxLayout;
  loadButton_ = button("Load", this);
  saveButton_ = button("Save", this);
  sendButton_ = button("Send", this);
  buttons->addWidget(loadButton_);
  buttons->addWidget(saveButton_);
  buttons->addStretch();
  buttons->addWidget(sendButton_);
  layout->addLayout(buttons);

  connect(gradientCtrl_, &CGradientCtrl::selectionChanged, this,
          &CTabPaletteDlg::onSelectionChanged);
  connect(gradientCtrl_, &CGradientCtrl::pegMoving, this, [this](int) { refreshSelectedPeg(); });
  connect(gradientCtrl_, &CGradientCtrl::pegMoved, this, [this](int) { refreshSelectedPeg(); });
  connect(gradientCtrl_, &CGradientCtrl::addPegRequested, this, &CTabPaletteDlg::onAddPegRequested);
  connect(gradientCtrl_, &CGradientCtrl::pegDoubleClicked, this,
          &CTabPaletteDlg::onPegDoubleClicked);
  connect(newPegColourButton_, &QPushButton::clicked, this, &CTabPaletteDlg::chooseNewPegColour);
  connect(addButton_, &QPushButton::clicked, this, &CTabPaletteDlg::addNewPeg);
  connect(selectedPosition_, &QDoubleSpinBox::valueChanged, this,
          &CTabPaletteDlg::onSelectedPositionEdited);
  connect(selectedColourButton_, &QPushButton::clicked, this,
          &CTabPaletteDlg::chooseSelectedPegColour);
  connect(deleteButton_, &QPushButton::clicked, this, &CTabPaletteDlg::deleteSelectedPeg);
  connect(methodList_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (refreshing_ || !isInterpolationIndex(index)) return;
    gradient_.setMethod(static_cast<InterpolationMethod>(index));
    gradientCtrl_->update();
  });
  connect(enableQuantization_, &QCheckBox::toggled, this, &CTabPaletteDlg::applyQuantization);
  connect(quantization_, &QSpinBox::valueChanged, this, &CTabPaletteDlg::applyQuantization);
  connect(showTooltips_, &QCheckBox::toggled, gradientCtrl_, &CGradientCtrl::setTooltipsShown);
  connect(pegsOnRightTop_, &QRadioButton::toggled, this, [this](bool on) {
    gradientCtrl_->setPegSide(on ? PegSide::RightTop : PegSide::LeftBottom);
  });
  connect(loadButton_, &QPushButton::clicked, this, &CTabPaletteDlg::loadScheme);
  connect(saveButton_, &QPushButton::clicked, this, &CTabPaletteDlg::saveScheme);
  connect(sendButton_, &QPushButton::clicked, this, &CTabPaletteDlg::sendPalette);
}

void CTabPaletteDlg::resetGradient() {
  gradient_ = CGradient();
  gradient_.setEndColour(makeColour(0, 0, 0));
  gradient_.addPeg(makeColour(127, 0, 0), 0.765f);
  gradient_.addPeg(makeColour(255, 0, 0), 0.585f);
  gradient_.addPeg(makeColour(255, 127, 0), 0.4f);
  gradient_.addPeg(makeColour(255, 255, 0), 0.3f);
  gradient_.addPeg(makeColour(255, 255, 127), 0.113f);
  gradient_.setStartColour(makeColour(255, 255, 255));
  gradient_.setUseBackground(true);
  gradient_.setBackgroundColour(makeColour(0, 0, 0));
  gradient_.setMethod(InterpolationMethod::Cosine);
  gradientCtrl_->setSelectedIndex(kPegNone);
  refresh();
}

int CTabPaletteDlg::selectedSlot() const { return slot2_->isChecked() ? 1 : 0; }

QString CTabPaletteDlg::selectedPegTitle() const { return selectedGroup_->title(); }

void CTabPaletteDlg::refresh() {
  refreshing_ = true;
  methodList_->setCurrentIndex(static_cast<int>(gradient_.method()));
  const bool quantized = gradient_.quantization() != kQuantizationOff;
  enableQuantization_->setChecked(quantized);
  if (quantized) quantization_->setValue(gradient_.quantization());
  refreshing_ = false;
  refreshSelectedPeg();
}

void CTabPaletteDlg::refreshSelectedPeg() {
  const int index = gradientCtrl_->selectedIndex();
  const bool valid =
      index == kPegStart || index == kPegEnd || (index >= 0 && index < gradient_.pegCount());
  char title[96];
  if (!valid) {
    std::snprintf(title, sizeof title, "Selected Peg - ID -1 [None]");
  } else {
    const char* suffix = index == kPegStart ? " [Start Peg]" : index == kPegEnd ? " [End Peg]" : "";
    std::snprintf(title, sizeof title, "Selected Peg - ID %d%s",
                  static_cast<int>(gradient_.peg(index).id), suffix);
  }
  selectedGroup_->setTitle(QString::fromUtf8(title));
  refreshing_ = true;
  const bool movable = valid && index >= 0;
  selectedPosition_->setEnabled(movable);
  selectedColourButton_->setEnabled(valid);
  deleteButton_->setEnabled(movable);
  if (valid) {
    const float position = index == kPegStart ? 0.0f
                           : index == kPegEnd ? 1.0f
                                              : gradient_.peg(index).position;
    selectedPosition_->setValue(position);
  }
  refreshing_ = false;
  gradientCtrl_->update();
}

void CTabPaletteDlg::onSelectionChanged(int) { refreshSelectedPeg(); }

void CTabPaletteDlg::onAddPegRequested(unsigned colour, float position) {
  gradientCtrl_->setSelectedIndex(gradient_.addPeg(colour, position));
  refreshSelectedPeg();
}

void CTabPaletteDlg::onPegDoubleClicked(int index) {
  if (index != kPegStart && index != kPegEnd && (index < 0 || index >= gradient_.pegCount()))
    return;
  const CPeg peg = gradient_.peg(index);
  const float position = index == kPegStart ? 0.0f : index == kPegEnd ? 1.0f : peg.position;
  char text[128];
  std::snprintf(text, sizeof text, "Position: %.2f\nColour: RGB(%u, %u, %u)",
                static_cast<double>(position), unsigned{redOf(peg.colour)},
                unsigned{greenOf(peg.colour)}, unsigned{blueOf(peg.colour)});
  port_.message(text, "You just double clicked on a peg!");
}

void CTabPaletteDlg::onSelectedPositionEdited(double value) {
  const int index = gradientCtrl_->selectedIndex();
  if (refreshing_ || index < 0 || index >= gradient_.pegCount()) return;
  gradientCtrl_->setSelectedIndex(
      gradient_.setPeg(index, gradient_.peg(index).colour, static_cast<float>(value)));
  refreshSelectedPeg();
}

void CTabPaletteDlg::chooseNewPegColour() {
  if (auto colour = port_.chooseColour(newPegColour_)) newPegColour_ = *colour;
}

void CTabPaletteDlg::chooseSelectedPegColour() {
  const int index = gradientCtrl_->selectedIndex();
  if (index == kPegNone || (index >= 0 && index >= gradient_.pegCount())) return;
  const CPeg peg = gradient_.peg(index);
  const auto colour = port_.chooseColour(peg.colour);
  if (!colour) return;
  gradientCtrl_->setSelectedIndex(gradient_.setPeg(index, *colour, peg.position));
  refreshSelectedPeg();
}

void CTabPaletteDlg::addNewPeg() {
  gradientCtrl_->setSelectedIndex(
      gradient_.addPeg(newPegColour_, static_cast<float>(newPegPosition_->value())));
  refreshSelectedPeg();
}

void CTabPaletteDlg::deleteSelectedPeg() {
  const int index = gradientCtrl_->selectedIndex();
  if (index < 0 || index >= gradient_.pegCount()) return;
  gradient_.removePeg(index);
  gradientCtrl_->setSelectedIndex(kPegNone);
  refreshSelectedPeg();
}

void CTabPaletteDlg::applyQuantization() {
  if (refreshing_) return;
  gradient_.setQuantization(enableQuantization_->isChecked() ? quantization_->value()
                                                             : kQuantizationOff);
  gradientCtrl_->update();
}

void CTabPaletteDlg::loadScheme() {
  const auto path = port_.chooseSchemeToLoad();
  if (!path) return;
  const SchemeOutcome outcome = loadColourSchemeFile(*path, gradient_);
  gradientCtrl_->setSelectedIndex(kPegNone);
  refresh();  // a file that ends early still shows what was read
  if (!outcome.ok) port_.message(outcome.error, "Error Message");
}

void CTabPaletteDlg::saveScheme() {
  const auto path = port_.chooseSchemeToSave();
  if (!path) return;
  const SchemeOutcome outcome = saveColourSchemeFile(*path, gradient_);
  if (!outcome.ok) port_.message(outcome.error, "Error Message");
}

void CTabPaletteDlg::sendPalette() {
  const int slot = selectedSlot();
  const PaletteUpload upload = preparePaletteUpload(gradient_, slot);
  if (!upload.ok) {
    port_.message(std::string(kPaletteFailedText) + "\n" + upload.error, kPaletteFailedCaption);
    return;
  }
  if (port_.sendPalette(upload.record) != 1) {
    port_.message(kPaletteFailedText, kPaletteFailedCaption);
    return;
  }
  port_.message(kPaletteSentText, kPaletteSentCaption);
  if (port_.cameraIsKt()) port_.selectVideoPalette(kFirstUserPaletteListIndex + slot);
}

}  // namespace tessor
