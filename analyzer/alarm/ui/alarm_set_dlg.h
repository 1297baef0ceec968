// The alarm page of the environment dialog: the list of object alarms with their editors,
// the alarm actions and the three alarm times. The page edits a copy of the document's
// tables and settings; the hosting dialog takes them back with store() on OK.
#pragma once

#include "alarm/alarm_settings.h"
#include "alarm/alarm_tables.h"
#include "desktop/notifier.h"

#include <QWidget>

#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace solvane::alarm {

class CAlarmSetDlg : public QWidget {
  Q_OBJECT
 public:
  // Columns of the alarm list; the ID column is hidden.
  enum Column {
    kFunctionColumn,
    kResultColumn,
    kConditionColumn,
    kValueColumn,
    kAlarmColumn,
    kIdColumn,
    kColumnCount
  };

  explicit CAlarmSetDlg(desktop::Notifier& notifier, QWidget* parent = nullptr);

  // tempUnit: 0 Celsius, 1 Fahrenheit, 2 Kelvin; values are shown and edited in it.
  void load(const AlarmTables& tables, const AlarmSettings& settings, int32_t tempUnit);
  void store(AlarmTables& tables, AlarmSettings& settings) const;

  QTreeWidget* alarmList() const { return list_; }
  QComboBox* resultEditor() const { return result_; }
  QComboBox* conditionEditor() const { return condition_; }
  QComboBox* outputEditor() const { return output_; }
  QDoubleSpinBox* valueEditor() const { return value_; }
  QPushButton* setButton() const { return set_; }
  QSpinBox* timeEditor(TimeEditor editor) const;
  QPushButton* soundButton() const { return sound_; }

  // Passed to the sound dialog the page opens: where its note about missing audio goes.
  void setSilenceReporter(std::function<void(const QString&)> reporter) {
    silenceReporter_ = std::move(reporter);
  }

 protected:
  // The page lives inside a dialog: Enter confirms an entry, it does not close the dialog.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void fillList();
  void showSelectedRow();
  void applyEditors();
  void takeCheckState(QTreeWidgetItem* item);
  void checkTimeEditor(TimeEditor editor);
  void enableRecordForms();
  void chooseSound();
  std::optional<RowKey> selectedRow() const;
  double shownValue(float celsius) const;
  float celsiusValue(double shown) const;

  desktop::Notifier& notifier_;
  AlarmTables tables_;
  int32_t tempUnit_ = 0;
  bool filling_ = false;

  QTreeWidget* list_;
  QComboBox* result_;
  QComboBox* condition_;
  QComboBox* output_;
  QDoubleSpinBox* value_;
  QPushButton* set_;
  QSpinBox* threshold_;
  QSpinBox* delay_;
  QSpinBox* interval_;
  QCheckBox* display_;
  QCheckBox* digital_;
  QCheckBox* flash_;
  QCheckBox* store_;
  QCheckBox* recordCheck_;
  QButtonGroup* recordForm_;
  QCheckBox* exportObjects_;
  QCheckBox* oneShot_;
  QCheckBox* play_;
  QCheckBox* playLoop_;
  QPushButton* sound_;
  std::function<void(const QString&)> silenceReporter_;
  AlarmSettings untouched_;  // settings the page shows nowhere, kept as they came
};

}  // namespace solvane::alarm
