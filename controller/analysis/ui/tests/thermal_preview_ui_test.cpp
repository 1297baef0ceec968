// The live preview: drags and clicks on the shown picture draw, move and resize the marks in
// camera pixels, whatever size the widget has, and frames are shown with the camera's palette.
#include <QSignalSpy>
#include <QTest>

#include "analysis/ui/thermal_preview.h"

using analysis::DrawnShape;
using analysis::PreviewMark;
using analysis::ThermalPreview;

class ThermalPreviewTest : public QObject {
  Q_OBJECT

 private:
  // A 320 x 240 picture in a 640 x 520 widget: scaled by two, 20 pixels of border top and
  // bottom.
  static void showSmallFrame(ThermalPreview& preview) {
    preview.resize(640, 520);
    preview.showFrame(std::vector<uint8_t>(320 * 240, 7), 320, 240, {});
  }
  static QPoint widgetPoint(QPointF camera) {
    return QPointF(camera.x() * 2, camera.y() * 2 + 20).toPoint();
  }
  static void drag(ThermalPreview& preview, QPoint from, QPoint to) {
    QTest::mousePress(&preview, Qt::LeftButton, {}, from);
    QTest::mouseMove(&preview, (from + to) / 2);
    QTest::mouseRelease(&preview, Qt::LeftButton, {}, to);
  }
  struct Numbered {
    int32_t number = 0;
    uint32_t colour = 0;
  };
  static std::vector<Numbered> numbered(const ThermalPreview& preview) {
    std::vector<Numbered> all;
    preview.objects().withObjects(
        [&](const std::vector<std::unique_ptr<solvane::CObjectROI>>& objects) {
          for (const auto& o : objects)
            all.push_back({o->number(), o->colour(solvane::RoiColour::Normal)});
        });
    return all;
  }

 private slots:
  void gestureOnBarePictureDrawsTheShapeItAllows_data() {
    QTest::addColumn<DrawnShape>("shape");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QRect>("drawn");  // camera pixels; a point as a rectangle of size 1
    QTest::newRow("drag draws a rectangle")
        << DrawnShape::Rectangle << QPoint(100, 120) << QPoint(300, 220) << "rectangle"
        << QRect(50, 50, 100, 50);
    QTest::newRow("reversed drag draws the same rectangle")
        << DrawnShape::Rectangle << QPoint(300, 220) << QPoint(100, 120) << "rectangle"
        << QRect(50, 50, 100, 50);
    QTest::newRow("drag past the picture stops at its edge")
        << DrawnShape::Rectangle << QPoint(600, 400) << QPoint(2000, 2000) << "rectangle"
        << QRect(300, 190, 20, 50);
    QTest::newRow("click draws nothing where only rectangles are drawn")
        << DrawnShape::Rectangle << QPoint(100, 120) << QPoint(101, 121) << "none" << QRect();
    QTest::newRow("click places a spot held inside the picture")
        << DrawnShape::Either << QPoint(639, 5) << QPoint(639, 5) << "point" << QRect(319, 0, 1, 1);
    QTest::newRow("drag draws a rectangle where either shape is drawn")
        << DrawnShape::Either << QPoint(100, 120) << QPoint(300, 220) << "rectangle"
        << QRect(50, 50, 100, 50);
    QTest::newRow("spot follows the drag to the release")
        << DrawnShape::Spot << QPoint(100, 120) << QPoint(201, 171) << "point"
        << QRect(100, 75, 1, 1);
  }

