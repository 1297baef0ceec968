#include "alarm/ui/alarm_set_dlg.h"

#include "alarm/ui/set_sound_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

namespace solvane::alarm {
namespace {

constexpr int kColumnWidth = 80;
constexpr int kRowKindRole = Qt::UserRole;
constexpr int kRowObjectRole = Qt::UserRole + 1;
// Wide enough that an entry beyond the limits can be typed and answered with its warning.
constexpr int kTimeEntryLimit = 9'999'999;
constexpr double kFahrenheitScale = 1.8;
constexpr double kFahrenheitOffset = 32.0;
constexpr double kKelvinOffset = 273.15;

QCheckBox* namedCheckBox(const QString& text, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setAccessibleName(text);
  return box;
}

QSpinBox* timeSpinBox(const QString& name, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(-kTimeEntryLimit, kTimeEntryLimit);
  box->setSingleStep(100);
  box->setSuffix(QStringLiteral(" ms"));
  box->setAccessibleName(name);
  return box;
}

void addResultChoices(QComboBox* box, ObjectKind kind) {
  box->clear();
  const std::array<AlarmResult, 3> areaResults{AlarmResult::Minimum, AlarmResult::Maximum,
                                               AlarmResult::Average};
  if (kind == ObjectKind::Spot) {
    box->addItem(resultCaption(AlarmResult::Value), static_cast<int>(AlarmResult::Value));
    return;
  }
  for (AlarmResult result : areaResults) {
    box->addItem(resultCaption(result), static_cast<int>(result));
  }
}

void selectData(QComboBox* box, int value) {
  const int index = box->findData(value);
  box->setCurrentIndex(index < 0 ? 0 : index);
}

}  // namespace

CAlarmSetDlg::CAlarmSetDlg(desktop::Notifier& notifier, QWidget* parent)
    : QWidget(parent), notifier_(notifier) {
  setAccessibleName(QStringLiteral("Alarm"));
  auto* layout = new QVBoxLayout(this);

  list_ = new QTreeWidget(this);
  list_->setAccessibleName(QStringLiteral("Alarm list"));
  list_->setColumnCount(kColumnCount);
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setHeaderLabels({"Function", "Result", "Condition",
                          QString::fromStdString(valueColumnHeader(0)), "Alarm", "ID"});
  for (int column = 0; column < kIdColumn; ++column) list_->setColumnWidth(column, kColumnWidth);
  list_->setColumnHidden(kIdColumn, true);
  layout->addWidget(list_);

  auto* editors = new QGridLayout;
  result_ = new QComboBox(this);
  result_->setAccessibleName(QStringLiteral("Result"));
  condition_ = new QComboBox(this);
  condition_->setAccessibleName(QStringLiteral("Condition"));
  for (AlarmCondition c : {AlarmCondition::Above, AlarmCondition::Below}) {
    condition_->addItem(conditionCaption(c), static_cast<int>(c));
  }
  output_ = new QComboBox(this);
  output_->setAccessibleName(QStringLiteral("Output"));
  for (AlarmOutput o : {AlarmOutput::Alarm1, AlarmOutput::Alarm2}) {
    output_->addItem(outputCaption(o), static_cast<int>(o));
  }
  value_ = new QDoubleSpinBox(this);
  value_->setAccessibleName(QStringLiteral("Value"));
  value_->setDecimals(2);
  value_->setRange(-10000.0, 10000.0);
  set_ = new QPushButton(QStringLiteral("Set"), this);
  set_->setAccessibleName(QStringLiteral("Set"));
  set_->setAutoDefault(false);
  // Captions over the editors: the boxes alone do not say which field of the row they set.
  const std::array<std::pair<const char*, QWidget*>, 4> captioned{
      {{"Result", result_}, {"Condition", condition_}, {"Alarm", output_}, {"Value", value_}}};
  for (int column = 0; column < static_cast<int>(captioned.size()); ++column) {
    auto* caption = new QLabel(QString::fromLatin1(captioned[column].first), this);
    caption->setBuddy(captioned[column].second);
    editors->addWidget(caption, 0, column);
    editors->addWidget(captioned[column].second, 1, column);
  }
  editors->addWidget(set_, 1, static_cast<int>(captioned.size()));
  layout->addLayout(editors);

  auto* times = new QFormLayout;
  threshold_ = timeSpinBox(QStringLiteral("Threshold time"), this);
  delay_ = timeSpinBox(QStringLiteral("Delay time"), this);
  interval_ = timeSpinBox(QStringLiteral("Interval time"), this);
  times->addRow(QStringLiteral("Threshold time"), threshold_);
  times->addRow(QStringLiteral("Delay time"), delay_);
  times->addRow(QStringLiteral("Interval time"), interval_);
  layout->addLayout(times);

  auto* actions = new QGroupBox(QStringLiteral("Alarm actions"), this);
  actions->setAccessibleName(QStringLiteral("Alarm actions"));
  auto* grid = new QGridLayout(actions);
  display_ = namedCheckBox(QStringLiteral("Display"), actions);
  digital_ = namedCheckBox(QStringLiteral("Digital Out"), actions);
  flash_ = namedCheckBox(QStringLiteral("Flash"), actions);
  store_ = namedCheckBox(QStringLiteral("Store"), actions);
  recordCheck_ = namedCheckBox(QStringLiteral("Recording"), actions);
  exportObjects_ = namedCheckBox(QStringLiteral("Export Selected Objects"), actions);
  oneShot_ = namedCheckBox(QStringLiteral("One-shot Image"), actions);
  play_ = namedCheckBox(QStringLiteral("Play Sound"), actions);
  playLoop_ = namedCheckBox(QStringLiteral("Loop Sound"), actions);
  grid->addWidget(display_, 0, 0);
  grid->addWidget(digital_, 0, 1);
  grid->addWidget(flash_, 0, 2);
  grid->addWidget(store_, 1, 0);
  grid->addWidget(exportObjects_, 1, 1);
  grid->addWidget(oneShot_, 1, 2);
  grid->addWidget(recordCheck_, 2, 0);
  recordForm_ = new QButtonGroup(this);
  const std::array<std::pair<RecordForm, const char*>, 3> forms{
      {{RecordForm::Raw, "RAW"}, {RecordForm::Avi, "AVI"}, {RecordForm::Csv, "CSV"}}};
  int column = 1;
  for (const auto& [form, caption] : forms) {
    auto* radio = new QRadioButton(QString::fromLatin1(caption), actions);
    radio->setAccessibleName(QStringLiteral("Alarm recording ") + QString::fromLatin1(caption));
    recordForm_->addButton(radio, static_cast<int>(form));
    grid->addWidget(radio, 2, column++);
  }
  grid->addWidget(play_, 3, 0);
  grid->addWidget(playLoop_, 3, 1);
  sound_ = new QPushButton(QStringLiteral("Sound..."), actions);
  sound_->setAccessibleName(QStringLiteral("Choose alarm sound"));
  sound_->setAutoDefault(false);
  grid->addWidget(sound_, 3, 2);
  layout->addWidget(actions);

  connect(list_, &QTreeWidget::itemSelectionChanged, this, &CAlarmSetDlg::showSelectedRow);
  connect(list_, &QTreeWidget::itemChanged, this, &CAlarmSetDlg::takeCheckState);
  connect(set_, &QPushButton::clicked, this, &CAlarmSetDlg::applyEditors);
  connect(threshold_, &QSpinBox::editingFinished, this,
          [this] { checkTimeEditor(TimeEditor::Threshold); });
  connect(delay_, &QSpinBox::editingFinished, this, [this] { checkTimeEditor(TimeEditor::Delay); });
  connect(interval_, &QSpinBox::editingFinished, this,
          [this] { checkTimeEditor(TimeEditor::Interval); });
  connect(recordCheck_, &QCheckBox::toggled, this, &CAlarmSetDlg::enableRecordForms);
  connect(sound_, &QPushButton::clicked, this, &CAlarmSetDlg::chooseSound);

  load(AlarmTables{}, AlarmSettings{}, 0);
}

QSpinBox* CAlarmSetDlg::timeEditor(TimeEditor editor) const {
  switch (editor) {
    case TimeEditor::Delay: return delay_;
    case TimeEditor::Interval: return interval_;
    case TimeEditor::Threshold: break;
  }
  return threshold_;
}

void CAlarmSetDlg::load(const AlarmTables& tables, const AlarmSettings& settings,
                        int32_t tempUnit) {
  const AlarmSettings limited = clamped(settings);
  tables_ = tables;
  tempUnit_ = tempUnit;
  untouched_ = limited;
  list_->headerItem()->setText(kValueColumn, QString::fromStdString(valueColumnHeader(tempUnit)));
  fillList();

  threshold_->setValue(limited.thresholdMs);
  delay_->setValue(limited.delayMs);
  interval_->setValue(limited.intervalMs);
  display_->setChecked(limited.display);
  digital_->setChecked(limited.digital);
  flash_->setChecked(limited.flash);
  store_->setChecked(limited.store);
  recordCheck_->setChecked(limited.recordCheck);
  recordForm_->button(static_cast<int>(recordFormOf(limited.recordSelection)))->setChecked(true);
  exportObjects_->setChecked(limited.exportObjects);
  oneShot_->setChecked(limited.oneShot);
  play_->setChecked(limited.play);
  playLoop_->setChecked(limited.playLoop);
  enableRecordForms();
}

void CAlarmSetDlg::store(AlarmTables& tables, AlarmSettings& settings) const {
  tables = tables_;
  settings = untouched_;
  // An entry still being typed has not been answered yet; it is kept within the limits.
  settings.thresholdMs = validateTimeEditor(TimeEditor::Threshold, threshold_->value()).valueMs;
  settings.delayMs = validateTimeEditor(TimeEditor::Delay, delay_->value()).valueMs;
  settings.intervalMs = validateTimeEditor(TimeEditor::Interval, interval_->value()).valueMs;
  settings.display = display_->isChecked();
  settings.digital = digital_->isChecked();
  settings.flash = flash_->isChecked();
  settings.store = store_->isChecked();
  settings.recordCheck = recordCheck_->isChecked();
  settings.recordSelection = recordForm_->checkedId() < 0 ? 0 : recordForm_->checkedId();
  settings.exportObjects = exportObjects_->isChecked();
  settings.oneShot = oneShot_->isChecked();
  settings.play = play_->isChecked();
  settings.playLoop = playLoop_->isChecked();
}

void CAlarmSetDlg::fillList() {
  filling_ = true;
  std::optional<RowKey> keep = selectedRow();
  list_->clear();
  for (const AlarmListRow& row : alarmListRows(tables_)) {
    const AlarmRecord& record = row.entry.record;
    auto* item = new QTreeWidgetItem(list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setText(kFunctionColumn, QString::fromStdString(row.entry.name));
    item->setText(kResultColumn, resultCaption(resultOf(record)));
    item->setText(kConditionColumn, conditionCaption(conditionOf(record)));
    item->setText(kValueColumn, QString::number(shownValue(record.value), 'f', 2));
    item->setText(kAlarmColumn, outputCaption(outputOf(record)));
    item->setText(kIdColumn, QString::number(row.shownId));
    item->setCheckState(kFunctionColumn, record.selected != 0 ? Qt::Checked : Qt::Unchecked);
    item->setData(kFunctionColumn, kRowKindRole, static_cast<int>(row.kind));
    item->setData(kFunctionColumn, kRowObjectRole, row.objectId);
    if (keep && keep->kind == row.kind && keep->objectId == row.objectId) {
      item->setSelected(true);
    }
  }
  filling_ = false;
  showSelectedRow();
}

std::optional<RowKey> CAlarmSetDlg::selectedRow() const {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  const QTreeWidgetItem* item = selected.front();
  return RowKey{static_cast<ObjectKind>(item->data(kFunctionColumn, kRowKindRole).toInt()),
                item->data(kFunctionColumn, kRowObjectRole).toInt()};
}

void CAlarmSetDlg::showSelectedRow() {
  if (filling_) return;
  const std::optional<RowKey> row = selectedRow();
  const AlarmEntry* entry = row ? tables_.of(row->kind).find(row->objectId) : nullptr;
  if (entry == nullptr) return;
  addResultChoices(result_, row->kind);
  selectData(result_, static_cast<int>(resultOf(entry->record)));
  selectData(condition_, static_cast<int>(conditionOf(entry->record)));
  selectData(output_, static_cast<int>(outputOf(entry->record)));
  value_->setValue(shownValue(entry->record.value));
}

void CAlarmSetDlg::applyEditors() {
  AlarmEdit edit;
  edit.result = static_cast<AlarmResult>(result_->currentData().toInt());
  edit.condition = static_cast<AlarmCondition>(condition_->currentData().toInt());
  edit.output = static_cast<AlarmOutput>(output_->currentData().toInt());
  edit.valueCelsius = celsiusValue(value_->value());
  if (const std::optional<UserMessage> warning = applyEdit(tables_, selectedRow(), edit)) {
    notifier_.tell(warning->text, warning->title, desktop::Severity::Warning);
    return;
  }
  fillList();
}

void CAlarmSetDlg::takeCheckState(QTreeWidgetItem* item) {
  if (filling_ || item == nullptr) return;
  const RowKey row{static_cast<ObjectKind>(item->data(kFunctionColumn, kRowKindRole).toInt()),
                   item->data(kFunctionColumn, kRowObjectRole).toInt()};
  setArmed(tables_, row, item->checkState(kFunctionColumn) == Qt::Checked);
}

void CAlarmSetDlg::checkTimeEditor(TimeEditor editor) {
  QSpinBox* box = timeEditor(editor);
  const TimeEditorOutcome outcome = validateTimeEditor(editor, box->value());
  if (!outcome.warning) return;
  box->setValue(outcome.valueMs);
  notifier_.tell(outcome.warning->text, outcome.warning->title, desktop::Severity::Warning);
}

void CAlarmSetDlg::enableRecordForms() {
  for (QAbstractButton* button : recordForm_->buttons()) {
    button->setEnabled(recordCheck_->isChecked());
  }
}

void CAlarmSetDlg::chooseSound() {
  CSetSoundDlg dialog(notifier_, this);
  if (silenceReporter_) dialog.setSilenceReporter(silenceReporter_);
  AlarmSettings sound = untouched_;
  sound.playLoop = playLoop_->isChecked();
  dialog.load(sound);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.store(sound);
  untouched_.playPath = sound.playPath;
  playLoop_->setChecked(sound.playLoop);
}

void CAlarmSetDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

double CAlarmSetDlg::shownValue(float celsius) const {
  switch (tempUnit_) {
    case 1: return celsius * kFahrenheitScale + kFahrenheitOffset;
    case 2: return celsius + kKelvinOffset;
    default: return celsius;
  }
}

float CAlarmSetDlg::celsiusValue(double shown) const {
  switch (tempUnit_) {
    case 1: return static_cast<float>((shown - kFahrenheitOffset) / kFahrenheitScale);
    case 2: return static_cast<float>(shown - kKelvinOffset);
    default: return static_cast<float>(shown);
  }
}

}  // namespace solvane::alarm
