// The KS region window on its preview: drawing, moving and resizing a region sends that
// region's geometry command (0x0422) once, and a click on a region that leaves it where it was
// sends nothing.
#include <QTest>

#include "analysis/ui/ks_alarm_config_dlg.h"
#include "analysis/ui/thermal_preview.h"
#include "pages/core/command_port.h"

namespace {

class RecordingPort : public pages::CommandPort {
 public:
  bool sendSetting(const camera::SettingCommand& command) override {
    sent.push_back(command);
    return true;
  }
  void requestHeader() override {}
  void setStreaming(bool) override {}
  std::vector<camera::SettingCommand> sent;
};

struct Geometry {
  int region = 0;  // 0 for ROI 01
  int mode = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

}  // namespace

Q_DECLARE_METATYPE(Geometry)

class RegionSetupTest : public QObject {
  Q_OBJECT

 private:
  // The preview at 640 x 520 over a 320 x 240 picture: scaled by two, 20 pixels of border.
  static QPoint widgetPoint(QPointF camera) {
    return QPointF(camera.x() * 2, camera.y() * 2 + 20).toPoint();
  }

 private slots:
  void previewGestureSendsTheRegionItChanged_data() {
    QTest::addColumn<QPointF>("from");  // camera pixels
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<Geometry>("geometry");
    // ROI 02 is a rectangle at (50, 50), 40 x 30; ROI 01, the current region, is off.
    QTest::newRow("drag on bare picture draws the current region")
        << QPointF(200, 150) << QPointF(260, 200) << true << Geometry{0, 2, 200, 150, 60, 50};
    QTest::newRow("click on bare picture makes the current region a spot")
        << QPointF(200.5, 150.5) << QPointF(200.5, 150.5) << true << Geometry{0, 1, 200, 150, 0, 0};
    QTest::newRow("moving a region sends it and makes it current")
        << QPointF(60, 60) << QPointF(70, 65) << true << Geometry{1, 2, 60, 55, 40, 30};
    QTest::newRow("resizing a region by its corner")
        << QPointF(90, 80) << QPointF(100, 100) << true << Geometry{1, 2, 50, 50, 50, 50};
    QTest::newRow("moving a region past the picture keeps it inside")
        << QPointF(60, 60) << QPointF(60, 1000) << true << Geometry{1, 2, 50, 210, 40, 30};
    QTest::newRow("click on a region sends nothing")
        << QPointF(60, 60) << QPointF(60, 60) << false << Geometry{};
  }

  void previewGestureSendsTheRegionItChanged() {
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(bool, sent);
    QFETCH(Geometry, geometry);
    RecordingPort port;
    std::array<analysis::KsRegion, analysis::kRegionCount> regions{};
    regions[1].mode = static_cast<int>(analysis::RegionMode::Rectangle);
    regions[1].x = 50;
    regions[1].y = 50;
    regions[1].width = 40;
    regions[1].height = 30;
    analysis::CKSRoiSetupDlg setup(port, regions, analysis::ShownUnit::Celsius, QSize(320, 240));
    analysis::ThermalPreview* preview = setup.preview();
    preview->resize(640, 520);
    preview->showFrame(std::vector<uint8_t>(320 * 240, 9), 320, 240, {});
    port.sent.clear();

    QTest::mousePress(preview, Qt::LeftButton, {}, widgetPoint(from));
    QTest::mouseMove(preview, (widgetPoint(from) + widgetPoint(to)) / 2);
    QTest::mouseRelease(preview, Qt::LeftButton, {}, widgetPoint(to));

    if (!sent) {
      QVERIFY(port.sent.empty());
      return;
    }
    QCOMPARE(port.sent.size(), size_t{1});
    const camera::SettingCommand& command = port.sent[0];
    QCOMPARE(command.id, camera::SettingId::RegionGeometry);
    QCOMPARE(int(command.value), (geometry.region + 11) * 256 + geometry.mode);
    if (geometry.mode == static_cast<int>(analysis::RegionMode::Rectangle)) {
      QCOMPARE(command.words[0], uint32_t(geometry.x * 65536 + geometry.y));
      QCOMPARE(command.words[1], uint32_t(geometry.width * 65536 + geometry.height));
    } else {
      QCOMPARE(command.words[0], uint32_t(geometry.x * 65536 + geometry.y));
    }
  }
};

QTEST_MAIN(RegionSetupTest)
#include "region_setup_ui_test.moc"
