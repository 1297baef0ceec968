// The control dialogs driven as a user would, without a display: typed values and spin steps,
// the messages they give, and what reaches the document.
#include "controls/ui/emissivity_dlg.h"
#include "controls/ui/image_control_dlg.h"
#include "controls/ui/isotherm_setting_dlg.h"
#include "controls/ui/level_span_dlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace solvane;
using namespace solvane::controls;

namespace {

const EnvParams kEnv{0.95f, 20.0f, 1.0f, 0.0f};

void typeInto(StepField* field, const QString& text) {
  field->edit()->selectAll();
  QTest::keyClicks(field->edit(), text);
  QTest::keyClick(field->edit(), Qt::Key_Return);
}

QString lastText(const ScriptedNotifier& notifier) {
  return notifier.shown().empty() ? QString()
                                  : QString::fromStdString(notifier.shown().back().text);
}

QTreeWidgetItem* findItem(QTreeWidget* tree, const QString& parent, const QString& leaf) {
  for (QTreeWidgetItem* item : tree->findItems(parent, Qt::MatchExactly | Qt::MatchRecursive)) {
    if (leaf.isEmpty()) return item;
    for (int i = 0; i < item->childCount(); ++i)
      if (item->child(i)->text(0) == leaf) return item->child(i);
  }
  return nullptr;
}

// Every widget a user acts on or reads carries a name for assistive tools.
void expectAccessibleNames(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    const bool acted = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) ||
                       qobject_cast<QComboBox*>(w) || qobject_cast<QSlider*>(w) ||
                       qobject_cast<QTreeWidget*>(w) || qobject_cast<QLabel*>(w);
    if (acted && !qobject_cast<QLineEdit*>(w->parentWidget()))  // skip inner parts of composites
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->metaObject()->className()));
  }
}

}  // namespace

class ControlDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void typedEmissivity_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0.004 refused") << "0.004"
                                   << "Lower bound limit!"
                                   << "0.95";
    QTest::newRow("0.005 stands") << "0.005"
                                  << ""
                                  << "0.005";
    QTest::newRow("1.001 refused") << "1.001"
                                   << "Upper bound limit!"
                                   << "0.95";
    QTest::newRow("letters refused") << "shiny"
                                     << "Please enter a number."
                                     << "0.95";
  }
  void typedEmissivity() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    ScriptedNotifier notifier;
    CEmissivityDlg dialog(kEnv, Unit::Celsius, notifier);
    typeInto(dialog.fields()->emissivityField(), typed);
    QCOMPARE(lastText(notifier), message);
    if (!message.isEmpty())
      QCOMPARE(QString::fromStdString(notifier.shown().back().title), QString("Status Message"));
    QCOMPARE(dialog.fields()->emissivityField()->text(), shown);
  }

  void emissivityStepStopsAtOne() {
    ScriptedNotifier notifier;
    CEmissivityDlg dialog(EnvParams{1.0f, 20.0f, 1.0f, 0.0f}, Unit::Celsius, notifier);
    dialog.fields()->emissivityField()->upButton()->click();
    QCOMPARE(lastText(notifier), QString("Upper bound limit!"));
    dialog.fields()->emissivityField()->downButton()->click();
    QCOMPARE(dialog.fields()->emissivityField()->text(), QString("0.99"));
  }

  void fahrenheitTemperature_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("213 refused") << "213"
                                 << "Upper bound limit!";
    QTest::newRow("212 accepted") << "212"
                                  << "";
  }
  void fahrenheitTemperature() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    ScriptedNotifier notifier;
    CEmissivityDlg dialog(kEnv, Unit::Fahrenheit, notifier);
    QCOMPARE(dialog.fields()->temperatureCaption()->text(),
             QString::fromUtf8("Atmospheric Temp. (\xC2\xB0"
                               "F)"));
    typeInto(dialog.fields()->temperatureField(), typed);
    QCOMPARE(lastText(notifier), message);
  }

  void applyHandsTheValuesInCelsius() {
    ScriptedNotifier notifier;
    CEmissivityDlg dialog(kEnv, Unit::Fahrenheit, notifier);
    QSignalSpy applied(&dialog, &CEmissivityDlg::applied);
    typeInto(dialog.fields()->temperatureField(), "212");
    typeInto(dialog.fields()->transmissionField(), "0.8");
    dialog.applyButton()->click();
    QCOMPARE(applied.count(), 1);
    const auto env = applied.at(0).at(0).value<EnvParams>();
    QVERIFY(qAbs(env.atmosphericTemp - 100.0f) < 1e-3f);
    QCOMPARE(env.transmission, 0.8f);
    QCOMPARE(env.emissivity, 0.95f);
  }

  void tableChoiceBecomesTheEmissivity() {
    ScriptedNotifier notifier;
    CEmissivityDlg dialog(kEnv, Unit::Celsius, notifier);
    dialog.setTableChooser([] { return std::optional<float>(0.54f); });
    dialog.tableButton()->click();
    QCOMPARE(dialog.fields()->emissivityField()->text(), QString("0.54"));
  }

  void tableConcreteGivesFiftyFourHundredths() {
    ScriptedNotifier notifier;
    CEmissivityTableDlg table(notifier);
    QTreeWidgetItem* item = findItem(table.tree(), "Concrete", "concrete = 0.54");
    QVERIFY(item);
    table.tree()->setCurrentItem(item);
    table.acceptCurrent();
    QCOMPARE(table.result(), int(QDialog::Accepted));
    QCOMPARE(*table.chosen(), 0.54f);
  }

  void tableRefusesAGroupOnOk() {
    ScriptedNotifier notifier;
    CEmissivityTableDlg table(notifier);
    table.tree()->setCurrentItem(findItem(table.tree(), "Metals", ""));
    table.acceptCurrent();
    QCOMPARE(lastText(notifier), QString("Please, select meterial item!"));
    QVERIFY(!table.chosen());
  }

  void tableIgnoresADoubleClickOnAGroup() {
    ScriptedNotifier notifier;
    CEmissivityTableDlg table(notifier);
    emit table.tree()->itemDoubleClicked(findItem(table.tree(), "Metals", ""), 0);
    QVERIFY(notifier.shown().empty());
    QVERIFY(!table.chosen());
  }

  void spanFloorAtTwenty() {
    ScriptedNotifier notifier;
    AgcParams agc{};
    agc.manual = 1;
    CLevelSpanDlg dialog(agc, 20.0f, 2.0f, -20.0f, 130.0f, Unit::Celsius, notifier);
    QSignalSpy changed(&dialog, &CLevelSpanDlg::levelSpanChanged);
    dialog.spanField()->downButton()->click();
    QCOMPARE(lastText(notifier), QString("Span must be greater than 2.0!"));
    QCOMPARE(dialog.spanField()->text(), QString("2.0"));
    QCOMPARE(changed.count(), 0);
    dialog.levelField()->upButton()->click();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(dialog.rangeLabel()->text(), QString::fromUtf8("19.10 - 21.10 \xC2\xB0"
                                                            "C)"));
  }

  void automaticDisablesTheWindowAndKeepsTheInputChoice() {
    ScriptedNotifier notifier;
    AgcParams agc{};
    agc.manual = 1;
    agc.inputMethod = 2;
    CLevelSpanDlg dialog(agc, 20.0f, 10.0f, -20.0f, 130.0f, Unit::Celsius, notifier);
    QSignalSpy agcChanged(&dialog, &CLevelSpanDlg::agcChanged);
    dialog.automaticButton()->click();
    QVERIFY(!dialog.levelField()->isEnabled());
    QCOMPARE(agcChanged.count(), 1);
    QCOMPARE(dialog.agc().manual, 0);
    dialog.manualButton()->click();
    QVERIFY(dialog.spanField()->isEnabled());
    QCOMPARE(dialog.agc().manual, 1);
    QCOMPARE(dialog.agc().inputMethod, 2);
  }

  void isothermIntervalOrder_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("lower onto upper") << int(IsothermLimit::IntervalLower) << "30"
                                      << "Minimum is less than maximum!"
                                      << "29.9";
    QTest::newRow("upper onto lower") << int(IsothermLimit::IntervalUpper) << "20"
                                      << "Maximum is greater than minimum!"
                                      << "20.1";
    QTest::newRow("lower inside") << int(IsothermLimit::IntervalLower) << "22.25"
                                  << ""
                                  << "22.3";
  }
  void isothermIntervalOrder() {
    QFETCH(int, limit);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    ScriptedNotifier notifier;
    IsothermSettings settings;
    settings.enabled = {true, false, false};
    CIsothermSettingDlg dialog(settings, Unit::Celsius, -20.0f, 130.0f, notifier);
    QSignalSpy changed(&dialog, &CIsothermSettingDlg::settingsChanged);
    typeInto(dialog.limitField(static_cast<IsothermLimit>(limit)), typed);
    QCOMPARE(lastText(notifier), message);
    QCOMPARE(dialog.limitField(static_cast<IsothermLimit>(limit))->text(), shown);
    QCOMPARE(changed.count(), 1);
  }

  void isothermStepPastNeighbourIsUndone() {
    ScriptedNotifier notifier;
    IsothermSettings settings;
    settings.enabled = {true, true, false};
    settings.limit = {0.0f, 20.0f, 30.0f, 30.1f};
    CIsothermSettingDlg dialog(settings, Unit::Celsius, -20.0f, 130.0f, notifier);
    dialog.limitField(IsothermLimit::Above)->downButton()->click();
    QCOMPARE(lastText(notifier), QString("Lower bound limit!"));
    QCOMPARE(dialog.limitField(IsothermLimit::Above)->text(), QString("30.1"));
  }

  void isothermSwitchAndColourReachTheView() {
    ScriptedNotifier notifier;
    CIsothermSettingDlg dialog(IsothermSettings{}, Unit::Celsius, -20.0f, 130.0f, notifier);
    QSignalSpy changed(&dialog, &CIsothermSettingDlg::settingsChanged);
    dialog.setColourChooser([](uint32_t) { return std::optional<uint32_t>(0x336699); });
    dialog.enableBox(IsothermBand::Below)->click();
    dialog.colourButton(IsothermBand::Below)->click();
    QCOMPARE(changed.count(), 2);
    const auto last = changed.at(1).at(0).value<IsothermSettings>();
    QVERIFY(last.isEnabled(IsothermBand::Below));
    QCOMPARE(last.colourOf(IsothermBand::Below), 0x336699u);
  }

  void isothermMenuEntries() {
    QMenu menu;
    const IsothermMenu entries = addIsothermMenu(menu);
    QCOMPARE(entries.editor->text(), QString("&Isotherm editor"));
    QCOMPARE(entries.bands[0]->text(), QString("&Interval"));
    QCOMPARE(entries.bands[1]->text(), QString("&Above"));
    QCOMPARE(entries.bands[2]->text(), QString("&Below"));
    QVERIFY(entries.bands[2]->isCheckable());
  }

  void localEnvironmentFollowsItsSwitch() {
    ScriptedNotifier notifier;
    CLocalEmissivityDlg dialog("Sp1", LocalEnvironment{}, Unit::Celsius, notifier);
    QVERIFY(!dialog.fields()->isEnabled());
    dialog.useLocal()->click();
    QVERIFY(dialog.fields()->isEnabled());
    typeInto(dialog.fields()->emissivityField(), "0.5");
    const LocalEnvironment local = dialog.result();
    QVERIFY(local.enabled);
    QCOMPARE(local.params.emissivity, 0.5f);
  }

  void imageControlReadOut_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("text");
    QTest::newRow("celsius") << 0
                             << QString::fromUtf8(
                                    "15.00 ~ 25.00 \xC2\xB0"
                                    "C");
    QTest::newRow("fahrenheit") << 1
                                << QString::fromUtf8(
                                       "59.00 ~ 77.00 \xC2\xB0"
                                       "F");
    QTest::newRow("kelvin") << 2 << QString("288.15 ~ 298.15 K");
  }
  void imageControlReadOut() {
    QFETCH(int, unit);
    QFETCH(QString, text);
    CImageControlDlg pane;
    pane.showWindow(20.0f, 10.0f, unitFromSetting(unit));
    QCOMPARE(pane.windowLabel()->text(), text);
  }

  void imageControlKernelSize() {
    CImageControlDlg pane;
    QSignalSpy sized(&pane, &CImageControlDlg::kernelSizeChanged);
    pane.kernelSlider(BlurKernel::Stack)->setValue(5);
    QCOMPARE(pane.kernelLabel(BlurKernel::Stack)->text(), QString("Kernel size : 5"));
    QCOMPARE(sized.count(), 1);
  }

  void everyDialogNamesItsControls() {
    ScriptedNotifier notifier;
    CEmissivityDlg emissivity(kEnv, Unit::Celsius, notifier);
    expectAccessibleNames(&emissivity);
    CEmissivityTableDlg table(notifier);
    expectAccessibleNames(&table);
    CLevelSpanDlg levelSpan(AgcParams{}, 20.0f, 10.0f, -20.0f, 130.0f, Unit::Celsius, notifier);
    expectAccessibleNames(&levelSpan);
    CIsothermSettingDlg isotherm(IsothermSettings{}, Unit::Celsius, -20.0f, 130.0f, notifier);
    expectAccessibleNames(&isotherm);
    CLocalEmissivityDlg local("Sp1", LocalEnvironment{}, Unit::Celsius, notifier);
    expectAccessibleNames(&local);
    CImageControlDlg pane;
    expectAccessibleNames(&pane);
  }
};

Q_DECLARE_METATYPE(EnvParams)
Q_DECLARE_METATYPE(solvane::controls::IsothermSettings)

QTEST_MAIN(ControlDialogsTest)
#include "control_dialogs_test.moc"
