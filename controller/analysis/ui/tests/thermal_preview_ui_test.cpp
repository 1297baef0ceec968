// The live preview: a drag and a click on the shown picture come out in camera pixels,
// whatever size the widget has, and frames are shown with the camera's palette.
#include <QSignalSpy>
#include <QTest>

#include "analysis/ui/thermal_preview.h"

class ThermalPreviewTest : public QObject {
  Q_OBJECT

 private:
  // A 320 x 240 picture in a 640 x 520 widget: scaled by two, 20 pixels of border top and
  // bottom.
  static void showSmallFrame(analysis::ThermalPreview& preview) {
    preview.resize(640, 520);
    preview.showFrame(std::vector<uint8_t>(320 * 240, 7), 320, 240, {});
  }

 private slots:
  void dragReportsARectangleInCameraPixels() {
    analysis::ThermalPreview preview;
    showSmallFrame(preview);
    QSignalSpy drawn(&preview, &analysis::ThermalPreview::rectangleDrawn);
    QTest::mousePress(&preview, Qt::LeftButton, {}, QPoint(300, 220));
    QTest::mouseMove(&preview, QPoint(250, 150));
    QTest::mouseRelease(&preview, Qt::LeftButton, {}, QPoint(100, 120));
    QCOMPARE(drawn.count(), 1);
    QCOMPARE(drawn.at(0).at(0).toRect(), QRect(QPoint(50, 50), QPoint(150, 100)));
  }

  void clickPicksAPointHeldInsideThePicture() {
    analysis::ThermalPreview preview;
    showSmallFrame(preview);
    QSignalSpy picked(&preview, &analysis::ThermalPreview::pointPicked);
    QTest::mouseClick(&preview, Qt::LeftButton, {}, QPoint(639, 5));
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.at(0).at(0).toPoint(), QPoint(319, 0));
  }

  void framesTooSmallForTheirSizeAreNotShown() {
    analysis::ThermalPreview preview;
    preview.showFrame(std::vector<uint8_t>(100, 0), 320, 240, {});
    QCOMPARE(preview.framesShown(), 0);
    preview.showFrame(std::vector<uint8_t>(320 * 240, 0), 320, 240, {});
    QCOMPARE(preview.framesShown(), 1);
    QCOMPARE(preview.cameraSize(), QSize(320, 240));
  }
};

QTEST_MAIN(ThermalPreviewTest)
#include "thermal_preview_ui_test.moc"
