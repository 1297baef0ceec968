// The window's snapshot and temperature-map commands against the simulated camera,
// offscreen: the files appear under the save folder, the snapshot carries the frame's own raw
// counts, and the map holds one temperature per pixel.
#include "acquisition/ui/live_controller.h"
#include "app/commands.h"
#include "app/ui/solvane_session.h"
#include "export/ui/export_controller.h"
#include "snapshot/snapshot.h"

#include "simulator.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace solvane;

namespace {

constexpr int kBoundMs = 30000;

irsim::Options cameraOptions(const char* model) {
  irsim::Options options;
  options.port = 0;  // a free loopback port of its own
  options.camera = irsim::CameraConfig{};
  irsim::parseModel(model, options.camera, nullptr);
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 0;
  return options;
}

struct Model {
  const char* name;
  int width;
  int height;
};

}  // namespace

class ExportsWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder_;
  ScriptedNotifier notifier_;
  std::unique_ptr<irsim::Simulator> sim_;
  std::unique_ptr<SolvaneSession> session_;
  LiveController* live_ = nullptr;

  void startCamera(const char* model) {
    sim_ = std::make_unique<irsim::Simulator>(cameraOptions(model));
    std::string error;
    QVERIFY2(sim_->start(&error), error.c_str());
    SessionOptions sessionOptions;
    sessionOptions.programFolder = folder_->path().toStdString();
    sessionOptions.settingsFile = folder_->filePath("settings.ini");
    sessionOptions.picturesFolder = folder_->filePath("Pictures").toStdString();
    sessionOptions.openUrl = [](const QUrl&) { return true; };
    session_ = std::make_unique<SolvaneSession>(std::move(sessionOptions), notifier_);
    LiveOptions liveOptions;
    liveOptions.retryDelay = std::chrono::milliseconds(100);
    liveOptions.port = std::to_string(sim_->port());
    liveOptions.namesFile = folder_->filePath("cam_name.cnm").toStdString();
    live_ = new LiveController(session_->mainFrame(), session_->document(), notifier_, liveOptions);
    session_->showMainWindow(false);
    session_->document().settings().camIp = "127.0.0.1";
    session_->document().settings().savePath = folder_->filePath("out").toStdString();
    QVERIFY(QDir().mkpath(folder_->filePath("out")));
    QVERIFY(live_->connectCamera());
    QTRY_VERIFY_WITH_TIMEOUT(live_->isLive(), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(live_->exports().frames().latest().has_value(), kBoundMs);
  }

  // Stops the stream, so the still frame is the one the files are compared with.
  void freeze() {
    live_->freeze();
    QTRY_VERIFY_WITH_TIMEOUT(!live_->isLive(), kBoundMs);
  }

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    notifier_.clear();
  }

  void cleanup() {
    if (live_) live_->disconnectCamera();
    session_.reset();
    live_ = nullptr;
    if (sim_) sim_->stop();
    sim_.reset();
  }

  void snapshotReadsBackWithTheFramesRawCounts_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (const Model& m : {Model{"kt640", 640, 480}, Model{"va320", 384, 288}})
      QTest::newRow(m.name) << QString(m.name) << m.width << m.height;
  }
  void snapshotReadsBackWithTheFramesRawCounts() {
    QFETCH(QString, model);
    QFETCH(int, width);
    QFETCH(int, height);
    startCamera(model.toLatin1().constData());
    freeze();
    const auto raw = live_->exports().frames().latest();
    QVERIFY(raw.has_value());
    QVERIFY(session_->mainFrame().command(Command::SaveOneShot)->isEnabled());
    const auto path = live_->exports().saveOneShot();
    QVERIFY(path.has_value());
    QVERIFY(QString::fromStdString(*path).contains("_IR_"));
    QVERIFY(QString::fromStdString(*path).endsWith(".jpg"));
    const snapshot::ReadResult read = snapshot::readSnapshotFile(*path);
    QVERIFY(read.ok());
    QCOMPARE(int(read.data.width()), width);
    QCOMPARE(int(read.data.height()), height);
    const std::vector<uint16_t> counts(read.data.pixels.begin(),
                                       read.data.pixels.begin() + width * height);
    QVERIFY(counts == raw->pixels);
    QVERIFY(std::equal(raw->header.begin(), raw->header.end(), read.data.camHeader.begin()));
  }

  void loadedSnapshotIsOverwritten() {
    startCamera("kt640");
    freeze();
    const QString loaded = folder_->filePath("out/shown.jpg");
    QFile file(loaded);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("placeholder");
    file.close();
    live_->exports().setLoadedSnapshot(loaded.toStdString());
    const auto path = live_->exports().saveOneShot();
    QVERIFY(path.has_value());
    QCOMPARE(QString::fromStdString(*path), loaded);
    QVERIFY(snapshot::readSnapshotFile(loaded.toStdString()).ok());
  }

  void temperatureMapHasOneValuePerPixel_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (const Model& m : {Model{"kt640", 640, 480}, Model{"va320", 384, 288}})
      QTest::newRow(m.name) << QString(m.name) << m.width << m.height;
  }
  void temperatureMapHasOneValuePerPixel() {
    QFETCH(QString, model);
    QFETCH(int, width);
    QFETCH(int, height);
    startCamera(model.toLatin1().constData());
    freeze();
    QSignalSpy done(&live_->exports(), &ExportController::temperatureMapDone);
    session_->mainFrame().command(Command::ExportTempData)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, kBoundMs);
    QVERIFY(done.at(0).at(1).toBool());
    const QString path = done.at(0).at(0).toString();
    QVERIFY(path.contains("_TM_"));
    QFile map(path);
    QVERIFY(map.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = map.readAll().split('\n');
    QCOMPARE(lines.size(), height + 1);  // the last line's "\n" leaves one empty piece
    QVERIFY(lines.last().isEmpty());
    int plausible = 0;
    for (int row = 0; row < height; ++row) {
      const QList<QByteArray> values = lines[row].split(',');
      QCOMPARE(values.size(), width);
      bool ok = false;
      const double celsius = values.front().toDouble(&ok);
      QVERIFY(ok);
      plausible += celsius > -60 && celsius < 2000;
    }
    QCOMPARE(plausible, height);
  }

  void temperatureMapWithinTheSameSecondIsDropped() {
    startCamera("kt640");
    freeze();
    QSignalSpy done(&live_->exports(), &ExportController::temperatureMapDone);
    // Both are named in the same second unless the second turns between them: then two
    // distinct names are right too, and the rule is checked by the names alone.
    const auto first = live_->exports().exportTemperatureMap();
    const auto second = live_->exports().exportTemperatureMap();
    QVERIFY(first && second);
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, kBoundMs);
    const int written = done.at(0).at(1).toBool() + done.at(1).at(1).toBool();
    QCOMPARE(written, *first == *second ? 1 : 2);
  }
};

QTEST_MAIN(ExportsWindowTest)
#include "exports_window_test.moc"
