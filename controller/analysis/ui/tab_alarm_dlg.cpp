#include "analysis/ui/tab_alarm_dlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "analysis/ui/page_form.h"
#include "analysis/ui/thermal_preview.h"

namespace analysis {

namespace {
constexpr std::array<const char*, 2> kAlarmTitles = {"Alarm Setting 1", "Alarm Setting 2"};
constexpr std::array<const char*, 4> kRectNames = {"Left", "Top", "Right", "Bottom"};
constexpr int kMostCoordinate = 1023;
}  // namespace

CTabAlarmDlg::CTabAlarmDlg(pages::CommandPort& port, desktop::Notifier& notifier, QWidget* parent)
    : QWidget(parent), port_(port), notifier_(notifier) {
  setAccessibleName("Alarm");
  auto* layout = new QHBoxLayout(this);
  auto* settings = new QVBoxLayout;
  for (size_t i = 0; i < 2; ++i) settings->addWidget(buildAlarm(i));
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(form::label("Region drawn for", this));
  regionOf_ = new QComboBox(this);
  regionOf_->setAccessibleName("Region drawn for");
  regionOf_->addItems({kAlarmTitles[0], kAlarmTitles[1]});
  bottom->addWidget(regionOf_);
  setButton_ = form::button("Set Alarm", this);
  bottom->addWidget(setButton_);
  settings->addLayout(bottom);
  settings->addStretch();
  layout->addLayout(settings);
  preview_ = new ThermalPreview(this);
  layout->addWidget(preview_, 1);

  connect(setButton_, &QPushButton::clicked, this, &CTabAlarmDlg::setAlarm);
  connect(regionOf_, &QComboBox::currentIndexChanged, this, [this] { showMarks(); });
  connect(preview_, &ThermalPreview::rectangleDrawn, this, [this](QRect drawn) {
    KtAlarm& alarm = model_.alarms[static_cast<size_t>(regionOf_->currentIndex())];
    alarm.rect = {drawn.left(), drawn.top(), drawn.right(), drawn.bottom()};
    refresh();
  });
  // A region moved or resized on the preview becomes the one new regions are drawn for.
  connect(preview_, &ThermalPreview::markChanged, this, [this](int key, QRect moved) {
    if (key < 0 || key >= static_cast<int>(model_.alarms.size())) return;
    regionOf_->setCurrentIndex(key);
    model_.alarms[static_cast<size_t>(key)].rect = {moved.left(), moved.top(), moved.right(),
                                                    moved.bottom()};
    refresh();
  });
  refresh();
}

QWidget* CTabAlarmDlg::buildAlarm(size_t index) {
  auto* group = new QGroupBox(kAlarmTitles[index], this);
  group->setAccessibleName(kAlarmTitles[index]);
  auto* grid = new QGridLayout(group);
  AlarmControls& c = controls_[index];
  const QString prefix = QString("Alarm %1 ").arg(index + 1);
  c.function = new QButtonGroup(group);
  auto* functions = new QHBoxLayout;
  for (size_t f = 0; f < kAlarmFunctionNames.size(); ++f) {
    auto* radio = new QRadioButton(kAlarmFunctionNames[f], group);
    radio->setAccessibleName(prefix + kAlarmFunctionNames[f]);
    c.function->addButton(radio, static_cast<int>(f));
    functions->addWidget(radio);
  }
  grid->addLayout(functions, 0, 0, 1, 4);
  c.condition = form::list(prefix + "Condition", kAlarmConditionNames, group);
  c.value = form::spin(prefix + "Value", -400, 4000, group);  // Fahrenheit too
  c.duration = form::spin(prefix + "Duration", 0, 255, group);
  c.roiUsed = form::check("ROI Used", group);
  c.roiUsed->setAccessibleName(prefix + "ROI Used");
  c.exclude = form::check("Exclude", group);
  c.exclude->setAccessibleName(prefix + "Exclude");
  grid->addWidget(form::label("Condition", group), 1, 0);
  grid->addWidget(c.condition, 1, 1);
  grid->addWidget(form::label("Value", group), 1, 2);
  grid->addWidget(c.value, 1, 3);
  grid->addWidget(form::label("Duration (s)", group), 2, 0);
  grid->addWidget(c.duration, 2, 1);
  grid->addWidget(c.roiUsed, 2, 2);
  grid->addWidget(c.exclude, 2, 3);
  for (size_t r = 0; r < kRectNames.size(); ++r) {
    c.rect[r] = form::spin(prefix + kRectNames[r], 0, kMostCoordinate, group);
    grid->addWidget(form::label(kRectNames[r], group), 3 + static_cast<int>(r / 2),
                    static_cast<int>(r % 2) * 2);
    grid->addWidget(c.rect[r], 3 + static_cast<int>(r / 2), static_cast<int>(r % 2) * 2 + 1);
  }
  auto changed = [this] { takeControls(); };
  connect(c.function, &QButtonGroup::idClicked, this, changed);
  connect(c.condition, &QComboBox::currentIndexChanged, this, changed);
  for (QSpinBox* box : {c.value, c.duration, c.rect[0], c.rect[1], c.rect[2], c.rect[3]})
    connect(box, &QSpinBox::valueChanged, this, changed);
  for (QCheckBox* box : {c.roiUsed, c.exclude}) connect(box, &QCheckBox::toggled, this, changed);
  return group;
}

void CTabAlarmDlg::takeControls() {
  if (refreshing_) return;
  for (size_t i = 0; i < 2; ++i) {
    const AlarmControls& c = controls_[i];
    KtAlarm& a = model_.alarms[i];
    a.function = std::max(0, c.function->checkedId());
    a.condition = c.condition->currentIndex();
    a.value = c.value->value();
    a.duration = c.duration->value();
    a.roiUsed = c.roiUsed->isChecked();
    a.exclude = c.exclude->isChecked();
    a.rect = {c.rect[0]->value(), c.rect[1]->value(), c.rect[2]->value(), c.rect[3]->value()};
  }
  showMarks();
}

void CTabAlarmDlg::refresh() {
  refreshing_ = true;
  for (size_t i = 0; i < 2; ++i) {
    const AlarmControls& c = controls_[i];
    const KtAlarm& a = model_.alarms[i];
    if (auto* radio = c.function->button(a.function)) radio->setChecked(true);
    c.condition->setCurrentIndex(a.condition);
    c.value->setValue(a.value);
    c.duration->setValue(a.duration);
    c.roiUsed->setChecked(a.roiUsed);
    c.exclude->setChecked(a.exclude);
    const int coordinates[4] = {a.rect.left, a.rect.top, a.rect.right, a.rect.bottom};
    for (size_t r = 0; r < 4; ++r) c.rect[r]->setValue(coordinates[r]);
  }
  refreshing_ = false;
  showMarks();
}

void CTabAlarmDlg::showMarks() {
  std::vector<PreviewMark> marks;
  for (size_t i = 0; i < 2; ++i) {
    const KtAlarm& a = model_.alarms[i];
    if (!a.roiUsed) continue;
    marks.push_back({QRect(QPoint(a.rect.left, a.rect.top), QPoint(a.rect.right, a.rect.bottom)),
                     QString("Alarm%1").arg(i + 1),
                     static_cast<int>(i) == regionOf_->currentIndex(), static_cast<int>(i)});
  }
  preview_->setMarks(std::move(marks));
}

void CTabAlarmDlg::loadHeader(HeaderBytes header) {
  model_.loadHeader(header);
  refresh();
}

void CTabAlarmDlg::restoreDefaults() {
  const Commands sent = model_.restoreDefaults();
  refresh();
  for (const auto& command : sent) port_.sendSetting(command);
}

void CTabAlarmDlg::setAlarm() {
  takeControls();
  for (const auto& command : model_.setAlarm()) port_.sendSetting(command);
  // The camera's answers are not waited for: it reports refusals on its own.
  notifier_.tell(kAlarmDoneText, kAlarmDoneCaption, desktop::Severity::Information);
}

}  // namespace analysis
