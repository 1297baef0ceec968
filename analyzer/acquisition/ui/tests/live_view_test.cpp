// The analyzer's window connected to the simulated camera, offscreen: streaming into the
// view, the status panes, the mouse read-out, the camera's refusals and the frame-rate menu.
#include "acquisition/ui/camera_fps_setting.h"
#include "acquisition/ui/live_controller.h"
#include "app/commands.h"
#include "app/notifier.h"
#include "app/status_panes.h"
#include "app/ui/solvane_session.h"
#include "app/ui/tests/live_window_fixture.h"
#include "view/ui/filter_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace solvane;
using live_window::cameraOptions;
using live_window::onNextDialog;

namespace {

constexpr int kBoundMs = 30000;

bool shown(const ScriptedNotifier& notifier, const std::string& text) {
  for (const Message& message : notifier.shown())
    if (message.text == text) return true;
  return false;
}

}  // namespace

class LiveViewTest : public QObject, live_window::LiveWindowFixture {
  Q_OBJECT

 private:
  QStringList statuses_;  // every status text the view was given, in order

  void startCamera(irsim::Options options) {
    openWindow(std::move(options));
    if (QTest::currentTestFailed()) return;
    statuses_.clear();
    connect(live_, &LiveController::eventHandled, this, [this](int kind) {
      if (kind == static_cast<int>(AcquisitionEvent::Kind::StatusText))
        statuses_.push_back(live_->view().statusText());
    });
    connectCamera();
  }

  void waitStreaming() {
    QTRY_VERIFY_WITH_TIMEOUT(live_->isLive(), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(live_->view().paintedFrames() > 0, kBoundMs);
  }

  QString pane(StatusPane which) { return session_->mainFrame().statusPane(which)->text(); }

 private slots:
  void init() { reset(); }
  void cleanup() { stop(); }

  void everyCommandHasItsFeatureOnceTheWindowIsComplete() {
    startCamera(cameraOptions("vi640"));
    session_->mainFrame().requireAllBound();  // throws when a feature forgot a command
  }

  void streamsIntoTheViewAndShowsRateModelAndTitle() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    QTRY_VERIFY_WITH_TIMEOUT(pane(StatusPane::FrameRate).startsWith("Frame rate : "), kBoundMs);
    QCOMPARE(pane(StatusPane::Model), QString("VI640 ( 640 * 480 )"));
    QCOMPARE(session_->mainFrame().windowTitle(), QString("Solvane - Thermal"));
    QCOMPARE(live_->view().statusText(), QString("RECEIVE CAMERA DATA"));
    const QImage picture = live_->view().composedPicture();
    QCOMPARE(picture.size(), QSize(640, 480));
    // The hot blob is drawn brighter than the cold one with the grey palette.
    const irsim::PixelPoint hot = sim_->scene().hotCentre(0);
    const irsim::PixelPoint cold = sim_->scene().coldCentre(0);
    QVERIFY(qGray(picture.pixel(hot.x, hot.y)) > qGray(picture.pixel(cold.x, cold.y)));
  }

  void mouseOverTheHotBlobReadsItsTemperature() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    // Room for the whole picture beside every pane, so the hot blob is on screen unscrolled.
    session_->mainFrame().resize(2400, 1600);
    QTRY_VERIFY_WITH_TIMEOUT(live_->view().pictureArea().width >= 640, kBoundMs);
    const irsim::PixelPoint hot = sim_->scene().hotCentre(0);
    const PictureRect rect = live_->view().pictureRect();
    const QPoint at(rect.x + static_cast<int>((hot.x + 0.5) * rect.zoomX),
                    rect.y + static_cast<int>((hot.y + 0.5) * rect.zoomY));
    QTest::mouseMove(&live_->view(), at);
    // The temperature pane always shows a value in the current unit: wait for the position.
    QTRY_COMPARE_WITH_TIMEOUT(pane(StatusPane::MousePosition),
                              QString("X:%1, Y:%2").arg(hot.x).arg(hot.y), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(pane(StatusPane::Temperature).startsWith("Temperature : "), kBoundMs);
    const double value = pane(StatusPane::Temperature)
                             .mid(14, pane(StatusPane::Temperature).indexOf(QChar(0xB0)) - 14)
                             .toDouble();
    QVERIFY2(std::abs(value - sim_->scene().config().hot) < 1.5,
             qPrintable(pane(StatusPane::Temperature)));
  }

