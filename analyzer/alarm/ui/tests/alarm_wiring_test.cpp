// The alarm in the running window, offscreen, against the simulated camera: a spot on the
// hot disc raises its alarm through the camera's digital output, an alarm recording and the
// alarm object log, and everything stops once the condition clears; a loaded snapshot never
// runs the alarm; switching the alarm off sends each off command once; the environment
// dialog hosts the alarm and schedule pages.
#include "acquisition/ui/live_controller.h"
#include "alarm/ui/alarm_controller.h"
#include "alarm/ui/alarm_set_dlg.h"
#include "alarm/ui/schedule_dlg.h"
#include "app/commands.h"
#include "app/notifier.h"
#include "app/ui/main_frame.h"
#include "app/ui/solvane_session.h"
#include "app/ui/tests/live_window_fixture.h"
#include "export/ui/export_controller.h"
#include "objects/spot_roi.h"
#include "objects/ui/objects_controller.h"
#include "record/ui/playback_controller.h"
#include "record/ui/record_controller.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

using namespace solvane;
using alarm::ObjectKind;

namespace {

constexpr int kBoundMs = 30000;

int countCommands(const irsim::Simulator& sim, uint16_t settingId, bool on) {
  const std::vector<irsim::LogEntry> log = sim.commandLog();
  return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const irsim::LogEntry& e) {
    return e.type == 39 && e.settingId == settingId && (e.value != 0) == on;
  }));
}

QStringList savedFiles(const QString& folder, const QString& pattern) {
  return QDir(folder).entryList({pattern}, QDir::Files);
}

// A short, silent 8 kHz 16-bit mono sound.
QByteArray silentWav() {
  auto le16 = [](int v) { return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8)); };
  auto le32 = [&](uint32_t v) { return le16(int(v & 0xFFFF)) + le16(int(v >> 16)); };
  const QByteArray format = QByteArray("fmt ") + le32(16) + le16(1) + le16(1) + le32(8000) +
                            le32(16000) + le16(2) + le16(16);
  const QByteArray data = QByteArray("data") + le32(800) + QByteArray(800, '\0');
  return QByteArray("RIFF") + le32(uint32_t(4 + format.size() + data.size())) + QByteArray("WAVE") +
         format + data;
}

int lineCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(file.readAll().count('\n'));
}

}  // namespace

class AlarmWiringTest : public QObject, live_window::LiveWindowFixture {
  Q_OBJECT

