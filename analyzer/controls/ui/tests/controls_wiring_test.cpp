// The measurement and image controls in the running window, offscreen, against the simulated
// camera: the dialogs' changes reach the composed frames at once, and the isotherm bands paint
// over the picture where the scene's temperatures lie in them.
#include "acquisition/ui/live_controller.h"
#include "app/commands.h"
#include "app/notifier.h"
#include "app/ui/docking_panes.h"
#include "app/ui/solvane_session.h"
#include "app/ui/tests/live_window_fixture.h"
#include "controls/isotherm_painter.h"
#include "controls/ui/emissivity_dlg.h"
#include "controls/ui/image_control_dlg.h"
#include "controls/ui/isotherm_setting_dlg.h"
#include "controls/ui/level_span_dlg.h"
#include "objects/spot_roi.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace solvane;
using controls::IsothermBand;
using live_window::onNextDialog;

namespace {

constexpr int kBoundMs = 30000;

void typeInto(controls::StepField* field, const QString& text) {
  field->edit()->selectAll();
  QTest::keyClicks(field->edit(), text);
  QTest::keyClick(field->edit(), Qt::Key_Return);
}

}  // namespace

class ControlsWiringTest : public QObject, live_window::LiveWindowFixture {
  Q_OBJECT

 private:
  void startStreaming() {
    start();
    if (QTest::currentTestFailed()) return;
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameCount() > 2, kBoundMs);
  }

  CMainFrame& frame() { return session_->mainFrame(); }
  irsim::PixelPoint hot() const { return sim_->scene().hotCentre(0); }
  irsim::PixelPoint cold() const { return sim_->scene().coldCentre(0); }
  uint64_t frames() const { return live_->pipeline().frameCount(); }

  // The frame composed after everything asked so far has been taken in.
  std::shared_ptr<const ComposedFrame> laterFrame() {
    const uint64_t now = frames();
    if (!QTest::qWaitFor([&] { return frames() > now + 1; }, kBoundMs)) return nullptr;
    return live_->pipeline().latest();
  }

  static uint32_t pixelOf(const ComposedFrame& frame, irsim::PixelPoint at) {
    return frame.picture[static_cast<size_t>(at.y) * frame.width + at.x];
  }

 private slots:
  void init() { reset(); }
  void cleanup() { stop(); }

  void emissivityAppliedRaisesTheHotDiscsTemperatureAtOnce() {
    startStreaming();
    const auto before = live_->pipeline().temperatureAt(hot().x, hot().y);
    QVERIFY(before.has_value());
    onNextDialog([](QDialog& dialog) {
      auto* emissivity = qobject_cast<controls::CEmissivityDlg*>(&dialog);
      QVERIFY(emissivity);
      typeInto(emissivity->fields()->emissivityField(), "0.50");
      emissivity->applyButton()->click();
    });
    frame().command(Command::Emissivity)->trigger();
    QCOMPARE(session_->document().settings().emissivity, 0.5f);
    const auto after = laterFrame();
    QVERIFY(after);
    const float now = after->temps[static_cast<size_t>(hot().y) * after->width + hot().x];
    // Less emissive, the same radiance stands for a hotter surface.
    QVERIFY2(now > *before + 5.0f, qPrintable(QString("%1 -> %2").arg(*before).arg(now)));
  }

  // "Local Emissivity..." from an object's context menu: the object alone measures with its
  // own emissivity from the next frame on.
  void localEmissivityOfOneObjectRaisesOnlyItsReading() {
    startStreaming();
    CManagerROI& objects = live_->objects().objects();
    const auto spotAt = [&](irsim::PixelPoint at) {
      auto spot = objects.makeObject(RoiKind::Spot);
      static_cast<CSpotROI&>(*spot).setPosition(at.x, at.y);
      const int32_t id = spot->id();
      objects.add(std::move(spot));
      return id;
    };
    const int32_t local = spotAt(hot());
    const int32_t global = spotAt({hot().x + 1, hot().y});
    const auto reading = [&](int32_t id) {
      const auto m = live_->objects().latestMeasurements();
      const ObjectMeasurement* o = m ? m->find(id) : nullptr;
      return o && o->stats.valid ? o->stats.avgTemp : -1000.0f;
    };
    QTRY_VERIFY_WITH_TIMEOUT(reading(local) > 60.0f && reading(global) > 60.0f, 30000);
    connect(live_, &LiveController::localEnvironmentDialogOpened, this,
            [](controls::CLocalEmissivityDlg* dialog) {
              QTimer::singleShot(0, dialog, [dialog] {
                dialog->useLocal()->setChecked(true);
                typeInto(dialog->fields()->emissivityField(), "0.50");
                dialog->accept();
              });
            });
    live_->editLocalEnvironment(frame(), session_->document(), notifier_, local);
    QTRY_VERIFY_WITH_TIMEOUT(reading(local) > reading(global) + 5.0f, 30000);
    bool on = false;
    objects.withObject(local, [&](CObjectROI& o) { on = o.localEnvironmentOn(); });
    QVERIFY(on);
  }

  void manualLevelAndSpanFromTheDialogDriveTheMapping() {
    startStreaming();
    onNextDialog([](QDialog& dialog) {
      auto* levelSpan = qobject_cast<controls::CLevelSpanDlg*>(&dialog);
      QVERIFY(levelSpan);
      levelSpan->manualButton()->click();
      // The narrower span first, so the new level fits in the camera's range either way.
      typeInto(levelSpan->spanField(), "30.0");
      typeInto(levelSpan->levelField(), "40.0");
    });
    frame().command(Command::LevelSpan)->trigger();
    QVERIFY(!controls::AgcModeSwitch::isAutomatic(session_->document().agcParams()));
    const auto after = laterFrame();
    QVERIFY(after);
    QCOMPARE(after->level, 40.0f);
    QCOMPARE(after->span, 30.0f);
    // The pane shows the window the picture is mapped with.
    QTRY_COMPARE_WITH_TIMEOUT(live_->controls().imageControl()->windowLabel()->text(),
                              QString::fromUtf8("25.00 ~ 55.00 \xC2\xB0"
                                                "C"),
                              kBoundMs);
  }

  void aboveBandFromTheMenuPaintsTheHotDiscOnly() {
    startStreaming();
    QAction* above = frame().command(Command::IsothermAbove);
    QVERIFY(above->isEnabled());
    above->trigger();
    QVERIFY(above->isChecked());
    const controls::IsothermSettings bands = live_->controls().isotherms();
    QVERIFY(bands.isEnabled(IsothermBand::Above));
    QVERIFY(bands.limitOf(controls::IsothermLimit::Above) < sim_->scene().config().hot);
    const auto after = laterFrame();
    QVERIFY(after);
    const uint8_t grey = after->grey[static_cast<size_t>(hot().y) * after->width + hot().x];
    const uint32_t colour = bands.colourOf(IsothermBand::Above);
    const uint32_t expected =
        0xFF000000u |
        uint32_t{controls::blendIsothermChannel(static_cast<uint8_t>(colour >> 16), grey)} << 16 |
        uint32_t{controls::blendIsothermChannel(static_cast<uint8_t>(colour >> 8), grey)} << 8 |
        controls::blendIsothermChannel(static_cast<uint8_t>(colour), grey);
    QCOMPARE(pixelOf(*after, hot()), expected);
    // The cold disc lies under the band: grey as the palette made it.
    const uint32_t coldPixel = pixelOf(*after, cold());
    QCOMPARE(qRed(coldPixel), qBlue(coldPixel));
    QCOMPARE(qRed(coldPixel), qGreen(coldPixel));
  }

  void belowBandFromTheEditorPaintsTheColdDiscOnAFrozenPicture() {
    startStreaming();
    live_->freeze();
    QTRY_VERIFY_WITH_TIMEOUT(!live_->isLive(), kBoundMs);
    const uint64_t frozenAt = frames();
    onNextDialog([](QDialog& dialog) {
      auto* editor = qobject_cast<controls::CIsothermSettingDlg*>(&dialog);
      QVERIFY(editor);
      editor->enableBox(IsothermBand::Below)->click();
    });
    frame().command(Command::IsothermEditor)->trigger();
    QVERIFY(frame().command(Command::IsothermBelow)->isChecked());
    // The still frame is composed again with the band.
    QTRY_VERIFY_WITH_TIMEOUT(frames() > frozenAt, kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(qBlue(pixelOf(*live_->pipeline().latest(), cold())) >
                                 qRed(pixelOf(*live_->pipeline().latest(), cold())),
                             kBoundMs);
    const uint32_t hotPixel = pixelOf(*live_->pipeline().latest(), hot());
    QCOMPARE(qRed(hotPixel), qBlue(hotPixel));
  }

  void imageControlPaneChoosesThePaletteThroughTheMenu() {
    startStreaming();
    QDockWidget* pane = frame().pane(kImageControlPane);
    auto* control = pane->findChild<controls::CImageControlDlg*>();
    QVERIFY(control);
    QCOMPARE(control->paletteBox()->currentIndex(), kGreyPalette);
    control->paletteBox()->setCurrentIndex(8);
    QCOMPARE(session_->document().settings().palette, 8);
    QVERIFY(frame().command(paletteCommand(8))->isChecked());
    // And a palette chosen from the menu shows in the pane.
    frame().command(paletteCommand(2))->trigger();
    QCOMPARE(control->paletteBox()->currentIndex(), 2);
  }
};

QTEST_MAIN(ControlsWiringTest)
#include "controls_wiring_test.moc"
