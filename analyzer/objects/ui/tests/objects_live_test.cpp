// Measurement objects in the analyzer's window against the simulated camera, offscreen:
// placing each kind with the mouse (zoomed, mirrored, flipped), selecting, moving and
// resizing, the lock, deleting, the measurement pass while the list changes, and the object
// file across a restart.
#include "acquisition/ui/live_controller.h"
#include "app/commands.h"
#include "app/notifier.h"
#include "app/ui/main_frame.h"
#include "app/ui/solvane_session.h"
#include "app/ui/tests/live_window_fixture.h"
#include "objects/ui/objects_controller.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace solvane;

namespace {

constexpr int kBoundMs = 20000;

// The image pixels an object covers, by its per-pixel test.
struct Extent {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int count = 0;
};
Extent extentOf(const CObjectROI& object, int width, int height) {
  Extent e;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (object.contains(x, y)) {
        e.left = std::min(e.left, x), e.right = std::max(e.right, x);
        e.top = std::min(e.top, y), e.bottom = std::max(e.bottom, y);
        ++e.count;
      }
  return e;
}

}  // namespace

class ObjectsLiveTest : public QObject, live_window::LiveWindowFixture {
  Q_OBJECT

 private:
  // A window on the camera, started the first time; a later window reuses the same camera.
  void startCamera() {
    if (!sim_) startSimulator(live_window::cameraOptions());
    if (QTest::currentTestFailed()) return;
    openSession();
    if (QTest::currentTestFailed()) return;
    goLive();
    if (QTest::currentTestFailed()) return;
    QTRY_VERIFY_WITH_TIMEOUT(live_->view().paintedFrames() > 0, kBoundMs);
  }

  ObjectsController& objects() { return live_->objects(); }
  void trigger(Command command) { session_->mainFrame().command(command)->trigger(); }

