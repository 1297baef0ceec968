#include "alarm/ui/schedule_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <optional>
#include <utility>

namespace solvane::alarm {
namespace {

constexpr std::array<const char*, 7> kWeekDayCaptions{"Sun", "Mon", "Tue", "Wed",
                                                      "Thu", "Fri", "Sat"};
constexpr const char* kTimeFormat = "HH:mm:ss";

QTimeEdit* timeEdit(const QString& name, QWidget* parent) {
  auto* edit = new QTimeEdit(parent);
  edit->setDisplayFormat(QString::fromLatin1(kTimeFormat));
  edit->setAccessibleName(name);
  return edit;
}

QCheckBox* namedCheckBox(const QString& text, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setAccessibleName(text);
  return box;
}

QLabel* namedLabel(const QString& name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAccessibleName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QTime timeOfSeconds(int32_t seconds) { return QTime(0, 0).addSecs(seconds); }
int32_t secondsOfTime(const QTime& time) { return QTime(0, 0).secsTo(time); }

QString milliseconds(int64_t ms) { return QString::number(ms) + QStringLiteral(" ms"); }

}  // namespace

CScheduleDlg::CScheduleDlg(desktop::Notifier& notifier, QWidget* parent)
    : QWidget(parent), notifier_(notifier) {
  setAccessibleName(QStringLiteral("Schedule"));
  auto* layout = new QVBoxLayout(this);

  auto* pattern = new QGroupBox(QStringLiteral("Recurrence"), this);
  pattern->setAccessibleName(QStringLiteral("Recurrence"));
  auto* patternRow = new QHBoxLayout(pattern);
  recurrence_ = new QButtonGroup(this);
  const std::array<std::pair<Recurrence, const char*>, 3> patterns{
      {{Recurrence::OneTime, "One time"},
       {Recurrence::Daily, "Daily"},
       {Recurrence::Weekly, "Weekly"}}};
  for (const auto& [value, caption] : patterns) {
    auto* radio = new QRadioButton(QString::fromLatin1(caption), pattern);
    radio->setAccessibleName(QString::fromLatin1(caption));
    recurrence_->addButton(radio, static_cast<int>(value));
    patternRow->addWidget(radio);
  }
  layout->addWidget(pattern);

  auto* window = new QFormLayout;
  start_ = timeEdit(QStringLiteral("Start time"), this);
  stop_ = timeEdit(QStringLiteral("Stop time"), this);
  window->addRow(QStringLiteral("Start time"), start_);
  window->addRow(QStringLiteral("Stop time"), stop_);
  layout->addLayout(window);

  auto* days = new QHBoxLayout;
  for (size_t day = 0; day < kWeekDayCaptions.size(); ++day) {
    weekDays_[day] = namedCheckBox(QString::fromLatin1(kWeekDayCaptions[day]), this);
    days->addWidget(weekDays_[day]);
  }
  layout->addLayout(days);

  auto* actions = new QGroupBox(QStringLiteral("Schedule actions"), this);
  actions->setAccessibleName(QStringLiteral("Schedule actions"));
  auto* grid = new QGridLayout(actions);
  recordCheck_ = namedCheckBox(QStringLiteral("Recording"), actions);
  grid->addWidget(recordCheck_, 0, 0);
  recordForm_ = new QButtonGroup(this);
  const std::array<std::pair<RecordForm, const char*>, 3> forms{
      {{RecordForm::Raw, "RAW"}, {RecordForm::Avi, "AVI"}, {RecordForm::Csv, "CSV"}}};
  int column = 1;
  for (const auto& [form, caption] : forms) {
    auto* radio = new QRadioButton(QString::fromLatin1(caption), actions);
    radio->setAccessibleName(QStringLiteral("Schedule recording ") + QString::fromLatin1(caption));
    recordForm_->addButton(radio, static_cast<int>(form));
    grid->addWidget(radio, 0, column++);
  }
  exportObjects_ = namedCheckBox(QStringLiteral("Export Selected Objects"), actions);
  oneShot_ = namedCheckBox(QStringLiteral("One-shot Image"), actions);
  grid->addWidget(exportObjects_, 1, 0);
  grid->addWidget(oneShot_, 1, 1);
  layout->addWidget(actions);

  activate_ = namedCheckBox(QStringLiteral("Activate Schedule"), this);
  layout->addWidget(activate_);

  auto* times = new QFormLayout;
  startDelay_ = namedLabel(QStringLiteral("Start delay"), this);
  duration_ = namedLabel(QStringLiteral("Duration"), this);
  restOfDay_ = namedLabel(QStringLiteral("Rest of day"), this);
  times->addRow(QStringLiteral("Start delay"), startDelay_);
  times->addRow(QStringLiteral("Duration"), duration_);
  times->addRow(QStringLiteral("Rest of day"), restOfDay_);
  layout->addLayout(times);
  // The page is taller than its rows: the space goes below them, not into the groups.
  layout->addStretch(1);
  clearTimes();

  connect(recurrence_, &QButtonGroup::idToggled, this, [this] { enableDependents(); });
  connect(recordCheck_, &QCheckBox::toggled, this, [this] { enableDependents(); });

  load(ScheduleSettings{}, false);
}

void CScheduleDlg::load(const ScheduleSettings& settings, bool activate) {
  const ScheduleSettings limited = clamped(settings);
  recurrence_->button(static_cast<int>(recurrenceOf(limited.recurrence)))->setChecked(true);
  start_->setTime(timeOfSeconds(limited.startTime));
  stop_->setTime(timeOfSeconds(limited.stopTime));
  const WeekDays days = weekDaysFromStored(limited.weekDays);
  for (size_t day = 0; day < days.size(); ++day) weekDays_[day]->setChecked(days[day]);
  recordCheck_->setChecked(limited.recordCheck);
  recordForm_->button(static_cast<int>(recordFormOf(limited.recordSelection)))->setChecked(true);
  exportObjects_->setChecked(limited.exportObjects);
  oneShot_->setChecked(limited.oneShot);
  activate_->setChecked(activate);
  enableDependents();
}

void CScheduleDlg::store(ScheduleSettings& settings) const {
  settings.recurrence = recurrence_->checkedId() < 0 ? 0 : recurrence_->checkedId();
  settings.startTime = secondsOfTime(start_->time());
  settings.stopTime = secondsOfTime(stop_->time());
  WeekDays days{};
  for (size_t day = 0; day < days.size(); ++day) days[day] = weekDays_[day]->isChecked();
  settings.weekDays = storedFromWeekDays(days);
  settings.recordCheck = recordCheck_->isChecked();
  settings.recordSelection = recordForm_->checkedId() < 0 ? 0 : recordForm_->checkedId();
  settings.exportObjects = exportObjects_->isChecked();
  settings.oneShot = oneShot_->isChecked();
}

bool CScheduleDlg::activateSchedule() const { return activate_->isChecked(); }

bool CScheduleDlg::applyTo(Schedule& schedule) {
  if (!activate_->isChecked()) {
    schedule.stop();
    return false;
  }
  ScheduleSettings settings;
  store(settings);
  if (const std::optional<UserMessage> refusal = schedule.start(settings)) {
    activate_->setChecked(false);
    notifier_.tell(refusal->text, refusal->title, desktop::Severity::Warning);
    return false;
  }
  showTimes(schedule.times());
  return schedule.switchedOn();
}

void CScheduleDlg::enableDependents() {
  const bool weekly = recurrence_->checkedId() == static_cast<int>(Recurrence::Weekly);
  for (QCheckBox* day : weekDays_) day->setEnabled(weekly);
  for (QAbstractButton* form : recordForm_->buttons()) form->setEnabled(recordCheck_->isChecked());
}

void CScheduleDlg::clearTimes() {
  // Nothing armed: no times to show, and an empty value would read as a missing field.
  for (QLabel* label : {startDelay_, duration_, restOfDay_}) label->setText(QStringLiteral("-"));
}

void CScheduleDlg::showTimes(const Schedule::Times& times) {
  startDelay_->setText(milliseconds(times.startDelayMs));
  duration_->setText(milliseconds(times.durationMs));
  restOfDay_->setText(milliseconds(times.restOfDayMs));
}

}  // namespace solvane::alarm