  void gestureOnBarePictureDrawsTheShapeItAllows() {
    QFETCH(DrawnShape, shape);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QString, signal);
    QFETCH(QRect, drawn);
    ThermalPreview preview;
    showSmallFrame(preview);
    preview.setDrawnShape(shape);
    QSignalSpy rectangles(&preview, &ThermalPreview::rectangleDrawn);
    QSignalSpy points(&preview, &ThermalPreview::pointPicked);
    drag(preview, from, to);
    QCOMPARE(rectangles.count(), signal == "rectangle" ? 1 : 0);
    QCOMPARE(points.count(), signal == "point" ? 1 : 0);
    if (signal == "rectangle") QCOMPARE(rectangles.at(0).at(0).toRect(), drawn);
    if (signal == "point") QCOMPARE(points.at(0).at(0).toPoint(), drawn.topLeft());
  }

  void draggingAMarkMovesOrResizesItInsideThePicture_data() {
    QTest::addColumn<QRect>("mark");
    QTest::addColumn<QPointF>("from");  // camera pixels
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QRect>("result");
    QTest::newRow("body moved to the right edge")
        << QRect(50, 50, 40, 30) << QPointF(60, 60) << QPointF(1000, 60) << true
        << QRect(280, 50, 40, 30);
    QTest::newRow("corner handle dragged out") << QRect(50, 50, 40, 30) << QPointF(90, 80)
                                               << QPointF(110, 90) << true << QRect(50, 50, 60, 40);
    QTest::newRow("edge handle dragged past the picture")
        << QRect(50, 50, 40, 30) << QPointF(70, 50) << QPointF(70, -40) << true
        << QRect(50, 0, 40, 80);
    QTest::newRow("click on a mark changes nothing")
        << QRect(50, 50, 40, 30) << QPointF(60, 60) << QPointF(60, 60) << false << QRect();
    QTest::newRow("spot dragged") << QRect(10, 10, 1, 1) << QPointF(10.5, 10.5)
                                  << QPointF(50.5, 30.5) << true << QRect(50, 30, 1, 1);
  }

  void draggingAMarkMovesOrResizesItInsideThePicture() {
    QFETCH(QRect, mark);
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(bool, changed);
    QFETCH(QRect, result);
    ThermalPreview preview;
    showSmallFrame(preview);
    constexpr int kKey = 7;
    preview.setMarks({PreviewMark{mark, "Rect08", false, kKey}});
    QSignalSpy moved(&preview, &ThermalPreview::markChanged);
    QSignalSpy rectangles(&preview, &ThermalPreview::rectangleDrawn);
    drag(preview, widgetPoint(from), widgetPoint(to));
    QCOMPARE(rectangles.count(), 0);
    QCOMPARE(moved.count(), changed ? 1 : 0);
    if (changed) {
      QCOMPARE(moved.at(0).at(0).toInt(), kKey);
      QCOMPARE(moved.at(0).at(1).toRect(), result);
    }
  }

  // The page takes each drawn rectangle for its current entry; every finished drawing takes
  // the class's next number and colour, a click that draws nothing takes none.
  void drawnShapesAreNumberedWhenTheirDragEnds() {
    ThermalPreview preview;
    showSmallFrame(preview);
    connect(&preview, &ThermalPreview::rectangleDrawn, &preview, [&](QRect drawn) {
      preview.setMarks({PreviewMark{drawn, "Alarm1", true, 0}});
    });
    drag(preview, QPoint(100, 120), QPoint(101, 121));
    QVERIFY(numbered(preview).empty());
    drag(preview, QPoint(100, 120), QPoint(300, 220));
    drag(preview, QPoint(400, 300), QPoint(500, 400));
    const auto objects = numbered(preview);
    QCOMPARE(objects.size(), size_t{1});
    QCOMPARE(objects[0].number, 2);
    QCOMPARE(objects[0].colour, solvane::areaColourTable(solvane::RoiKind::Rect)[1].normal);
  }

  void drawingThePageDoesNotTakeLeavesNoMark() {
    ThermalPreview preview;
    showSmallFrame(preview);
    drag(preview, QPoint(100, 120), QPoint(300, 220));
    QVERIFY(numbered(preview).empty());
  }

  void framesTooSmallForTheirSizeAreNotShown() {
    ThermalPreview preview;
    preview.showFrame(std::vector<uint8_t>(100, 0), 320, 240, {});
    QCOMPARE(preview.framesShown(), 0);
    preview.showFrame(std::vector<uint8_t>(320 * 240, 0), 320, 240, {});
    QCOMPARE(preview.framesShown(), 1);
    QCOMPARE(preview.cameraSize(), QSize(320, 240));
  }
};

QTEST_MAIN(ThermalPreviewTest)
#include "thermal_preview_ui_test.moc"
