#include "analysis/ui/tab_spot_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "analysis/ui/page_form.h"
#include "analysis/ui/thermal_preview.h"

namespace analysis {

namespace {
constexpr int kMostCoordinate = 1023;
QString unitText(ShownUnit unit) { return unit == ShownUnit::Fahrenheit ? "\u00B0F" : "\u00B0C"; }
}  // namespace

CSpotPosSetDlg::CSpotPosSetDlg(const KtSpot& spot, ShownUnit unit, QWidget* parent)
    : QDialog(parent), spot_(spot) {
  setWindowTitle("Spot Parameters");
  setAccessibleName("Spot Parameters");
  auto* layout = new QFormLayout(this);
  local_ = form::check("Use local parameters", this);
  local_->setChecked(spot.local);
  emissivity_ = form::decimal("Emissivity [0 ~ 1]", 0.01, 1.0, 2, this);
  emissivity_->setValue(spot.parameters.emissivity);
  const QString atmosphereName = QString("Atmospheric Temp. [%1]").arg(unitText(unit));
  atmosphere_ = form::decimal(atmosphereName, -300.0, 3000.0, 1, this);
  atmosphere_->setValue(spot.parameters.atmosphere);
  transmission_ = form::decimal("Transmission [0 ~ 1]", 0.01, 1.0, 2, this);
  transmission_->setValue(spot.parameters.transmission);
  layout->addRow(local_);
  layout->addRow(form::label("Emissivity [0 ~ 1]", this), emissivity_);
  layout->addRow(form::label(atmosphereName, this), atmosphere_);
  layout->addRow(form::label("Transmission [0 ~ 1]", this), transmission_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setAccessibleName("Spot parameter buttons");
  layout->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

KtSpot CSpotPosSetDlg::spot() const {
  KtSpot spot = spot_;
  spot.local = local_->isChecked();
  spot.parameters = {emissivity_->value(), transmission_->value(), atmosphere_->value()};
  return spot;
}

CTabSpotDlg::CTabSpotDlg(pages::CommandPort& port, QWidget* parent) : QWidget(parent), port_(port) {
  setAccessibleName("Analysis");
  auto* layout = new QHBoxLayout(this);
  auto* column = new QVBoxLayout;

  auto* correction = new QGroupBox("Correction", this);
  correction->setAccessibleName("Correction");
  auto* correctionForm = new QFormLayout(correction);
  emissivity_ = form::decimal("Emissivity", 0.01, 1.0, 2, correction);
  transmission_ = form::decimal("Transmission", 0.01, 1.0, 2, correction);
  atmosphere_ = form::decimal("Atmospheric Temp.", -300.0, 3000.0, 1, correction);
  correctionForm->addRow(form::label("Emissivity", correction), emissivity_);
  correctionForm->addRow(form::label("Transmission", correction), transmission_);
  correctionForm->addRow(form::label("Atmospheric Temp.", correction), atmosphere_);
  auto* sendCorrection = form::button("Send Correction Data", correction);
  correctionForm->addRow(sendCorrection);
  column->addWidget(correction);

  auto* spots = new QGroupBox("Spots", this);
  spots->setAccessibleName("Spots");
  auto* spotForm = new QFormLayout(spots);
  spot_ = new QComboBox(spots);
  spot_->setAccessibleName("Spot");
  for (int i = 1; i <= 10; ++i) spot_->addItem(QString("Spot %1").arg(i));
  enabled_ = form::check("Enable", spots);
  x_ = form::spin("X", 0, kMostCoordinate, spots);
  y_ = form::spin("Y", 0, kMostCoordinate, spots);
  auto* local = form::button("Local Parameters...", spots);
  auto* sendSpots = form::button("Send Spot Info.", spots);
  spotForm->addRow(form::label("Spot", spots), spot_);
  spotForm->addRow(enabled_);
  spotForm->addRow(form::label("X", spots), x_);
  spotForm->addRow(form::label("Y", spots), y_);
  spotForm->addRow(local);
  spotForm->addRow(sendSpots);
  column->addWidget(spots);
  column->addStretch();
  layout->addLayout(column);
  preview_ = new ThermalPreview(this);
  preview_->setDrawnShape(DrawnShape::Spot);
  layout->addWidget(preview_, 1);

  auto changed = [this] { takeControls(); };
  for (QDoubleSpinBox* box : {emissivity_, transmission_, atmosphere_})
    connect(box, &QDoubleSpinBox::valueChanged, this, changed);
  connect(enabled_, &QCheckBox::toggled, this, changed);
  connect(x_, &QSpinBox::valueChanged, this, changed);
  connect(y_, &QSpinBox::valueChanged, this, changed);
  connect(spot_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
  connect(sendCorrection, &QPushButton::clicked, this, &CTabSpotDlg::sendCorrection);
  connect(sendSpots, &QPushButton::clicked, this, &CTabSpotDlg::sendSpots);
  connect(local, &QPushButton::clicked, this, &CTabSpotDlg::editLocalParameters);
  connect(preview_, &ThermalPreview::pointPicked, this, [this](QPoint at) {
    KtSpot& spot = model_.spots[static_cast<size_t>(spot_->currentIndex())];
    spot.x = at.x();
    spot.y = at.y();
    spot.enabled = true;
    refresh();
  });
  // A spot moved on the preview becomes the current one.
  connect(preview_, &ThermalPreview::markChanged, this, [this](int key, QRect moved) {
    if (key < 0 || key >= static_cast<int>(model_.spots.size())) return;
    spot_->setCurrentIndex(key);
    KtSpot& spot = model_.spots[static_cast<size_t>(key)];
    spot.x = moved.x();
    spot.y = moved.y();
    refresh();
  });
  refresh();
}

void CTabSpotDlg::takeControls() {
  if (refreshing_) return;
  model_.correction = {emissivity_->value(), transmission_->value(), atmosphere_->value()};
  KtSpot& spot = model_.spots[static_cast<size_t>(spot_->currentIndex())];
  spot.enabled = enabled_->isChecked();
  spot.x = x_->value();
  spot.y = y_->value();
  showMarks();
}

void CTabSpotDlg::refresh() {
  refreshing_ = true;
  emissivity_->setValue(model_.correction.emissivity);
  transmission_->setValue(model_.correction.transmission);
  atmosphere_->setSuffix(" " + unitText(model_.unit));
  atmosphere_->setValue(model_.correction.atmosphere);
  const KtSpot& spot = model_.spots[static_cast<size_t>(spot_->currentIndex())];
  enabled_->setChecked(spot.enabled);
  x_->setValue(spot.x);
  y_->setValue(spot.y);
  refreshing_ = false;
  showMarks();
}

void CTabSpotDlg::showMarks() {
  std::vector<PreviewMark> marks;
  for (size_t i = 0; i < model_.spots.size(); ++i) {
    const KtSpot& spot = model_.spots[i];
    if (!spot.enabled) continue;
    marks.push_back({QRect(spot.x, spot.y, 1, 1), QString("S%1").arg(i + 1),
                     static_cast<int>(i) == spot_->currentIndex(), static_cast<int>(i)});
  }
  preview_->setMarks(std::move(marks));
}

void CTabSpotDlg::editLocalParameters() {
  const size_t index = static_cast<size_t>(spot_->currentIndex());
  CSpotPosSetDlg dialog(model_.spots[index], model_.unit, this);
  if (dialog.exec() == QDialog::Accepted) model_.spots[index] = dialog.spot();
}

void CTabSpotDlg::loadHeader(HeaderBytes header) {
  model_.loadHeader(header);
  refresh();
}

void CTabSpotDlg::restoreDefaults() {
  const Commands sent = model_.restoreDefaults();
  refresh();
  for (const auto& command : sent) port_.sendSetting(command);
}

void CTabSpotDlg::sendCorrection() {
  takeControls();
  port_.sendSetting(model_.correctionCommand());
}

void CTabSpotDlg::sendSpots() {
  takeControls();
  for (const auto& command : model_.spotCommands()) port_.sendSetting(command);
}

}  // namespace analysis