  void aCameraWorkedByHandSaysSoAndKeepsStreaming() {
    irsim::Options options = cameraOptions("vi640");
    irsim::Fault fault;
    fault.kind = irsim::Fault::Kind::Nak;
    fault.reason = 2;
    fault.settingId = 0x0432;
    options.faults.push_back(fault);
    startCamera(std::move(options));
    waitStreaming();
    live_->nuc();
    QTRY_VERIFY_WITH_TIMEOUT(shown(notifier_, "Camera operated by hand\r\n"), kBoundMs);
    const uint64_t painted = live_->view().paintedFrames();
    QTRY_VERIFY_WITH_TIMEOUT(live_->view().paintedFrames() > painted + 3, kBoundMs);
    QCOMPARE(sim_->stats().connections, uint64_t{1});
  }

  void anUnsupportedCommandSaysSoAndReconnects() {
    irsim::Options options = cameraOptions("vi640");
    irsim::Fault fault;
    fault.kind = irsim::Fault::Kind::Nak;
    fault.reason = 1;
    fault.settingId = 0x0432;
    options.faults.push_back(fault);
    startCamera(std::move(options));
    waitStreaming();
    live_->nuc();
    QTRY_VERIFY_WITH_TIMEOUT(
        shown(notifier_, "This function not supported within a connected camera."), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(sim_->stats().connections >= 2, kBoundMs);
    QVERIFY(statuses_.contains("ERROR : RECEIVE NAK"));
    // The new connection takes the header again and streams.
    QTRY_COMPARE_WITH_TIMEOUT(statuses_.last(), QString("RECEIVE CAMERA DATA"), kBoundMs);
    const uint64_t painted = live_->view().paintedFrames();
    QTRY_VERIFY_WITH_TIMEOUT(live_->view().paintedFrames() > painted + 3, kBoundMs);
  }

  void aFrozenPictureTakesANewPaletteAtOnce() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    live_->freeze();
    QVERIFY(!live_->isLive());
    // Frames already under way may still land; the still picture is the last of them.
    const auto settled = [this] {
      const uint64_t seen = live_->pipeline().frameCount();
      QTest::qWait(300);
      return live_->pipeline().frameCount() == seen;
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), kBoundMs);
    const QImage grey = live_->view().composedPicture();
    const uint64_t frozenAt = live_->pipeline().frameCount();
    session_->mainFrame().command(paletteCommand(8))->trigger();  // "Iron colormap"
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameCount() > frozenAt, kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(live_->view().paintedFrames() == live_->pipeline().frameCount(),
                             kBoundMs);
    const QImage iron = live_->view().composedPicture();
    const irsim::PixelPoint hot = sim_->scene().hotCentre(0);
    // Grey pixels have equal channels; the iron palette's hot end does not.
    const QRgb before = grey.pixel(hot.x, hot.y);
    QCOMPARE(qRed(before), qBlue(before));
    QVERIFY(iron.pixel(hot.x, hot.y) != before);
    QVERIFY(!live_->isLive());
  }

  void showsTheRateTheCameraSends() {
    startCamera(cameraOptions("vi640"));  // the simulator sends 30.07 frames a second
    waitStreaming();
    const auto rateShown = [this] {
      const QString text = pane(StatusPane::FrameRate);
      const double hertz = text.mid(13, text.indexOf(" Hz") - 13).toDouble();
      return hertz >= 29.5 && hertz <= 30.5;
    };
    QTRY_VERIFY_WITH_TIMEOUT(rateShown(), kBoundMs);
    // Frozen, no frame arrives: the rate is no longer shown.
    live_->freeze();
    QTRY_COMPARE_WITH_TIMEOUT(pane(StatusPane::FrameRate), QString("Frame rate : 0.0 Hz"),
                              kBoundMs);
  }

  void frameRateMenuSendsTheDivisor() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    session_->mainFrame().command(Command::HalfFps)->trigger();
    QVERIFY(sim_->waitForCommand(
        [](const irsim::LogEntry& e) { return e.settingId == 0x0A01 && e.value == 1; },
        std::chrono::milliseconds(kBoundMs)));
    QVERIFY(session_->mainFrame().command(Command::HalfFps)->isChecked());
    live_->chooseFrameRate(FrameRateChoice::UserDefined, divisorFromSeconds(2, 30.0f));
    QVERIFY(sim_->waitForCommand(
        [](const irsim::LogEntry& e) { return e.settingId == 0x0A01 && e.value == 59; },
        std::chrono::milliseconds(kBoundMs)));
    QCOMPARE(session_->mainFrame().command(Command::UserFps)->text(),
             QString("User Define(0.500 fps)"));
  }

  void hotColdMarkersFollowMirrorAndReachTheClipboard() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    session_->mainFrame().command(Command::HotCold)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(
        live_->pipeline().latest() && live_->pipeline().latest()->hotCold.has_value(), kBoundMs);
    const HotCold spots = *live_->pipeline().latest()->hotCold;
    QImage picture = live_->view().composedPicture();
    QCOMPARE(picture.pixel(spots.hotX, spots.hotY), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(spots.coldX, spots.coldY), qRgb(0, 0, 255));
    session_->mainFrame().command(Command::Mirror)->trigger();
    picture = live_->view().composedPicture();
    QCOMPARE(picture.pixel(639 - spots.hotX, spots.hotY), qRgb(255, 0, 0));
    session_->mainFrame().command(Command::Flip)->trigger();
    session_->mainFrame().command(zoomCommand(2))->trigger();
    picture = live_->view().composedPicture();
    QCOMPARE(picture.pixel(639 - spots.hotX, 479 - spots.hotY), qRgb(255, 0, 0));
    // The read-out under the turned, zoomed and scrolled picture names the frame's own pixel.
    live_->view().horizontalScrollBar()->setValue((639 - spots.hotX) * 2 - 40);
    live_->view().verticalScrollBar()->setValue((479 - spots.hotY) * 2 - 40);
    const PictureRect rect = live_->view().pictureRect();
    QCOMPARE(rect.zoomX, 2.0f);
    const QPoint onScreen(rect.x + (639 - spots.hotX) * 2 + 1, rect.y + (479 - spots.hotY) * 2);
    const auto read = live_->view().imagePointAt(onScreen);
    QVERIFY(read.has_value());
    QCOMPARE(read->x, spots.hotX);
    QCOMPARE(read->y, spots.hotY);
    session_->mainFrame().command(Command::CopyClipboard)->trigger();
    QCOMPARE(QApplication::clipboard()->image().size(), QSize(640, 480));
  }

  void aZoomedPictureScrollsAndLeavesTheColourScaleAlone() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    session_->mainFrame().command(zoomCommand(4))->trigger();  // "zoom 3x"
    CVynCamSDKView& view = live_->view();
    QTRY_VERIFY_WITH_TIMEOUT(view.horizontalScrollBar()->isVisible(), kBoundMs);
    QVERIFY(view.verticalScrollBar()->isVisible());
    const PictureArea area = view.pictureArea();
    QVERIFY(area.width <= view.width() - kColourScaleWidth);
    // Both ends of the picture can be reached, and the read-out follows the scroll.
    const QPoint corner(area.width - 1, area.height - 1);
    QCOMPARE(view.imagePointAt(QPoint(0, 0))->x, 0);
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QCOMPARE(view.imagePointAt(corner)->x, 639);
    QCOMPARE(view.imagePointAt(corner)->y, 479);
    view.horizontalScrollBar()->setValue(300);
    QCOMPARE(view.imagePointAt(QPoint(0, 0))->x, 100);
    // Over the colour scale there is no picture pixel, and the picture is not painted there.
    QVERIFY(!view.imagePointAt(QPoint(view.width() - kColourScaleWidth + 5, 10)).has_value());
    const QImage shown = view.grab().toImage();
    for (int y = 40; y < area.height - 40; y += 37)
      QCOMPARE(shown.pixel(view.width() - kColourScaleWidth + 5, y), qRgb(0, 0, 0));
  }

  void theLiveButtonTogglesStreaming() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    auto* button = session_->mainFrame().findChild<QPushButton*>("liveButton");
    QVERIFY(button);
    QCOMPARE(button->text(), QString("Freeze"));
    button->click();
    QTRY_VERIFY_WITH_TIMEOUT(!sim_->stats().streaming, kBoundMs);
    QCOMPARE(button->text(), QString("Live"));
    QVERIFY(!live_->view().displayTimerActive());
    QVERIFY(session_->mainFrame().command(Command::Live)->isEnabled());
    button->click();
    QTRY_VERIFY_WITH_TIMEOUT(sim_->stats().streaming, kBoundMs);
    QCOMPARE(button->text(), QString("Freeze"));
  }

  void aReducedRateCameraRunsAtFullRateWithTheMenuOff() {
    irsim::Options options = cameraOptions("va320");
    options.camera.reducedRate = true;
    startCamera(std::move(options));
    waitStreaming();
    QCOMPARE(live_->cameraRate(), 9.0f);
    QVERIFY(!session_->mainFrame().command(Command::HalfFps)->isEnabled());
    QVERIFY(!session_->mainFrame().command(Command::UserFps)->isEnabled());
    QCOMPARE(sim_->stats().divisor, 0u);
  }

  void theRangeMenuSendsTheRangeAndStoresIt() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    QAction* high = session_->mainFrame().command(Command::RangeHigh);
    QTRY_VERIFY_WITH_TIMEOUT(high->isEnabled(), kBoundMs);
    high->trigger();
    QVERIFY(sim_->waitForCommand(
        [](const irsim::LogEntry& e) { return e.settingId == 0x0503 && e.value == 1; },
        std::chrono::milliseconds(kBoundMs)));
    QCOMPARE(session_->document().settings().dynamicRange, 1);
    QVERIFY(high->isChecked());
    QVERIFY(!session_->mainFrame().command(Command::RangeNormal)->isChecked());
    // The camera reports the new range in its next header and frames come again.
    const uint64_t painted = live_->view().paintedFrames();
    QTRY_VERIFY_WITH_TIMEOUT(live_->view().paintedFrames() > painted + 3, kBoundMs);
  }

  void disconnectEndsTheLink() {
    startCamera(cameraOptions("vi640"));
    waitStreaming();
    session_->mainFrame().command(Command::Disconnect)->trigger();
    QVERIFY(!live_->acquisition().threadRunning());
    QVERIFY(!live_->acquisition().connected());
    QVERIFY(sim_->waitFor([](const irsim::Stats& s) { return !s.clientConnected; },
                          std::chrono::milliseconds(kBoundMs)));
    QVERIFY(session_->mainFrame().command(Command::Connect)->isEnabled());
    QVERIFY(!session_->mainFrame().command(Command::Disconnect)->isEnabled());
  }

  void filterDialogsSwitchOnOneBlurWithItsParameters() {
    FilterState filters;
    filters.blur = Blur::Bilateral;
    onNextDialog([](QDialog& dialog) {
      QCOMPARE(dialog.objectName(), QString("CKernelSizeDlg"));
      const auto boxes = dialog.findChildren<QSpinBox*>();
      QCOMPARE(boxes.size(), 2);
      boxes[0]->setValue(7);
      boxes[1]->setValue(9);
      dialog.findChild<QDoubleSpinBox*>()->setValue(2.5);
      dialog.accept();
    });
    QVERIFY(editFilter(FilterKind::FastGaussian, filters, nullptr));
    QCOMPARE(filters.blur, Blur::Gaussian);
    QCOMPARE(filters.gaussianWidth, 7);
    QCOMPARE(filters.gaussianHeight, 9);
    QCOMPARE(filters.gaussianSigma, 2.5f);

    onNextDialog([](QDialog& dialog) {
      QCOMPARE(dialog.objectName(), QString("CBilateralFilterDlg"));
      dialog.reject();
    });
    QVERIFY(!editFilter(FilterKind::Bilateral, filters, nullptr));
    QCOMPARE(filters.blur, Blur::Gaussian);  // a cancelled dialog changes nothing
  }

  void userRateDialogOpensAtTheSecondsOfTheDivisor() {
    CCameraFPSSetting dialog(59, 30.0f);
    QCOMPARE(dialog.seconds(), 2);
    QCOMPARE(dialog.rateText(), QString("0.500"));
    dialog.setSeconds(4);
    QCOMPARE(dialog.rateText(), QString("0.250"));
    QCOMPARE(dialog.divisor(), 119);
  }
};

QTEST_MAIN(LiveViewTest)
#include "live_view_test.moc"