 private:
  void startStreaming(std::chrono::milliseconds retryDelay = std::chrono::milliseconds(100)) {
    live_window::LiveWindowSetup setup;
    setup.retryDelay = retryDelay;
    start("vi640", setup);
    if (QTest::currentTestFailed()) return;
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameCount() > 0, kBoundMs);
  }

  AlarmController& alarms() { return live_->alarms(); }
  QString savePath() const {
    return QString::fromStdString(session_->document().settings().savePath);
  }
  void trigger(Command command) { session_->mainFrame().command(command)->trigger(); }

  // A spot on the hot (or cold) disc; its table entry appears with the next pass.
  int32_t placeSpot(bool hot) {
    const irsim::PixelPoint at = hot ? sim_->scene().hotCentre(0) : sim_->scene().coldCentre(0);
    CManagerROI& objects = live_->objects().objects();
    auto made = objects.makeObject(RoiKind::Spot);
    static_cast<CSpotROI&>(*made).setPosition(at.x, at.y);
    const int32_t id = made->id();
    [&] { QVERIFY(objects.add(std::move(made))); }();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(alarms().tables().spots.find(id) != nullptr, kBoundMs); }();
    return id;
  }

  void arm(int32_t id, float aboveCelsius) {
    alarms().changeTables([&](alarm::AlarmTables& tables) {
      alarm::AlarmEntry* entry = tables.spots.find(id);
      QVERIFY(entry);
      entry->record.condition = static_cast<int32_t>(alarm::AlarmCondition::Above);
      entry->record.output = static_cast<int32_t>(alarm::AlarmOutput::Alarm1);
      entry->record.value = aboveCelsius;
      entry->record.selected = 1;
    });
  }

  // Short times, so the test sees the alarm come and go within a few dozen frames.
  void useAlarmSettings(int32_t timesMs) {
    AnalyzerSettings& s = session_->document().settings();
    s.alarmDigital = true;
    s.alarmStore = true;
    s.alarmRecordCheck = true;
    s.alarmRecordSelection = 0;  // RAW
    s.alarmExportObjects = true;
    s.alarmThresholdMs = timesMs;
    s.alarmDelayMs = timesMs;
    s.alarmIntervalMs = timesMs;
    s.objectFrame = 1;
    Q_EMIT session_->mainFrame().settingsChanged();
  }

  // Opens "Environment Setting...", lets `edit` work on the pages and presses OK.
  void runEnvironmentDialog(const std::function<void(QDialog&)>& edit) {
    bool reached = false;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      reached = true;
      edit(*dialog);
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    trigger(Command::Environment);
    QVERIFY(reached);
  }

  QString outputText() { return live_->objects().outputPane()->toPlainText(); }

  bool spotFlag(int32_t id) {
    bool flag = false;
    live_->objects().objects().withObject(id, [&](CObjectROI& o) { flag = o.generationAlarm(); });
    return flag;
  }

 private Q_SLOTS:
  void init() { reset(); }
  void cleanup() { stop(); }

  void storedKeysSurviveTheRoundTripThroughTheCore() {
    // Every key away from its default, so a field left out in either direction shows.
    AnalyzerSettings s;
    s.alarmDisplay = s.alarmDigital = s.alarmFlash = s.alarmStore = true;
    s.alarmRecordCheck = s.alarmExportObjects = s.alarmOneShot = true;
    s.alarmPlay = s.alarmPlayLoop = true;
    s.alarmRecordSelection = 2;
    s.alarmThresholdMs = 1100;
    s.alarmDelayMs = 1200;
    s.alarmIntervalMs = 1300;
    s.alarmPlayPath = "/tmp/a.wav";
    s.schedRecurPattern = 2;
    s.schedWeekDays = 1010101;
    s.schedRecordSelection = 1;
    s.schedRecordCheck = s.schedExport = s.schedOneShot = true;
    s.schedStartTime = 3600;
    s.schedStopTime = 7200;
    AnalyzerSettings back;
    storeAlarmSettings(alarmSettingsOf(s), back);
    storeScheduleSettings(scheduleSettingsOf(s), back);
    QVERIFY(back == s);
  }

  void alarmSwitchIsACheckedCommand() {
    openWindow();
    QAction* onOff = session_->mainFrame().command(Command::AlarmOnOff);
    QVERIFY(onOff->isEnabled());
    QVERIFY(onOff->isCheckable());
    QVERIFY(!onOff->isChecked());
    onOff->trigger();
    QVERIFY(alarms().alarmSwitch());
    QVERIFY(onOff->isChecked());
    onOff->trigger();
    QVERIFY(!alarms().alarmSwitch());
  }

  void hotSpotRaisesTheAlarmAndItsActionsThenEverythingStops() {
    startStreaming();
    const int32_t id = placeSpot(true);
    useAlarmSettings(300);
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);

    QTRY_VERIFY_WITH_TIMEOUT(alarms().objectState(ObjectKind::Spot, id).alarmFlag, kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(spotFlag(id), kBoundMs);
    const int16_t onValue =
        live_->acquisition().camera().ks ? alarm::kDigitalOutputOnKs : alarm::kDigitalOutputOnKt;
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, true) == 1,
                             kBoundMs);
    const std::vector<irsim::LogEntry> log = sim_->commandLog();
    const auto on = std::find_if(log.begin(), log.end(), [](const irsim::LogEntry& e) {
      return e.settingId == alarm::kDigitalOutput1SettingId;
    });
    QCOMPARE(static_cast<int16_t>(on->value), onValue);
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput2SettingId, true), 0);

    QTRY_VERIFY_WITH_TIMEOUT(live_->records().recorder().state().recording(), kBoundMs);
    QCOMPARE(live_->records().recorder().state().kind, record::RecordKind::Alarm);
    QTRY_VERIFY_WITH_TIMEOUT(!savedFiles(savePath(), "*_IRS_*.hxr").isEmpty(), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(alarms().runningLog(alarm::ActionSource::Alarm).has_value(), kBoundMs);
    const QString logPath =
        QString::fromStdString(*alarms().runningLog(alarm::ActionSource::Alarm));
    QVERIFY2(logPath.contains("_AlarmObj_"), qPrintable(logPath));
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(logPath) >= 3, kBoundMs);  // header and lines

    // The condition clears: the alarm ends after its delay and takes its actions along.
    arm(id, 200.0f);
    QTRY_VERIFY_WITH_TIMEOUT(!alarms().objectState(ObjectKind::Spot, id).alarmFlag, kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(!spotFlag(id), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false) == 1,
                             kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(!live_->records().recorder().state().recording(), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(!alarms().runningLog(alarm::ActionSource::Alarm), kBoundMs);
    const int linesAtEnd = lineCount(logPath);
    waitFrames(20);
    QCOMPARE(lineCount(logPath), linesAtEnd);
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput1SettingId, true), 1);
    for (const auto& message : notifier_.shown())
      QVERIFY2(message.title != "Error Message", message.text.c_str());
  }

  void flashingAlarmColoursComeAndGoWhileTheAlarmIsOn() {
    startStreaming();
    const int32_t id = placeSpot(true);
    session_->document().settings().alarmDisplay = true;
    session_->document().settings().alarmFlash = true;
    useAlarmSettings(0);
    QVERIFY(live_->objects().alarmColours());
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(spotFlag(id), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(!live_->objects().alarmColours(), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(live_->objects().alarmColours(), kBoundMs);
    // Off, the colours stay on for the next alarm instead of stopping in an off beat.
    trigger(Command::AlarmOnOff);
    QVERIFY(live_->objects().alarmColours());
    QVERIFY(!spotFlag(id));
  }

  void alarmColoursStayOffWithoutTheDisplayChoice() {
    startStreaming();
    const int32_t id = placeSpot(true);
    useAlarmSettings(0);
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(spotFlag(id), kBoundMs);
    QVERIFY(!live_->objects().alarmColours());
  }

  void coldSpotNeverRaisesAnAboveAlarm() {
    startStreaming();
    const int32_t id = placeSpot(false);
    useAlarmSettings(0);
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    waitFrames(30);
    QVERIFY(!alarms().objectState(ObjectKind::Spot, id).alarmFlag);
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput1SettingId, true), 0);
  }

  void switchingOffSendsEachOffCommandOnce() {
    startStreaming();
    const int32_t id = placeSpot(true);
    useAlarmSettings(0);
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, true) == 1,
                             kBoundMs);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false) == 1,
                             kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput2SettingId, false) == 1,
                             kBoundMs);
    waitFrames(30);
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false), 1);
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput2SettingId, false), 1);
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput1SettingId, true), 1);
    QVERIFY(!spotFlag(id));
    QTRY_VERIFY_WITH_TIMEOUT(!live_->records().recorder().state().recording(), kBoundMs);
  }

  void loadedSnapshotDoesNotRunTheAlarm() {
    startStreaming();
    const int32_t id = placeSpot(true);
    const std::optional<std::string> snapshot = live_->exports().saveOneShot();
    QVERIFY(snapshot.has_value());
    live_->disconnectCamera();
    useAlarmSettings(0);  // a single pass over the hot spot would raise it
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    const auto before = live_->objects().latestMeasurements();
    QVERIFY(live_->playback().open(*snapshot));
    QTRY_VERIFY_WITH_TIMEOUT(live_->objects().latestMeasurements() != before, kBoundMs);
    const auto measured = live_->objects().latestMeasurements();
    QVERIFY(measured->find(id) != nullptr);
    QVERIFY(measured->find(id)->stats.maxTemp > 60.0f);
    QCoreApplication::processEvents();
    QVERIFY(!alarms().objectState(ObjectKind::Spot, id).alarmFlag);
    QVERIFY(!spotFlag(id));
  }

  // Disconnecting on purpose (or closing the program) tells the camera first.
  void userDisconnectSwitchesOutputsOffFirst_data() {
    QTest::addColumn<bool>("closeWindow");
    QTest::newRow("disconnect") << false;
    QTest::newRow("closeWindow") << true;
  }
  void userDisconnectSwitchesOutputsOffFirst() {
    QFETCH(bool, closeWindow);
    startStreaming();
    const int32_t id = placeSpot(true);
    useAlarmSettings(0);
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, true) == 1,
                             kBoundMs);
    if (closeWindow)
      session_->mainFrame().close();
    else
      live_->disconnectCamera();
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false) == 1,
                             kBoundMs);
    const std::vector<irsim::LogEntry> log = sim_->commandLog();
    QVERIFY(std::all_of(log.begin(), log.end(), [](const irsim::LogEntry& e) {
      return e.connection == 1;  // sent on the connection that was open, not a later one
    }));
  }

  void outputsLeftOnAreSwitchedOffOnReconnection() {
    startStreaming();
    const int32_t id = placeSpot(true);
    useAlarmSettings(0);
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, true) == 1,
                             kBoundMs);
    // The link drops: nobody could tell the camera; it hears of it when it is back.
    irsim::Fault drop;
    drop.kind = irsim::Fault::Kind::CloseAfterFrames;
    drop.count = 1;
    sim_->addFault(drop);
    QTRY_VERIFY_WITH_TIMEOUT(!live_->acquisition().connected(), kBoundMs);
    sim_->clearFaults();
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false), 0);
    // The first thing the new connection hears of output 1 is its off command.
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false) == 1,
                             kBoundMs);
    const std::vector<irsim::LogEntry> log = sim_->commandLog();
    const auto first = std::find_if(log.begin(), log.end(), [](const irsim::LogEntry& e) {
      return e.connection == 2 && e.settingId == alarm::kDigitalOutput1SettingId;
    });
    QVERIFY(first != log.end());
    QCOMPARE(first->value, uint16_t{0});
  }

  void offCommandsLostWithADroppedLinkAreSentOnReconnection() {
    // The retry waits long enough for the alarm to be switched off while the link is down.
    startStreaming(std::chrono::milliseconds(3000));
    const int32_t id = placeSpot(true);
    useAlarmSettings(0);
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, true) == 1,
                             kBoundMs);
    irsim::Fault drop;
    drop.kind = irsim::Fault::Kind::CloseAfterFrames;
    drop.count = 1;
    sim_->addFault(drop);
    QTRY_VERIFY_WITH_TIMEOUT(!live_->acquisition().connected(), kBoundMs);
    sim_->clearFaults();
    trigger(Command::AlarmOnOff);  // its off commands find no link
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false), 0);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false) == 1,
                             kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(countCommands(*sim_, alarm::kDigitalOutput2SettingId, false) == 1,
                             kBoundMs);
    waitFrames(10);
    QCOMPARE(countCommands(*sim_, alarm::kDigitalOutput1SettingId, false), 1);
  }

  void alarmSoundStaysSilentWithoutAudioAndSaysSoOnce() {
    startStreaming();
    const QString wavPath = folder_->filePath("alarm.wav");
    QFile wav(wavPath);
    QVERIFY(wav.open(QIODevice::WriteOnly));
    wav.write(silentWav());
    wav.close();
    alarms().sound().setAudioProbe([] { return false; });
    const int32_t id = placeSpot(true);
    AnalyzerSettings& s = session_->document().settings();
    s.alarmPlay = true;
    s.alarmPlayLoop = true;
    s.alarmPlayPath = wavPath.toStdString();
    useAlarmSettings(0);
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(alarms().sound().isPlaying(), kBoundMs);
    arm(id, 200.0f);
    QTRY_VERIFY_WITH_TIMEOUT(!alarms().sound().isPlaying(), kBoundMs);
    arm(id, 60.0f);
    QTRY_VERIFY_WITH_TIMEOUT(alarms().sound().isPlaying(), kBoundMs);
    trigger(Command::AlarmOnOff);
    QVERIFY(!alarms().sound().isPlaying());
    QCOMPARE(outputText().count(alarm::AlarmSoundPlayer::kSilenceNote), 1);
  }

  void alarmTakesOneShotImagesWhileOn() {
    startStreaming();
    const int32_t id = placeSpot(true);
    session_->document().settings().alarmOneShot = true;
    session_->document().settings().alarmRecordCheck = false;
    useAlarmSettings(0);
    session_->document().settings().objectFrame = 10;
    Q_EMIT session_->mainFrame().settingsChanged();
    arm(id, 60.0f);
    trigger(Command::AlarmOnOff);
    QTRY_VERIFY_WITH_TIMEOUT(savedFiles(savePath(), "*_IR_*.jpg").size() >= 1, kBoundMs);
    trigger(Command::AlarmOnOff);
  }

  void scheduleWindowOpenNowRecordsAndLogsUntilSwitchedOff() {
    startStreaming();
    placeSpot(true);
    AnalyzerSettings& s = session_->document().settings();
    s.schedExport = true;
    s.schedRecordCheck = true;
    s.schedRecordSelection = 0;
    s.objectFrame = 1;
    Q_EMIT session_->mainFrame().settingsChanged();
    // A daily window that began a minute ago and ends at the end of the day.
    const QTime clock = QTime::currentTime();
    const QTime now(clock.hour(), clock.minute(), clock.second());  // the editors keep seconds
    const QTime start = now.secsTo(QTime(0, 0)) > -60 ? QTime(0, 0) : now.addSecs(-60);
    runEnvironmentDialog([&](QDialog& dialog) {
      auto* page = dialog.findChild<alarm::CScheduleDlg*>();
      QVERIFY(page);
      page->recurrence()->button(static_cast<int>(alarm::Recurrence::Daily))->click();
      page->startTime()->setTime(start);
      page->stopTime()->setTime(QTime(23, 59, 59));
      page->activateBox()->setChecked(true);
    });
    QVERIFY(alarms().scheduleOn());
    QVERIFY(alarms().scheduleActive());
    QVERIFY(alarms().scheduleTimer().isActive());  // armed for the window's end
    QTRY_VERIFY_WITH_TIMEOUT(alarms().runningLog(alarm::ActionSource::Schedule).has_value(),
                             kBoundMs);
    const QString logPath =
        QString::fromStdString(*alarms().runningLog(alarm::ActionSource::Schedule));
    QVERIFY2(logPath.contains("_ShedObj_"), qPrintable(logPath));
    QTRY_VERIFY_WITH_TIMEOUT(lineCount(logPath) >= 3, kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(live_->records().recorder().state().recording(), kBoundMs);
    QCOMPARE(live_->records().recorder().state().kind, record::RecordKind::Schedule);

    QString shownDuration;
    runEnvironmentDialog([&](QDialog& dialog) {
      auto* page = dialog.findChild<alarm::CScheduleDlg*>();
      shownDuration = page->durationLabel()->text();
      page->activateBox()->setChecked(false);
    });
    QCOMPARE(shownDuration, QString::number(QTime(23, 59, 59).msecsSinceStartOfDay() -
                                            start.msecsSinceStartOfDay()) +
                                " ms");
    QVERIFY(!alarms().scheduleOn());
    QVERIFY(!alarms().scheduleTimer().isActive());
    QVERIFY(!alarms().runningLog(alarm::ActionSource::Schedule));
    QVERIFY(!live_->records().recorder().state().recording());
  }

  void scheduleStoppingBeforeItStartsIsRefused() {
    openWindow();
    runEnvironmentDialog([](QDialog& dialog) {
      auto* page = dialog.findChild<alarm::CScheduleDlg*>();
      page->startTime()->setTime(QTime(12, 0));
      page->stopTime()->setTime(QTime(11, 0));
      page->activateBox()->setChecked(true);
    });
    QVERIFY(!alarms().scheduleOn());
    QVERIFY(!alarms().scheduleTimer().isActive());
    QVERIFY(!notifier_.shown().empty());
    QCOMPARE(notifier_.shown().back().text,
             std::string("The Stop time is greater than the start time!!"));
  }

  void deletedObjectLosesItsEntry() {
    startStreaming();
    const int32_t id = placeSpot(true);
    live_->objects().deleteAll();
    QVERIFY(alarms().tables().spots.find(id) == nullptr);
    waitFrames(5);
    QVERIFY(alarms().tables().spots.find(id) == nullptr);
  }

  void environmentDialogHostsTheAlarmAndSchedulePages() {
    startStreaming();
    const int32_t id = placeSpot(true);
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      auto* tabs = dialog->findChild<QTabWidget*>("environmentPages");
      QStringList titles;
      for (int i = 0; tabs && i < tabs->count(); ++i) titles << tabs->tabText(i);
      auto* alarmPage = dialog->findChild<alarm::CAlarmSetDlg*>();
      auto* schedulePage = dialog->findChild<alarm::CScheduleDlg*>();
      if (titles.contains("Alarm") && titles.contains("Schedule") && alarmPage && schedulePage) {
        // The spot's row (ID = object id): its check box arms the alarm.
        QTreeWidget* list = alarmPage->alarmList();
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
          QTreeWidgetItem* item = list->topLevelItem(row);
          if (item->text(alarm::CAlarmSetDlg::kIdColumn) == QString::number(id)) {
            item->setCheckState(0, Qt::Checked);
            checked = true;
          }
        }
      }
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    trigger(Command::Environment);
    QVERIFY(checked);
    const alarm::AlarmEntry* entry = alarms().tables().spots.find(id);
    QVERIFY(entry);
    QCOMPARE(entry->record.selected, 1);
    int32_t carried = 0;
    live_->objects().objects().withObject(id, [&](CObjectROI& o) { carried = o.alarm().selected; });
    QCOMPARE(carried, 1);
  }
};

QTEST_MAIN(AlarmWiringTest)
#include "alarm_wiring_test.moc"