  // The widget position of an image point as the view shows it now.
  QPoint at(double x, double y) {
    const auto [w, h] = live_->pipeline().frameSize();
    const auto place = placementOf(live_->view(), w, h);
    if (!place) return {};
    const ImagePoint v = place->mapping.toView(x, y);
    return QPoint(static_cast<int>(place->origin.x() + v.x),
                  static_cast<int>(place->origin.y() + v.y));
  }
  // A move straight to the view, as the window system hands it over.
  void moveTo(QPoint p, Qt::MouseButtons buttons = Qt::NoButton) {
    QWidget* view = &live_->view();
    QMouseEvent event(QEvent::MouseMove, p, view->mapToGlobal(p), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &event);
  }
  void drag(QPoint from, QPoint to) {
    QWidget* view = &live_->view();
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    moveTo((from + to) / 2, Qt::LeftButton);
    moveTo(to, Qt::LeftButton);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  }
  // The one object of the list (the tests place one at a time).
  Extent onlyExtent() {
    Extent e;
    int count = 0;
    objects().objects().withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& list) {
      count = static_cast<int>(list.size());
      if (!list.empty()) e = extentOf(*list.front(), 640, 480);
    });
    [&] { QCOMPARE(count, 1); }();
    return e;
  }
  void placeKind(Command tool) {
    trigger(tool);
    if (tool == Command::Polygon) {
      QWidget* view = &live_->view();
      for (QPoint p : {at(100, 60), at(160, 60), at(160, 120)}) {
        // The vertex being placed follows the mouse; a click fixes it and starts the next.
        moveTo(p);
        QTest::mousePress(view, Qt::LeftButton, {}, p);
        QTest::mouseRelease(view, Qt::LeftButton, {}, p);
      }
      moveTo(at(100, 120));
      QTest::mouseDClick(view, Qt::LeftButton, {}, at(100, 120));
    } else {
      drag(at(100.5, 60.5), at(160.5, 120.5));
    }
    trigger(Command::Pointer);
  }

 private slots:
  void init() {
    reset();
    startCamera();
    if (live_) live_->view().resize(1200, 900);
  }

  void cleanup() { stop(); }

  void placesEachKindWhereTheMouseDrew_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<int>("zoom");  // position in the zoom commands
    QTest::addColumn<bool>("mirror");
    QTest::addColumn<bool>("flip");
    QTest::newRow("spot") << int(Command::Spot) << 0 << false << false;
    QTest::newRow("rectangle") << int(Command::Rectangle) << 0 << false << false;
    QTest::newRow("ellipse") << int(Command::Ellipse) << 0 << false << false;
    QTest::newRow("line") << int(Command::Line) << 0 << false << false;
    QTest::newRow("polygon") << int(Command::Polygon) << 0 << false << false;
    QTest::newRow("rectangleZoomed2x") << int(Command::Rectangle) << 2 << false << false;
    QTest::newRow("rectangleMirrored") << int(Command::Rectangle) << 0 << true << false;
    QTest::newRow("lineFlipped") << int(Command::Line) << 0 << false << true;
    QTest::newRow("spotMirroredAndFlipped") << int(Command::Spot) << 0 << true << true;
  }
  void placesEachKindWhereTheMouseDrew() {
    QFETCH(int, tool);
    QFETCH(int, zoom);
    QFETCH(bool, mirror);
    QFETCH(bool, flip);
    trigger(zoomCommand(static_cast<size_t>(zoom)));
    if (mirror) trigger(Command::Mirror);
    if (flip) trigger(Command::Flip);
    placeKind(static_cast<Command>(tool));
    const Extent e = onlyExtent();
    // A spot follows the mouse to where the button came up; the other kinds start where the
    // drawing started, whatever way the picture is turned.
    const bool spot = static_cast<Command>(tool) == Command::Spot;
    QVERIFY2(std::abs(e.left - (spot ? 160 : 100)) <= 1 && std::abs(e.top - (spot ? 120 : 60)) <= 1,
             qPrintable(QString("at %1,%2").arg(e.left).arg(e.top)));
    if (!spot)
      QVERIFY2(std::abs(e.right - 160) <= 2 && std::abs(e.bottom - 120) <= 2,
               qPrintable(QString("to %1,%2").arg(e.right).arg(e.bottom)));
  }

  void selectsMovesAndResizesARectangle() {
    placeKind(Command::Rectangle);
    objects().objects().deselectAll();
    // The body drags the whole rectangle.
    drag(at(130, 90), at(150, 100));
    QVERIFY(objects().objects().selectedId() != 0);
    Extent e = onlyExtent();
    QCOMPARE(e.left, 120);
    QCOMPARE(e.top, 70);
    const int width = e.right - e.left;
    // The bottom-right corner drags only that corner.
    drag(at(e.right + 1, e.bottom + 1), at(200, 180));
    e = onlyExtent();
    QCOMPARE(e.left, 120);
    QCOMPARE(e.top, 70);
    QVERIFY(e.right - e.left > width);
  }

  void aMovedObjectStaysInsideTheImage() {
    placeKind(Command::Rectangle);
    drag(at(130, 90), at(900, 700));  // far past the bottom-right corner
    const Extent e = onlyExtent();
    QVERIFY(e.right <= 639 && e.bottom <= 479);
    QVERIFY(e.left >= 0 && e.top >= 0);
  }

  void lockedObjectsRefuseSelectionAndCreation() {
    placeKind(Command::Rectangle);
    objects().objects().deselectAll();
    trigger(Command::RoiLock);
    QVERIFY(session_->mainFrame().command(Command::RoiLock)->isChecked());
    const Extent before = onlyExtent();
    drag(at(130, 90), at(150, 100));
    QCOMPARE(objects().objects().selectedId(), 0);
    QCOMPARE(onlyExtent().left, before.left);
    trigger(Command::Spot);
    drag(at(10, 10), at(10, 10));
    QCOMPARE(objects().objects().size(), 1);
  }

  void disconnectingLocksAndConnectingUnlocks() {
    placeKind(Command::Rectangle);
    live_->disconnectCamera();
    QVERIFY(session_->mainFrame().command(Command::RoiLock)->isChecked());
    QCOMPARE(objects().objects().selectedId(), 0);
    QVERIFY(live_->connectCamera());
    QVERIFY(!session_->mainFrame().command(Command::RoiLock)->isChecked());
    drag(at(130, 90), at(130, 90));
    QVERIFY(objects().objects().selectedId() != 0);
  }

  void deletesOneKindOrAll() {
    placeKind(Command::Spot);
    trigger(Command::Rectangle);
    drag(at(200, 100), at(230, 130));
    trigger(Command::Line);
    drag(at(20, 200), at(80, 220));
    objects().deleteKind(RoiKind::Rect);
    QCOMPARE(objects().objects().size(), 2);
    objects().objects().withObjects([](const std::vector<std::unique_ptr<CObjectROI>>& list) {
      for (const auto& o : list) QVERIFY(o->kind() != RoiKind::Rect);
    });
    objects().deleteAll();
    QCOMPARE(objects().objects().size(), 0);
  }

  void measuresEveryFrameWhileTheListChanges() {
    const irsim::PixelPoint hot = sim_->scene().hotCentre(0);
    auto rect = objects().objects().makeObject(RoiKind::Rect);
    static_cast<CRectROI&>(*rect).setBox({hot.x - 3, hot.y - 3, hot.x + 4, hot.y + 4});
    const int32_t hotId = rect->id();
    QVERIFY(objects().objects().add(std::move(rect)));
    // The window keeps adding and removing spots while frames are measured.
    const uint64_t start = live_->pipeline().frameCount();
    int round = 0;
    while (live_->pipeline().frameCount() < start + 20) {
      auto spot = objects().objects().makeObject(RoiKind::Spot);
      static_cast<CSpotROI&>(*spot).setPosition(round % 640, round % 480);
      const int32_t id = spot->id();
      objects().objects().add(std::move(spot));
      QTest::qWait(5);
      QVERIFY(objects().objects().remove(id));
      QVERIFY2(++round < 20000, "frames stopped coming");
    }
    const auto frame = live_->pipeline().latest();
    QVERIFY(frame && frame->measurements);
    const ObjectMeasurement* hotRect = frame->measurements->find(hotId);
    QVERIFY(hotRect && hotRect->stats.valid);
    // The rectangle over the hot blob reads hotter than the whole picture's average.
    QVERIFY(frame->hotCold);
    QVERIFY(hotRect->stats.maxTemp > frame->hotCold->cold + 1.0f);
    QVERIFY(hotRect->label.contains(QChar(0xB0)));
  }

  void savedObjectsLoadAgainAfterARestart() {
    placeKind(Command::Ellipse);
    trigger(Command::Rectangle);
    drag(at(200, 100), at(230, 130));
    const QString path = folder_->filePath("objects.xml");
    QVERIFY(objects().saveTo(path.toStdString()).ok());
    QCOMPARE(QString::fromStdString(notifier_.shown().back().text), QString(kObjectsSavedText));
    std::vector<std::pair<QString, int>> before;
    objects().objects().withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& list) {
      for (const auto& o : list) before.emplace_back(o->coordinateText(), int(o->kind()));
    });
    closeWindow();
    startCamera();
    QCOMPARE(objects().objects().size(), 0);
    QVERIFY(objects().loadFrom(path.toStdString()).ok());
    std::vector<std::pair<QString, int>> after;
    objects().objects().withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& list) {
      for (const auto& o : list) after.emplace_back(o->coordinateText(), int(o->kind()));
    });
    QCOMPARE(after, before);
  }

  void aBrokenFileIsReportedWithReasonAndLine() {
    const QString path = folder_->filePath("broken.xml");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<Parent>\n<Camera>\n<Resolution xSize='320' ySize='240'>\n</Parent>\n");
    file.close();
    placeKind(Command::Spot);
    QVERIFY(!objects().loadFrom(path.toStdString()).ok());
    QCOMPARE(objects().objects().size(), 1);  // the list stays as it was
    const QString output = objects().outputPane()->toPlainText();
    QVERIFY2(output.contains("Reason: ") && output.contains("Line: "), qPrintable(output));
    QCOMPARE(QString::fromStdString(notifier_.shown().back().text), QString(kCannotOpenText));
  }

  void hiddenGraphicsLeaveThePictureAlone() {
    placeKind(Command::Rectangle);
    const QImage shown = live_->view().composedPicture();
    trigger(Command::ShowGraphics);
    QVERIFY(!session_->mainFrame().command(Command::ShowGraphics)->isChecked());
    const QImage hidden = live_->view().composedPicture();
    // The rectangle's top edge is drawn only while graphics are shown.
    QVERIFY(shown.pixel(130, 60) != hidden.pixel(130, 60));
  }
};

QTEST_MAIN(ObjectsLiveTest)
#include "objects_live_test.moc"
