// The alarm page: what it loads it shows, what the user edits it stores, and every refusal
// reaches the user through the notifier.
#include "alarm/ui/alarm_set_dlg.h"
#include "alarm/ui/set_sound_dlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace solvane::alarm;

namespace {

AlarmTables sampleTables() {
  AlarmTables tables;
  AlarmRecord area = defaultAlarmRecord(5);
  area.result = static_cast<int32_t>(AlarmResult::Maximum);
  area.condition = static_cast<int32_t>(AlarmCondition::Below);
  area.output = static_cast<int32_t>(AlarmOutput::Alarm2);
  area.value = 35.5f;
  area.selected = 1;
  tables.areas.adopt(area, "R5");
  tables.spots.adopt(defaultAlarmRecord(105), "S105");
  return tables;
}

void typeInto(QSpinBox* box, int value) {
  box->setValue(value);
  Q_EMIT box->editingFinished();
}

}  // namespace

class AlarmSetDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void listShowsAreasWithOffsetIdAndSpotsWithPlainId() {
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(sampleTables(), AlarmSettings{}, 0);
    QTreeWidget* list = page.alarmList();
    QCOMPARE(list->topLevelItemCount(), 2);
    // Both rows show 105: the area 5 and the spot 105 stay apart by kind.
    QCOMPARE(list->topLevelItem(0)->text(CAlarmSetDlg::kIdColumn), QString("105"));
    QCOMPARE(list->topLevelItem(1)->text(CAlarmSetDlg::kIdColumn), QString("105"));
    QCOMPARE(list->topLevelItem(0)->text(CAlarmSetDlg::kFunctionColumn), QString("R5"));
    QCOMPARE(list->topLevelItem(1)->text(CAlarmSetDlg::kFunctionColumn), QString("S105"));
    QCOMPARE(list->topLevelItem(0)->text(CAlarmSetDlg::kResultColumn), QString("Max."));
    QCOMPARE(list->topLevelItem(0)->text(CAlarmSetDlg::kConditionColumn), QString("Below"));
    QCOMPARE(list->topLevelItem(0)->text(CAlarmSetDlg::kAlarmColumn), QString("Alarm2"));
    QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Checked);
    QCOMPARE(list->topLevelItem(1)->checkState(0), Qt::Unchecked);
    QVERIFY(list->isColumnHidden(CAlarmSetDlg::kIdColumn));
  }

  void valueColumnFollowsTheDisplayUnit_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Celsius") << 0 << QString::fromUtf8("Value(\u00B0C)") << "35.50";
    QTest::newRow("Fahrenheit") << 1 << QString::fromUtf8("Value(\u00B0F)") << "95.90";
    QTest::newRow("Kelvin") << 2 << QString("Value(K)") << "308.65";
  }

  void valueColumnFollowsTheDisplayUnit() {
    QFETCH(int, unit);
    QFETCH(QString, header);
    QFETCH(QString, shown);
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(sampleTables(), AlarmSettings{}, unit);
    QCOMPARE(page.alarmList()->headerItem()->text(CAlarmSetDlg::kValueColumn), header);
    QCOMPARE(page.alarmList()->topLevelItem(0)->text(CAlarmSetDlg::kValueColumn), shown);
  }

  void selectingRowsOffersTheResultsOfItsKind_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("choices");
    QTest::newRow("area") << 0 << QStringList{"Min.", "Max.", "Average"};
    QTest::newRow("spot") << 1 << QStringList{"Value"};
  }

  void selectingRowsOffersTheResultsOfItsKind() {
    QFETCH(int, row);
    QFETCH(QStringList, choices);
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(sampleTables(), AlarmSettings{}, 0);
    page.alarmList()->topLevelItem(row)->setSelected(true);
    QStringList offered;
    for (int i = 0; i < page.resultEditor()->count(); ++i) {
      offered << page.resultEditor()->itemText(i);
    }
    QCOMPARE(offered, choices);
  }

  void setWritesTheEditorsIntoTheSelectedRowInCelsius() {
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(sampleTables(), AlarmSettings{}, 1);
    page.alarmList()->topLevelItem(0)->setSelected(true);
    page.resultEditor()->setCurrentText("Average");
    page.conditionEditor()->setCurrentText("Above");
    page.outputEditor()->setCurrentText("Alarm1");
    page.valueEditor()->setValue(212.0);
    page.setButton()->click();

    AlarmTables stored;
    AlarmSettings settings;
    page.store(stored, settings);
    const AlarmEntry* area = stored.areas.find(5);
    QVERIFY(area != nullptr);
    QCOMPARE(resultOf(area->record), AlarmResult::Average);
    QCOMPARE(conditionOf(area->record), AlarmCondition::Above);
    QCOMPARE(outputOf(area->record), AlarmOutput::Alarm1);
    QCOMPARE(area->record.value, 100.0f);
    QVERIFY(notifier.shown().empty());
    QCOMPARE(stored.spots.entries(), sampleTables().spots.entries());
  }

  void setWithoutSelectionWarnsAndChangesNothing() {
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(sampleTables(), AlarmSettings{}, 0);
    page.valueEditor()->setValue(99.0);
    page.setButton()->click();
    QCOMPARE(notifier.shown().size(), size_t{1});
    QCOMPARE(notifier.shown()[0].text, std::string("Please, select an item in the alarm list!"));
    QCOMPARE(notifier.shown()[0].title, std::string("Warning!!!"));
    AlarmTables stored;
    AlarmSettings settings;
    page.store(stored, settings);
    QCOMPARE(stored.areas.entries(), sampleTables().areas.entries());
  }

  void checkBoxArmsTheRow() {
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(sampleTables(), AlarmSettings{}, 0);
    page.alarmList()->topLevelItem(1)->setCheckState(0, Qt::Checked);
    page.alarmList()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    AlarmTables stored;
    AlarmSettings settings;
    page.store(stored, settings);
    QCOMPARE(stored.spots.find(105)->record.selected, 1);
    QCOMPARE(stored.areas.find(5)->record.selected, 0);
  }

  void timeEditorsAnswerEntriesOutsideTheirRange_data() {
    QTest::addColumn<int>("editor");
    QTest::addColumn<int>("entered");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("message");
    QTest::newRow("threshold_above") << 0 << 70000 << 60000 << "Threshold time is less than 60000.";
    QTest::newRow("threshold_below") << 0 << -5 << 0 << "Threshold time is greater than 0.";
    QTest::newRow("delay_above") << 1 << 60001 << 60000 << "Delay time is less than 60000.";
    QTest::newRow("delay_below") << 1 << -1 << 0 << "Delay time is greater than 0.";
    QTest::newRow("interval_above") << 2 << 99999 << 60000 << "Interval time is less than 60000.";
    QTest::newRow("interval_below") << 2 << -60000 << 0 << "Interval time is greater than 0.";
  }

  void timeEditorsAnswerEntriesOutsideTheirRange() {
    QFETCH(int, editor);
    QFETCH(int, entered);
    QFETCH(int, kept);
    QFETCH(QString, message);
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    QSpinBox* box = page.timeEditor(static_cast<TimeEditor>(editor));
    typeInto(box, entered);
    QCOMPARE(box->value(), kept);
    QCOMPARE(notifier.shown().size(), size_t{1});
    QCOMPARE(QString::fromStdString(notifier.shown()[0].text), message);
    QCOMPARE(notifier.shown()[0].title, std::string("Warning!!!"));
  }

  void timeEditorInsideItsRangeSaysNothing() {
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    typeInto(page.timeEditor(TimeEditor::Delay), 60000);
    QVERIFY(notifier.shown().empty());
  }

  void settingsRoundTrip() {
    AlarmSettings settings;
    settings.display = true;
    settings.flash = true;
    settings.store = true;
    settings.recordCheck = true;
    settings.recordSelection = 2;
    settings.oneShot = true;
    settings.thresholdMs = 1500;
    settings.delayMs = 0;
    settings.intervalMs = 60000;
    settings.playLoop = true;
    settings.playPath = "/tmp/a.wav";
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(sampleTables(), settings, 0);
    AlarmTables tables;
    AlarmSettings stored;
    page.store(tables, stored);
    QCOMPARE(stored, settings);
    QCOMPARE(tables.areas.entries(), sampleTables().areas.entries());
  }

  void recordingChoicesFollowTheRecordingCheckBox() {
    AlarmSettings settings;
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(AlarmTables{}, settings, 0);
    QList<QAbstractButton*> forms;
    for (QAbstractButton* b : page.findChildren<QAbstractButton*>()) {
      if (b->accessibleName().startsWith("Alarm recording ")) forms << b;
    }
    QCOMPARE(forms.size(), 3);
    for (QAbstractButton* b : forms) QVERIFY(!b->isEnabled());
    settings.recordCheck = true;
    page.load(AlarmTables{}, settings, 0);
    for (QAbstractButton* b : forms) QVERIFY(b->isEnabled());
  }

  void enterDoesNotCloseTheHostingDialog() {
    desktop::ScriptedNotifier notifier("Solvane");
    QDialog host;
    auto* page = new CAlarmSetDlg(notifier, &host);
    auto* ok = new QPushButton("OK", &host);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &host, &QDialog::accept);
    host.show();
    QSpinBox* box = page->timeEditor(TimeEditor::Threshold);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(host.isVisible());
    QCOMPARE(host.result(), 0);
  }

  void soundDialogChangesThePlayPathOnlyWhenAccepted_data() {
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("path");
    QTest::newRow("accepted") << true << "/srv/new.wav";
    QTest::newRow("cancelled") << false << "/srv/old.wav";
  }

  void soundDialogChangesThePlayPathOnlyWhenAccepted() {
    QFETCH(bool, accept);
    QFETCH(QString, path);
    AlarmSettings settings;
    settings.playPath = "/srv/old.wav";
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    page.load(AlarmTables{}, settings, 0);
    bool answered = false;
    // The dialog is modal: it is answered from the event loop it runs.
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<CSetSoundDlg*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      dialog->pathEdit()->setText("/srv/new.wav");
      dialog->loopBox()->setChecked(true);
      answered = true;
      accept ? dialog->accept() : dialog->reject();
    });
    page.soundButton()->click();
    QVERIFY(answered);
    AlarmTables tables;
    AlarmSettings stored;
    page.store(tables, stored);
    QCOMPARE(QString::fromStdString(stored.playPath), path);
    QCOMPARE(stored.playLoop, accept);
  }

  void everyControlCarriesAnAccessibleName() {
    desktop::ScriptedNotifier notifier("Solvane");
    CAlarmSetDlg page(notifier);
    for (QWidget* w : page.findChildren<QWidget*>()) {
      const bool userFacing = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                              qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QTreeWidget*>(w);
      if (!userFacing) continue;
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->metaObject()->className()));
    }
  }
};

QTEST_MAIN(AlarmSetDlgTest)
#include "alarm_set_dlg_test.moc"
