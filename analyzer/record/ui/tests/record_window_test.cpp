// Recording the simulated camera from the window, offscreen: the record buttons follow the
// recording, and the stream file plays back with the frames the recorder counted.
#include "acquisition/ui/live_controller.h"
#include "app/commands.h"
#include "app/ui/solvane_session.h"
#include "app/ui/tests/live_window_fixture.h"
#include "export/ui/export_controller.h"
#include "record/play_file.h"
#include "record/ui/record_controller.h"
#include "settings/ui/environment_controller.h"

#include <QAction>
#include <QDir>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace solvane;

namespace {

constexpr int kBoundMs = 30000;
constexpr uint32_t kFramesToRecord = 5;

}  // namespace

class RecordWindowTest : public QObject, live_window::LiveWindowFixture {
  Q_OBJECT

  void startCamera(const char* model) {
    live_window::LiveWindowSetup setup;
    setup.saveFolder = true;
    openWindow(model, setup);
    if (QTest::currentTestFailed()) return;
    AnalyzerSettings& settings = session_->document().settings();
    settings.useAvi = 0;
    settings.recordCond = 0;  // every frame
    goLive();
    if (QTest::currentTestFailed()) return;
    QTRY_VERIFY_WITH_TIMEOUT(live_->exports().frames().latest().has_value(), kBoundMs);
  }

  QAction* command(Command which) { return session_->mainFrame().command(which); }

 private slots:
  void init() { reset(); }
  void cleanup() { stop(); }

  void recordedStreamPlaysBackWithItsFrames_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("kt640") << QString("kt640") << 640 << 480;
    QTest::newRow("va320") << QString("va320") << 384 << 288;
  }
  void recordedStreamPlaysBackWithItsFrames() {
    QFETCH(QString, model);
    QFETCH(int, width);
    QFETCH(int, height);
    startCamera(model.toLatin1().constData());
    RecordController& records = live_->records();
    QSignalSpy changes(&records, &RecordController::recordingChanged);
    QVERIFY(command(Command::RecordIrStream)->isEnabled());
    QVERIFY(!command(Command::StopIrStream)->isEnabled());
    command(Command::RecordIrStream)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, kBoundMs);
    QCOMPARE(changes.at(0).at(0).toInt(), 3);
    QVERIFY(!command(Command::RecordIrStream)->isEnabled());
    QVERIFY(command(Command::StopIrStream)->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(records.recorder().state().frameCounter >= kFramesToRecord, kBoundMs);
    command(Command::StopIrStream)->trigger();
    const record::RecorderState state = records.recorder().state();
    QVERIFY(!state.recording());
    QCOMPARE(state.files.size(), size_t{1});
    QVERIFY(QString::fromStdString(state.files.front()).contains("_IRS_"));
    QVERIFY(QString::fromStdString(state.files.front()).endsWith(".hxr"));
    QTRY_VERIFY_WITH_TIMEOUT(command(Command::RecordIrStream)->isEnabled(), kBoundMs);
    QVERIFY(!command(Command::StopIrStream)->isEnabled());

    record::PlayFile file;
    std::string error;
    QVERIFY2(file.open(state.files.front(), error), error.c_str());
    QCOMPARE(file.geometry().width, width);
    QCOMPARE(file.geometry().height, height);
    QCOMPARE(uint32_t(file.frameCount()), state.frameCounter);
    // Without wrapping, the last frame comes with the end status.
    for (int32_t i = 0; i < file.frameCount(); ++i)
      QCOMPARE(file.readForward(i, false).status,
               i + 1 < file.frameCount() ? SDK_SUCCESS : SDK_ERR_END_OF_IR_IMAGE);
  }

  void freezingEndsTheRecording() {
    startCamera("va320");
    QVERIFY(live_->records().startRecording());
    QTRY_VERIFY_WITH_TIMEOUT(live_->records().recorder().state().frameCounter >= 1, kBoundMs);
    live_->freeze();
    QTRY_VERIFY_WITH_TIMEOUT(!live_->records().recorder().state().recording(), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(command(Command::RecordIrStream)->isEnabled() == false, kBoundMs);
    QVERIFY(!command(Command::StopIrStream)->isEnabled());
  }

  void aviWithoutCodecRecordsNothing() {
    startCamera("va320");
    session_->document().settings().useAvi = 1;
    session_->document().settings().fourcc.clear();
    QVERIFY(!live_->records().startRecording());
    QVERIFY(!live_->records().recorder().state().recording());
    const auto told = [this] {
      for (const Message& message : notifier_.shown())
        if (message.text == "No selected codec!!") return true;
      return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(told(), kBoundMs);
    QVERIFY(QDir(folder_->filePath("out")).entryList(QDir::Files).isEmpty());
  }

  // The recording page in "Environment Setting...": "Manual Name" chosen there makes the
  // next recording ask for its file; no answer records nothing.
  void manualNameFromTheEnvironmentDialogAsksForTheFile() {
    startCamera("va320");
    auto* environment = session_->mainFrame().findChild<settings::EnvironmentController*>();
    QVERIFY(environment);
    connect(environment, &settings::EnvironmentController::opened, this,
            [](settings::CEnvironmentDlg* dialog) {
              QTimer::singleShot(0, dialog, [dialog] {
                QTabWidget* tabs = dialog->tabs();
                int page = -1;
                for (int i = 0; i < tabs->count(); ++i)
                  if (tabs->tabText(i) == "Recording") page = i;
                QVERIFY(page >= 0);
                tabs->setCurrentIndex(page);
                tabs->widget(page)->findChild<QRadioButton*>("manualName")->click();
                dialog->accept();
              });
            });
    command(Command::Environment)->trigger();
    QVERIFY(session_->document().settings().recordManualName);

    QStringList asked;
    QString answer;
    live_->records().setPathQuestion([&](const QString&, const QString& filter) {
      asked << filter;
      return answer;
    });
    QVERIFY(!live_->records().startRecording());  // the question was not answered
    answer = folder_->filePath("out/furnace");
    QVERIFY(live_->records().startRecording());
    QCOMPARE(asked, (QStringList{"IR Files (*.hxr)", "IR Files (*.hxr)"}));
    QTRY_VERIFY_WITH_TIMEOUT(live_->records().recorder().state().frameCounter >= 2, kBoundMs);
    live_->records().stopRecording();
    QCOMPARE(live_->records().recorder().state().files,
             (std::vector<std::string>{(answer + ".hxr").toStdString()}));
    record::PlayFile file;
    std::string error;
    QVERIFY2(file.open((answer + ".hxr").toStdString(), error), error.c_str());
    QVERIFY(file.frameCount() >= 2);
  }
};

QTEST_MAIN(RecordWindowTest)
#include "record_window_test.moc"
