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

  // The Labels page's font, size and colours reach the labels of objects already placed.
  void labelsDrawInTheChosenFontSizeAndColours() {
    CManagerROI manager;
    auto spot = std::make_unique<CSpotROI>(20, 60);
    spot->setColour(RoiColour::Normal, 0x808080);  // grey: only the label is coloured
    spot->setStatistics({true, 21.5f, 21.5f, 21.5f, 0.0f, 20, 60, 20, 60});
    manager.add(std::move(spot));
    QImage black(kImage.width, kImage.height, QImage::Format_ARGB32);
    black.fill(Qt::black);
    const auto inkOf = [&](int32_t size, uint32_t text, uint32_t shadow) {
      manager.setLabelFont(LabelFont{"DejaVu Sans", size}, text, shadow);
      const QImage out = composeObjects(black, manager, ViewMapping{kImage, 2.0, 2.0}, {});
      std::pair<int, int> ink{0, 0};  // text-coloured and shadow-coloured pixels
      for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
          const QColor c(out.pixel(x, y));
          if (c.green() > 200 && c.red() < 60 && c.blue() < 60) ++ink.first;
          if (c.blue() > 200 && c.red() < 60 && c.green() < 60) ++ink.second;
        }
      return ink;
    };
    const auto small = inkOf(8, 0x00FF00, 0xFF0000);  // green text, blue shadow
    const auto large = inkOf(20, 0x00FF00, 0xFF0000);
    QVERIFY2(small.first > 0 && small.second > 0, "text and shadow take their colours");
    QVERIFY2(large.first > 2 * small.first, "a larger size draws a larger label");
    QCOMPARE(inkOf(20, 0x0000FF, 0x000000), (std::pair<int, int>{0, 0}));  // red on black
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
