#include "analysis/ui/ks_alarm_config_dlg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "analysis/ui/page_form.h"
#include "analysis/ui/thermal_preview.h"
#include "camera/camera_models.h"

namespace analysis {

namespace {
constexpr uint16_t kSetupDivisor = 4;
constexpr std::array<const char*, 4> kGeometryNames = {"X", "Y", "Width", "Height"};
constexpr int kMostCoordinate = 1023;
constexpr std::array<const char*, 10> kRegionNames = {"ROI 01", "ROI 02", "ROI 03", "ROI 04",
                                                      "ROI 05", "ROI 06", "ROI 07", "ROI 08",
                                                      "ROI 09", "ROI 10"};
QString unitText(ShownUnit unit) { return unit == ShownUnit::Fahrenheit ? " \u00B0F" : " \u00B0C"; }
}  // namespace

// ---- region setup window ----

CKSRoiSetupDlg::CKSRoiSetupDlg(pages::CommandPort& port,
                               std::array<KsRegion, kRegionCount>& regions, ShownUnit unit,
                               QSize pictureSize, QWidget* parent)
    : QDialog(parent), port_(port), regions_(regions), unit_(unit), pictureSize_(pictureSize) {
  setWindowTitle("ROI Setup");
  setAccessibleName("ROI Setup");
  auto* layout = new QHBoxLayout(this);
  auto* column = new QFormLayout;
  region_ = form::list("ROI", kRegionNames, this);
  mode_ = form::list("Mode", kRegionModeNames, this);
  column->addRow(form::label("ROI", this), region_);
  column->addRow(form::label("Mode", this), mode_);
  for (size_t i = 0; i < geometry_.size(); ++i) {
    geometry_[i] = form::spin(kGeometryNames[i], 0, kMostCoordinate, this);
    column->addRow(form::label(kGeometryNames[i], this), geometry_[i]);
  }
  used_ = form::check("Used Correction", this);
  emissivity_ = form::decimal("Emissivity", 0.01, 1.0, 2, this);
  transmission_ = form::decimal("Transmission", 0.01, 1.0, 2, this);
  atmosphere_ = form::decimal("Atmosphere", -300.0, 3000.0, 1, this);
  atmosphere_->setSuffix(unitText(unit));
  column->addRow(used_);
  column->addRow(form::label("Emissivity", this), emissivity_);
  column->addRow(form::label("Transmission", this), transmission_);
  column->addRow(form::label("Atmosphere", this), atmosphere_);
  layout->addLayout(column);
  preview_ = new ThermalPreview(this);
  preview_->setDrawnShape(DrawnShape::Either);
  layout->addWidget(preview_, 1);
  resize(860, 420);

  connect(region_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
  connect(mode_, &QComboBox::currentIndexChanged, this, [this] { takeControls(false); });
  for (QSpinBox* box : geometry_)
    connect(box, &QSpinBox::valueChanged, this, [this] { takeControls(false); });
  connect(used_, &QCheckBox::toggled, this, [this] { takeControls(true); });
  for (QDoubleSpinBox* box : {emissivity_, transmission_, atmosphere_})
    connect(box, &QDoubleSpinBox::valueChanged, this, [this] { takeControls(true); });
  connect(preview_, &ThermalPreview::rectangleDrawn, this, [this](QRect drawn) {
    KsRegion region = regions_[static_cast<size_t>(region_->currentIndex())];
    region.mode = static_cast<int>(RegionMode::Rectangle);
    region.x = drawn.x();
    region.y = drawn.y();
    region.width = drawn.width();
    region.height = drawn.height();
    changeRegion(region);
  });
  connect(preview_, &ThermalPreview::pointPicked, this, [this](QPoint at) {
    KsRegion region = regions_[static_cast<size_t>(region_->currentIndex())];
    region.mode = static_cast<int>(RegionMode::Spot);
    region.x = at.x();
    region.y = at.y();
    changeRegion(region);
  });
  // A region moved or resized on the preview becomes the current one and is sent.
  connect(preview_, &ThermalPreview::markChanged, this, [this](int key, QRect moved) {
    if (key < 0 || key >= kRegionCount) return;
    region_->setCurrentIndex(key);
    KsRegion region = regions_[static_cast<size_t>(key)];
    region.x = moved.x();
    region.y = moved.y();
    // A rectangle drawn a pixel small shows as a spot: moving it keeps its size.
    if (region.mode == static_cast<int>(RegionMode::Rectangle) &&
        (moved.width() > 1 || moved.height() > 1)) {
      region.width = moved.width();
      region.height = moved.height();
    }
    changeRegion(region);
  });
  refresh();
}

CKSRoiSetupDlg::~CKSRoiSetupDlg() { streamWhileOpen(false); }

void CKSRoiSetupDlg::streamWhileOpen(bool open) {
  if (open == streaming_) return;
  streaming_ = open;
  if (open) {
    port_.sendSetting(camera::SettingCommand{camera::SettingId::FrameRateDivisor, kSetupDivisor});
    port_.setStreaming(true);
  } else {
    port_.setStreaming(false);
    // Back to the full rate for whoever watches the camera next.
    port_.sendSetting(camera::SettingCommand{camera::SettingId::FrameRateDivisor, 0});
  }
}

void CKSRoiSetupDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  streamWhileOpen(true);
}

void CKSRoiSetupDlg::hideEvent(QHideEvent* event) {
  streamWhileOpen(false);
  QDialog::hideEvent(event);
}

void CKSRoiSetupDlg::showFrame(const std::vector<uint8_t>& pixels, int width, int height,
                               const std::vector<uint8_t>& palette) {
  if (streaming_) preview_->showFrame(pixels, width, height, palette);
}

void CKSRoiSetupDlg::selectRegion(int index) { region_->setCurrentIndex(index); }

void CKSRoiSetupDlg::changeRegion(const KsRegion& changed) {
  const size_t index = static_cast<size_t>(region_->currentIndex());
  const QSize picture = preview_->framesShown() > 0 ? preview_->cameraSize() : pictureSize_;
  const KsRegion region = clampedRegion(changed, picture.width(), picture.height());
  KsRegion& held = regions_[index];
  const bool geometry = region.mode != held.mode || region.x != held.x || region.y != held.y ||
                        region.width != held.width || region.height != held.height;
  const bool correction = region.usedCorrection != held.usedCorrection ||
                          region.parameters.emissivity != held.parameters.emissivity ||
                          region.parameters.transmission != held.parameters.transmission ||
                          region.parameters.atmosphere != held.parameters.atmosphere;
  held = region;
  if (geometry) port_.sendSetting(regionGeometryCommand(static_cast<int>(index), held));
  if (correction) port_.sendSetting(regionCorrectionCommand(static_cast<int>(index), held, unit_));
  refresh();
}

void CKSRoiSetupDlg::takeControls(bool correction) {
  if (refreshing_) return;
  KsRegion region = regions_[static_cast<size_t>(region_->currentIndex())];
  if (correction) {
    region.usedCorrection = used_->isChecked();
    region.parameters = {emissivity_->value(), transmission_->value(), atmosphere_->value()};
  } else {
    region.mode = mode_->currentIndex();
    region.x = geometry_[0]->value();
    region.y = geometry_[1]->value();
    region.width = geometry_[2]->value();
    region.height = geometry_[3]->value();
  }
  changeRegion(region);
}

void CKSRoiSetupDlg::refresh() {
  refreshing_ = true;
  const KsRegion& region = regions_[static_cast<size_t>(region_->currentIndex())];
  mode_->setCurrentIndex(region.mode);
  const int values[4] = {region.x, region.y, region.width, region.height};
  for (size_t i = 0; i < 4; ++i) geometry_[i]->setValue(values[i]);
  used_->setChecked(region.usedCorrection);
  emissivity_->setValue(region.parameters.emissivity);
  transmission_->setValue(region.parameters.transmission);
  atmosphere_->setValue(region.parameters.atmosphere);
  refreshing_ = false;
  showMarks();
}

void CKSRoiSetupDlg::showMarks() {
  std::vector<PreviewMark> marks;
  for (int i = 0; i < kRegionCount; ++i) {
    const KsRegion& r = regions_[static_cast<size_t>(i)];
    const std::string label = regionLabel(i, r);
    if (label.empty()) continue;
    const QRect shape = r.mode == static_cast<int>(RegionMode::Spot)
                            ? QRect(r.x, r.y, 1, 1)
                            : QRect(r.x, r.y, std::max(1, r.width), std::max(1, r.height));
    marks.push_back({shape, QString::fromStdString(label), i == region_->currentIndex(), i});
  }
  preview_->setMarks(std::move(marks));
}

// ---- "Alarm Config" ----

CKSAlarmConfigDlg::CKSAlarmConfigDlg(pages::CommandPort& port, desktop::Notifier& notifier,
                                     QWidget* parent)
    : QWidget(parent), port_(port), notifier_(notifier) {
  setAccessibleName("Alarm Config");
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox("Region Alarm", this);
  group->setAccessibleName("Region Alarm");
  auto* formLayout = new QFormLayout(group);
  mode_ = form::list("Alarm Mode", kRegionAlarmModeNames, group);
  enable_ = form::list("Alarm Enable", kOffOnNames, group);
  output_ = form::list("Alarm-Output", kAlarmOutputNames, group);
  condition_ = form::list("Alarm Condition", kAlarmConditionNames, group);
  delay_ = form::spin("Alarm Delay (s)", 0, 255, group);
  temperature_ = form::decimal("Alarm Temperature", -300.0, 3000.0, 1, group);
  formLayout->addRow(form::label("Alarm Mode", group), mode_);
  formLayout->addRow(form::label("Alarm Enable", group), enable_);
  formLayout->addRow(form::label("Alarm-Output", group), output_);
  formLayout->addRow(form::label("Alarm Condition", group), condition_);
  formLayout->addRow(form::label("Alarm Delay (s)", group), delay_);
  formLayout->addRow(form::label("Alarm Temperature", group), temperature_);
  layout->addWidget(group);
  auto* buttons = new QHBoxLayout;
  auto* set = form::button("Set Alarm", this);
  auto* setup = form::button("Setup", this);
  buttons->addWidget(set);
  buttons->addWidget(setup);
  buttons->addStretch();
  layout->addLayout(buttons);
  layout->addStretch();

  for (QComboBox* box : {mode_, enable_, output_, condition_})
    connect(box, &QComboBox::currentIndexChanged, this, [this] { takeControls(); });
  connect(delay_, &QSpinBox::valueChanged, this, [this] { takeControls(); });
  connect(temperature_, &QDoubleSpinBox::valueChanged, this, [this] { takeControls(); });
  connect(set, &QPushButton::clicked, this, &CKSAlarmConfigDlg::setAlarm);
  connect(setup, &QPushButton::clicked, this, &CKSAlarmConfigDlg::openSetup);
  refresh();
}

CKSAlarmConfigDlg::~CKSAlarmConfigDlg() { delete setup_; }

void CKSAlarmConfigDlg::takeControls() {
  if (refreshing_) return;
  alarm_.modeIndex = mode_->currentIndex();
  alarm_.enabled = enable_->currentIndex() == 1;
  alarm_.output = output_->currentIndex();
  alarm_.condition = condition_->currentIndex();
  alarm_.delay = delay_->value();
  alarm_.temperature = temperature_->value();
}

void CKSAlarmConfigDlg::refresh() {
  refreshing_ = true;
  mode_->setCurrentIndex(alarm_.modeIndex);
  enable_->setCurrentIndex(alarm_.enabled ? 1 : 0);
  output_->setCurrentIndex(alarm_.output);
  condition_->setCurrentIndex(alarm_.condition);
  delay_->setValue(alarm_.delay);
  temperature_->setSuffix(unitText(unit_));
  temperature_->setValue(alarm_.temperature);
  refreshing_ = false;
}

void CKSAlarmConfigDlg::loadHeader(HeaderBytes header) {
  unit_ = shownUnitOf(header);
  if (const auto geometry = camera::controllerFrameGeometry(header[4], header[5], header[6]))
    pictureSize_ = QSize(geometry->width, geometry->height);
  refresh();
}

void CKSAlarmConfigDlg::setAlarm() {
  takeControls();
  port_.sendSetting(alarm_.command(unit_));
}

void CKSAlarmConfigDlg::openSetup() {
  if (!setup_) {
    setup_ = new CKSRoiSetupDlg(port_, regions_, unit_, pictureSize_, this);
    setup_->setAttribute(Qt::WA_DeleteOnClose);
  }
  setup_->show();
  setup_->raise();
}

CKSRoiSetupDlg* CKSAlarmConfigDlg::setupDialog() const {
  return setup_ && setup_->isVisible() ? setup_.data() : nullptr;
}

}  // namespace analysis
