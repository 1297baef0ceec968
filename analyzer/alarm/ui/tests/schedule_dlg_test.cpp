// The schedule page: its values load and store, the refused window reaches the user and
// clears the switch, and an accepted one shows the times it was armed with.
#include "alarm/ui/schedule_dlg.h"
#include "alarm/tests/action_log.h"
#include "alarm/tests/fake_clock.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QTimeEdit>
#include <QtTest>

using namespace solvane::alarm;
using namespace std::chrono;

namespace {

// Wednesday 2026-12-09, 10:00:00 local.
constexpr year_month_day kToday{year{2026}, month{12}, day{9}};
constexpr int32_t kTenOClock = 10 * 3600;

ScheduleSettings weeklyWindow() {
  ScheduleSettings settings;
  settings.recurrence = static_cast<int32_t>(Recurrence::Weekly);
  settings.weekDays = 11;  // Friday and Saturday
  settings.recordSelection = static_cast<int32_t>(RecordForm::Avi);
  settings.recordCheck = true;
  settings.exportObjects = true;
  settings.oneShot = false;
  settings.startTime = 8 * 3600 + 30 * 60 + 15;
  settings.stopTime = 17 * 3600;
  return settings;
}

}  // namespace

class ScheduleDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void settingsRoundTrip_data() {
    QTest::addColumn<int>("recurrence");
    QTest::addColumn<int>("weekDays");
    QTest::addColumn<int>("recordSelection");
    QTest::newRow("one_time") << 0 << 0 << 0;
    QTest::newRow("daily") << 1 << 0 << 2;
    QTest::newRow("weekly_Thursday_Saturday") << 2 << 101 << 1;
    QTest::newRow("weekly_every_day") << 2 << 1111111 << 0;
    QTest::newRow("weekly_Sunday_only") << 2 << 1000000 << 0;
  }

  void settingsRoundTrip() {
    QFETCH(int, recurrence);
    QFETCH(int, weekDays);
    QFETCH(int, recordSelection);
    ScheduleSettings settings = weeklyWindow();
    settings.recurrence = recurrence;
    settings.weekDays = weekDays;
    settings.recordSelection = recordSelection;
    desktop::ScriptedNotifier notifier("Solvane");
    CScheduleDlg page(notifier);
    page.load(settings, true);
    ScheduleSettings stored;
    page.store(stored);
    QCOMPARE(stored, settings);
    QVERIFY(page.activateSchedule());
  }

  void weekDaysShowTheirDigits() {
    desktop::ScriptedNotifier notifier("Solvane");
    CScheduleDlg page(notifier);
    page.load(weeklyWindow(), false);
    QStringList checked;
    for (int day = 0; day < 7; ++day) {
      if (page.weekDay(day)->isChecked()) checked << page.weekDay(day)->text();
    }
    QCOMPARE(checked, (QStringList{"Fri", "Sat"}));
    QCOMPARE(page.startTime()->time(), QTime(8, 30, 15));
  }

  void weekDaysAreOfferedOnlyForWeekly_data() {
    QTest::addColumn<int>("recurrence");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("One_time") << 0 << false;
    QTest::newRow("Daily") << 1 << false;
    QTest::newRow("Weekly") << 2 << true;
  }

  void weekDaysAreOfferedOnlyForWeekly() {
    QFETCH(int, recurrence);
    QFETCH(bool, enabled);
    desktop::ScriptedNotifier notifier("Solvane");
    CScheduleDlg page(notifier);
    page.recurrence()->button(recurrence)->click();
    QCOMPARE(page.weekDay(3)->isEnabled(), enabled);
  }

  void stopBeforeStartIsRefusedAndSwitchedOff() {
    testing::ActionLog sink;
    testing::FakeScheduleClock clock;
    clock.setLocalNow(kToday, kTenOClock);
    Schedule schedule(sink, clock);
    desktop::ScriptedNotifier notifier("Solvane");
    CScheduleDlg page(notifier);
    ScheduleSettings settings = weeklyWindow();
    settings.startTime = 23 * 3600;
    settings.stopTime = 3600;
    page.load(settings, true);
    QVERIFY(!page.applyTo(schedule));
    QCOMPARE(notifier.shown().size(), size_t{1});
    QCOMPARE(notifier.shown()[0].text,
             std::string("The Stop time is greater than the start time!!"));
    QCOMPARE(notifier.shown()[0].title, std::string("Warning"));
    QVERIFY(!page.activateBox()->isChecked());
    QVERIFY(!schedule.switchedOn());
  }

  void acceptedWindowShowsItsTimes() {
    testing::ActionLog sink;
    testing::FakeScheduleClock clock;
    clock.setLocalNow(kToday, kTenOClock);
    Schedule schedule(sink, clock);
    desktop::ScriptedNotifier notifier("Solvane");
    CScheduleDlg page(notifier);
    ScheduleSettings settings;
    settings.recurrence = static_cast<int32_t>(Recurrence::Daily);
    settings.startTime = kTenOClock + 60;
    settings.stopTime = kTenOClock + 3660;
    page.load(settings, true);
    QVERIFY(page.applyTo(schedule));
    QVERIFY(notifier.shown().empty());
    QCOMPARE(page.startDelayLabel()->text(), QString("60000 ms"));
    QCOMPARE(page.durationLabel()->text(), QString("3600000 ms"));
    QCOMPARE(page.restOfDayLabel()->text(), QString("82800000 ms"));
    QCOMPARE(schedule.phase(), SchedulePhase::WaitingForStart);
  }

  void switchOffStopsARunningSchedule() {
    testing::ActionLog sink;
    testing::FakeScheduleClock clock;
    clock.setLocalNow(kToday, kTenOClock);
    Schedule schedule(sink, clock);
    ScheduleSettings settings;
    settings.startTime = kTenOClock - 60;
    settings.stopTime = kTenOClock + 60;
    QVERIFY(!schedule.start(settings).has_value());
    QVERIFY(schedule.active());
    desktop::ScriptedNotifier notifier("Solvane");
    CScheduleDlg page(notifier);
    page.load(settings, false);
    QVERIFY(!page.applyTo(schedule));
    QVERIFY(!schedule.active());
    QVERIFY(!schedule.switchedOn());
  }

  void everyControlCarriesAnAccessibleName() {
    desktop::ScriptedNotifier notifier("Solvane");
    CScheduleDlg page(notifier);
    for (QWidget* w : page.findChildren<QWidget*>()) {
      const bool userFacing = qobject_cast<QAbstractButton*>(w) ||
                              qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QLabel*>(w);
      // The captions beside the time fields name their field, not themselves.
      if (!userFacing || (qobject_cast<QLabel*>(w) && static_cast<QLabel*>(w)->buddy())) continue;
      if (qobject_cast<QLabel*>(w) && w->accessibleName().isEmpty() &&
          !static_cast<QLabel*>(w)->text().isEmpty()) {
        continue;
      }
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->metaObject()->className()));
    }
  }
};

QTEST_MAIN(ScheduleDlgTest)
#include "schedule_dlg_test.moc"
