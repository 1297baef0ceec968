// The window's snapshot and temperature-map commands against the simulated camera,
// offscreen: the files appear under the save folder, the snapshot carries the frame's own raw
// counts, and the map holds one temperature per pixel.
#include "acquisition/ui/live_controller.h"
#include "app/commands.h"
#include "app/ui/solvane_session.h"
#include "app/ui/tests/live_window_fixture.h"
#include "export/ui/export_controller.h"
#include "export/ui/object_log_controller.h"
#include "export/ui/select_object_dlg.h"
#include "objects/rect_roi.h"
#include "objects/spot_roi.h"
#include "objects/ui/objects_controller.h"
#include "snapshot/snapshot.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace solvane;

namespace {

constexpr int kBoundMs = 30000;

struct Model {
  const char* name;
  int width;
  int height;
};

}  // namespace

class ExportsWindowTest : public QObject, live_window::LiveWindowFixture {
  Q_OBJECT

  void startCamera(const char* model) {
    live_window::LiveWindowSetup setup;
    setup.saveFolder = true;
    start(model, setup);
    if (QTest::currentTestFailed()) return;
    QTRY_VERIFY_WITH_TIMEOUT(live_->exports().frames().latest().has_value(), kBoundMs);
  }

  // Stops the stream, so the still frame is the one the files are compared with.
  void freeze() {
    live_->freeze();
    QTRY_VERIFY_WITH_TIMEOUT(!live_->isLive(), kBoundMs);
  }

 private slots:
  void init() { reset(); }
  void cleanup() { stop(); }

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

  // "Export Selected Object" through its dialog: the chosen spot and rectangle get a header
  // and then a line every "OBJECT FRAME" passes, with the values the pass measured.
  void objectLogFollowsTheMeasurementPasses() {
    startCamera("kt640");
    // "Half fps" for the objects: a line every second pass.
    session_->document().settings().updateCond = 1;
    emit session_->mainFrame().settingsChanged();
    QCOMPARE(session_->document().settings().objectFrame, 2);
    CManagerROI& objects = live_->objects().objects();
    auto spot = objects.makeObject(RoiKind::Spot);
    static_cast<CSpotROI&>(*spot).setPosition(320, 240);
    auto rect = objects.makeObject(RoiKind::Rect);
    static_cast<CRectROI&>(*rect).setBox(BoxGeometry{100, 100, 200, 180});
    const std::string spotName = spot->name().toStdString();
    const std::string rectName = rect->name().toStdString();
    QVERIFY(objects.add(std::move(spot)) && objects.add(std::move(rect)));

    // Choose both in "Select Object", then OK.
    connect(&live_->objectLog(), &ObjectLogController::selectDialogOpened, this,
            [](exports::CSelectObjectDlg* dialog) {
              QTimer::singleShot(0, dialog, [dialog] {
                dialog->activatedList()->selectAll();
                dialog->addButton()->click();
                dialog->accept();
              });
            });
    session_->mainFrame().command(Command::ExportSelectedObject)->trigger();
    const auto path = live_->objectLog().runningPath();
    QVERIFY(path.has_value());
    QVERIFY(QString::fromStdString(*path).contains("_Object_"));

    // Lines arrive while the camera streams; the first pass's results are its own frame's.
    const auto linesOf = [&] {
      QFile file(QString::fromStdString(*path));
      if (!file.open(QIODevice::ReadOnly)) return QList<QByteArray>{};
      QList<QByteArray> lines = file.readAll().split('\n');
      lines.removeLast();
      return lines;
    };
    QTRY_VERIFY_WITH_TIMEOUT(linesOf().size() >= 4, kBoundMs);
    const QList<QByteArray> lines = linesOf();
    QCOMPARE(lines.front(), QByteArray(("Time," + spotName + "," + rectName + "[Min]," + rectName +
                                        "[Max]," + rectName + "[Aver]," + rectName + "[Std],")
                                           .c_str()));
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const QList<QByteArray> fields = lines[i].split(',');
      QCOMPARE(fields.size(), 6);  // time, spot, four of the rectangle
      bool ok = false;
      const double hotDisc = fields[1].toDouble(&ok);
      QVERIFY(ok);
      QVERIFY2(hotDisc > -60 && hotDisc < 2000, fields[1].constData());
      QVERIFY(fields[2].toDouble() <= fields[4].toDouble());  // minimum below average
      QVERIFY(fields[4].toDouble() <= fields[3].toDouble());  // average below maximum
    }

    // Frames keep coming: two passes a line, so about half of the frames are logged.
    const uint64_t framesBefore = live_->pipeline().frameCount();
    const qsizetype linesBefore = linesOf().size();
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameCount() >= framesBefore + 30, kBoundMs);
    live_->freeze();
    QTRY_VERIFY_WITH_TIMEOUT(!live_->isLive(), kBoundMs);
    const double perLine = double(live_->pipeline().frameCount() - framesBefore) /
                           double(linesOf().size() - linesBefore);
    QVERIFY2(perLine > 1.6 && perLine < 2.5, QByteArray::number(perLine).constData());

    // Choosing nothing ends the log.
    disconnect(&live_->objectLog(), &ObjectLogController::selectDialogOpened, this, nullptr);
    connect(&live_->objectLog(), &ObjectLogController::selectDialogOpened, this,
            [](exports::CSelectObjectDlg* dialog) {
              QTimer::singleShot(0, dialog, [dialog] {
                dialog->selectedList()->selectAll();
                dialog->removeButton()->click();
                dialog->accept();
              });
            });
    session_->mainFrame().command(Command::ExportSelectedObject)->trigger();
    QVERIFY(!live_->objectLog().runningPath().has_value());
  }
};

QTEST_MAIN(ExportsWindowTest)
#include "exports_window_test.moc"
