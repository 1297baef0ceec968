// Drawing objects onto a picture without a display.
#include "circle_roi.h"
#include "line_roi.h"
#include "object_painter.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <QGuiApplication>
#include <QTest>

namespace solvane {

class ObjectsUiTest : public QObject {
  Q_OBJECT

 private:
  static constexpr ImageBounds kImage{160, 120};

 private slots:
  void shapeIsDrawnInItsColourWithHandlesWhenSelected() {
    CManagerROI manager;
    auto rect = std::make_unique<CRectROI>(BoxGeometry{10, 10, 40, 30});
    rect->setColour(RoiColour::Normal, 0x0000FF);   // red
    rect->setColour(RoiColour::Select, 0x00FF00);   // green
    rect->setColour(RoiColour::Tracker, 0xFF0000);  // blue
    const int32_t id = rect->id();
    manager.add(std::move(rect));
    QImage black(kImage.width, kImage.height, QImage::Format_ARGB32);
    black.fill(Qt::black);
    const ViewMapping view{kImage, 2.0, 2.0};
    const QImage plain = composeObjects(black, manager, view, {});
    QCOMPARE(plain.size(), QSize(320, 240));
    QCOMPARE(QColor(plain.pixel(40, 20)).red(), 255);  // the top edge at y = 10 * 2
    manager.select(id);
    const QImage selected = composeObjects(black, manager, view, {});
    QCOMPARE(QColor(selected.pixel(40, 20)).green(), 255);
    QCOMPARE(QColor(selected.pixel(80, 60)).blue(), 255);  // bottom-right handle
  }

  void objectInAlarmUsesItsAlarmColour() {
    CManagerROI manager;
    auto circle = std::make_unique<CCircleROI>(BoxGeometry{10, 10, 50, 50});
    circle->setGenerationAlarm(true);
    manager.add(std::move(circle));
    QImage black(kImage.width, kImage.height, QImage::Format_ARGB32);
    black.fill(Qt::black);
    const QImage out = composeObjects(black, manager, ViewMapping{kImage, 1.0, 1.0}, {});
    const QColor left(out.pixel(10, 30));
    QVERIFY2(left.red() > 150 && left.green() < 80, "alarm rectangle colour is red");
    PaintOptions off;
    off.alarmColours = false;
    const QColor plain(
        composeObjects(black, manager, ViewMapping{kImage, 1.0, 1.0}, off).pixel(10, 30));
    QVERIFY(plain.green() > 150);
  }

  void hotAndColdMarkersSitOnTheirPixels() {
    CManagerROI manager;
    auto rect = std::make_unique<CRectROI>(BoxGeometry{10, 10, 100, 100});
    rect->setShowHot(true);
    rect->setShowCold(true);
    rect->setStatistics({true, 1.0f, 9.0f, 5.0f, 1.0f, 20, 80, 70, 40});
    manager.add(std::move(rect));
    QImage black(kImage.width, kImage.height, QImage::Format_ARGB32);
    black.fill(Qt::black);
    const QImage out = composeObjects(black, manager, ViewMapping{kImage, 1.0, 1.0}, {});
    QCOMPARE(QColor(out.pixel(70, 36)).red(), 255);   // above the hottest pixel
    QCOMPARE(QColor(out.pixel(20, 76)).blue(), 255);  // above the coldest pixel
  }
};

}  // namespace solvane

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  solvane::ObjectsUiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "objects_ui_test.moc"
