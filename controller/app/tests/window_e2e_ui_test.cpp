// The main window against the simulated camera: connecting to each kind of camera, the
// header wait, refused and unknown cameras, the buttons' enabling and "Initialized".
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <QTimer>

#include <algorithm>
#include <array>

#include "pages/ui/ks_motorized_dlg.h"
#include "pages/ui/settings_page_widget.h"
#include "window_support.h"

using tessor::LinkState;
using tessor_test::kEventBoundMs;

class WindowTest : public QObject {
  Q_OBJECT

 private:
  int salt_ = 0;
  std::string nextAddress() { return tessor_test::loopbackAddressForThisProcess(++salt_); }

  static void connectTo(tessor_test::WindowUnderTest& ui, const std::string& address) {
    ui.window->ipEdit()->setText(QString::fromStdString(address));
    ui.window->connectButton()->click();
  }

 private slots:
  void showsTheVersionAndStartsIdle() {
    tessor_test::WindowUnderTest ui;
    QCOMPARE(ui.window->windowTitle(), QString("Tessor (Version : %1)").arg(TESSOR_VERSION));
    QCOMPARE(ui.window->portEdit()->text(), QString("15001"));
    QVERIFY(ui.window->portEdit()->isReadOnly());
    QVERIFY(ui.window->findButton()->isEnabled());
    QVERIFY(!ui.window->initializeButton()->isEnabled());
    QVERIFY(!ui.window->ksTabs()->isHidden());
    QVERIFY(!ui.window->ksTabs()->isEnabled());
    QVERIFY(ui.window->ktTabs()->isHidden());
  }

  void everyControlAndTextIsNamed() {
    tessor_test::WindowUnderTest ui;
    QStringList unnamed;
    for (QWidget* widget : ui.window->findChildren<QWidget*>()) {
      const bool ownControl = qobject_cast<QLabel*>(widget) || qobject_cast<QPushButton*>(widget) ||
                              qobject_cast<QComboBox*>(widget) || qobject_cast<QSpinBox*>(widget) ||
                              qobject_cast<QTabWidget*>(widget) ||
                              (qobject_cast<QLineEdit*>(widget) &&
                               !qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) &&
                               !qobject_cast<QComboBox*>(widget->parentWidget()));
      if (ownControl && widget->accessibleName().isEmpty())
        unnamed << QString("%1 %2").arg(widget->metaObject()->className(), widget->objectName());
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
  }

  void aboutNamesTheVersion() {
    tessor_test::WindowUnderTest ui;
    ui.window->aboutAction()->trigger();
    QCOMPARE(ui.texts(), std::vector<std::string>{"Tessor (Version : " TESSOR_VERSION ")"});
  }

  void storedAddressIsShownWithinItsLimits() {
    testsupport::TempFolder folder;
    {
      desktop::SettingsStore store(folder.iniFile());
      store.writeString(tessor::kCameraIpKey, "300.2.3");
      store.sync();
    }
    desktop::ScriptedNotifier notifier("Tessor");
    desktop::SettingsStore settings(folder.iniFile());
    CVynCamUserControlDlg::Setup setup{&notifier, &settings, folder.path(), {}};
    CVynCamUserControlDlg window(setup);
    QCOMPARE(window.ipEdit()->text(), QString("255.2.3.0"));
    // No company file: said once, and no logo.
    QCOMPARE(notifier.shown().size(), size_t{1});
    QCOMPARE(notifier.shown()[0].text, std::string("Failed to load Company information!!"));
    QVERIFY(window.logoButton()->isHidden());
  }

  void invalidAddressIsRefused() {
    tessor_test::WindowUnderTest ui;
    connectTo(ui, "127.0.0.1.1");
    QCOMPARE(ui.texts(), std::vector<std::string>{"Failed to check IP validity!"});
    QCOMPARE(ui.link(), LinkState::Idle);
    QCOMPARE(ui.settings->readString(tessor::kCameraIpKey, ""), std::string("127.0.0.1.1"));
  }

  void connectsToEachCamera_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("kt");
    QTest::addColumn<bool>("analysisTabs");
    QTest::addColumn<QString>("imagePage");
    QTest::newRow("first_generation_version_10") << "gen1-320" << 10 << true << false << "";
    QTest::newRow("first_generation_version_11") << "gen1-384" << 11 << true << true << "";
    QTest::newRow("kt_version_20") << "kt640" << 20 << true << true << "";
    QTest::newRow("va320_version_32") << "va320" << 32 << false << true << "ks_image32.agc";
    QTest::newRow("vi640_version_33") << "vi640" << 33 << false << true << "ks_image33.agc";
  }

  void connectsToEachCamera() {
    QFETCH(QString, model);
    QFETCH(int, version);
    QFETCH(bool, kt);
    QFETCH(bool, analysisTabs);
    QFETCH(QString, imagePage);
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, model.toUtf8().constData(), version);
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);
    QCOMPARE(ui.window->connectButton()->text(), QString("Disconnect"));
    QVERIFY(!ui.window->findButton()->isEnabled());
    QVERIFY(ui.window->initializeButton()->isEnabled());
    QTabWidget* shown = kt ? ui.window->ktTabs() : ui.window->ksTabs();
    QTabWidget* hidden = kt ? ui.window->ksTabs() : ui.window->ktTabs();
    QVERIFY(!shown->isHidden());
    QVERIFY(shown->isEnabled());
    QVERIFY(hidden->isHidden());
    if (kt) {
      QCOMPARE(shown->isTabVisible(6), analysisTabs);
      QCOMPARE(shown->isTabVisible(7), analysisTabs);
      QCOMPARE(shown->tabText(6), QString("Analysis"));
    } else {
      // The "Image Adjustments" tab holds the page of the camera's generation.
      QWidget* tab = shown->widget(3);
      QCOMPARE(shown->tabText(3), QString("Image Adjustments"));
      QVERIFY(tab->findChild<QWidget*>(imagePage) != nullptr);
    }
    // Display pages show the camera's current values.
    auto* colourBar = ui.window->pageWidget(kt ? camera::Page::KtDisplay : camera::Page::KsDisplay)
                          ->control(kt ? "kt_display.colour_bar" : "ks_display.colour_bar");
    QCOMPARE(static_cast<QComboBox*>(colourBar)->currentText(), QString("On"));
    QVERIFY(ui.texts().empty());

    ui.window->connectButton()->click();
    QCOMPARE(ui.link(), LinkState::Idle);
    QCOMPARE(ui.window->connectButton()->text(), QString("Connect"));
    QVERIFY(ui.window->findButton()->isEnabled());
    QVERIFY(!ui.window->initializeButton()->isEnabled());
    QVERIFY(ui.window->ktTabs()->isHidden());
    QVERIFY(!ui.window->ksTabs()->isEnabled());
  }

  void silentCameraFailsAfterTheHeaderWait() {
    const std::string address = nextAddress();
    irsim::Fault stall;
    stall.kind = irsim::Fault::Kind::Stall;
    stall.count = 0;
    stall.durationMs = 0;
    auto sim = tessor_test::startCamera(address, "vi640", 33, {stall});
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QCOMPARE(ui.link(), LinkState::Connecting);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Idle, kEventBoundMs);
    QCOMPARE(ui.texts(), std::vector<std::string>{tessor::text::kConnectionFailed});
    QCOMPARE(ui.notifier.shown()[0].title, std::string("Error Notification"));
    QVERIFY(ui.window->connectButton()->isEnabled());
    QVERIFY(ui.window->findButton()->isEnabled());
    QVERIFY(!ui.window->initializeButton()->isEnabled());
  }

  void nothingListeningIsReported() {
    tessor_test::WindowUnderTest ui;
    connectTo(ui, nextAddress());
    QCOMPARE(ui.texts(), std::vector<std::string>{tessor::text::kNoResponse});
    QCOMPARE(ui.link(), LinkState::Idle);
  }

  void newerCameraIsRefused() {
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, "vi640", 34);
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_VERIFY_WITH_TIMEOUT(!ui.notifier.shown().empty(), kEventBoundMs);
    QCOMPARE(ui.texts(), std::vector<std::string>{tessor::text::kNewerCamera});
    QCOMPARE(ui.link(), LinkState::Idle);
    QVERIFY(ui.window->findButton()->isEnabled());
  }

  void unknownKsModelIsReported() {
    const std::string address = nextAddress();
    irsim::Fault badModel;
    badModel.kind = irsim::Fault::Kind::UnsupportedModel;
    auto sim = tessor_test::startCamera(address, "va320", 33, {badModel});
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_VERIFY_WITH_TIMEOUT(!ui.notifier.shown().empty(), kEventBoundMs);
    QCOMPARE(ui.texts(), std::vector<std::string>{tessor::text::kDisconnected});
    QCOMPARE(ui.notifier.shown()[0].title, std::string("Notification"));
    QCOMPARE(ui.link(), LinkState::Idle);
  }

  void refusedSettingKeepsTheConnection() {
    const std::string address = nextAddress();
    irsim::Fault nak;
    nak.kind = irsim::Fault::Kind::Nak;
    nak.reason = 1;
    nak.settingId = 0x0109;
    auto sim = tessor_test::startCamera(address, "vi640", 33, {nak});
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);
    auto* zoom = static_cast<QComboBox*>(
        ui.window->pageWidget(camera::Page::KsVideo)->control("ks_video.zoom"));
    zoom->setCurrentIndex(2);
    emit zoom->activated(2);
    QTRY_VERIFY_WITH_TIMEOUT(!ui.notifier.shown().empty(), kEventBoundMs);
    QCOMPARE(ui.texts(), std::vector<std::string>{tessor::text::kNotSupported});
    QCOMPARE(ui.link(), LinkState::Connected);
  }

  void initialisingAKsCameraRestoresItsDefaults() {
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, "va320", 33);
    QVERIFY(sim);
    const irsim::HeaderBytes defaults = sim->header();
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);
    auto* bar = static_cast<QComboBox*>(
        ui.window->pageWidget(camera::Page::KsDisplay)->control("ks_display.colour_bar"));
    bar->setCurrentIndex(0);
    emit bar->activated(0);
    QTRY_VERIFY_WITH_TIMEOUT(sim->header() != defaults, kEventBoundMs);
    ui.notifier.answerNext(desktop::Answer::Ok);
    ui.window->initializeButton()->click();
    QCOMPARE(ui.notifier.shown().back().text, std::string(tessor::text::kInitialiseQuestion));
    QVERIFY(sim->waitForCommand(
        [](const irsim::LogEntry& e) { return e.type == 39 && e.settingId == 0x0F01; },
        std::chrono::milliseconds(kEventBoundMs)));
    QTRY_VERIFY_WITH_TIMEOUT(sim->header() == defaults, kEventBoundMs);
  }

  void motorizedWindowDrivesTheMotors() {
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, "vi640", 33);
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);
    sim->clearCommandLog();
    bool driven = false;
    QTimer::singleShot(0, ui.window.get(), [&] {
      CKSMotorizedDlg* dialog = ui.window->motorDialog();
      QVERIFY(dialog);
      QPushButton* zoomIn = dialog->button(pages::MotorAxis::Zoom, pages::MotorDirection::Plus);
      QTest::mousePress(zoomIn, Qt::LeftButton);
      QTest::mouseRelease(zoomIn, Qt::LeftButton);
      QPushButton* focusOut = dialog->button(pages::MotorAxis::Focus, pages::MotorDirection::Minus);
      QTest::mousePress(focusOut, Qt::LeftButton);
      QTest::mouseRelease(focusOut, Qt::LeftButton);
      dialog->reject();
      driven = true;
    });
    ui.window->pageWidget(camera::Page::KsSystem)->button("Motorized Zoom/Focus")->click();
    QVERIFY(driven);
    // Type 39 settings as (id, value, word 1); stream starts and stops as (type, 0, 0).
    auto sent = [&] {
      std::vector<std::array<uint32_t, 3>> out;
      for (const auto& e : sim->commandLog()) {
        if (e.type == 39) out.push_back({e.settingId, e.value, e.words[0]});
        if (e.type == 33 || e.type == 34) out.push_back({e.type, 0, 0});
      }
      return out;
    };
    const std::vector<std::array<uint32_t, 3>> expected{
        {0x0A01, 4, 0}, {33, 0, 0},     {0x0491, 1, 1}, {0x0491, 1, 0},
        {0x0491, 0, 2}, {0x0491, 0, 0}, {34, 0, 0},     {0x0A01, 0, 0}};
    QTRY_COMPARE_WITH_TIMEOUT(sent(), expected, kEventBoundMs);
    QCOMPARE(ui.link(), LinkState::Connected);
  }

  void initialisingAKtCameraSendsEveryPage() {
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, "kt640", 20);
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);
    sim->clearCommandLog();
    ui.notifier.answerNext(desktop::Answer::Ok);
    ui.window->initializeButton()->click();
    auto settings = [&] {
      std::vector<uint16_t> ids;
      for (const auto& e : sim->commandLog())
        if (e.type == 39) ids.push_back(e.settingId);
      return ids;
    };
    // The catalogue's pages, then "Alarm", "Analysis" (correction, ten spots), "Isotherm".
    std::vector<uint16_t> expected{0x0101, 0x0105, 0x0106, 0x0107, 0x0108, 0x0109, 0x010A, 0x0201,
                                   0x0202, 0x0203, 0x0204, 0x0205, 0x0206, 0x0207, 0x0208, 0x0502,
                                   0x0503, 0x0301, 0x0306, 0x0307, 0x0401, 0x0402, 0x0403, 0x0404,
                                   0x0405, 0x0406, 0x0409, 0x040A, 0x0B01};
    expected.insert(expected.end(), 10, 0x0B02);
    expected.insert(expected.end(), 2, 0x0B03);
    QTRY_COMPARE_WITH_TIMEOUT(settings(), expected, kEventBoundMs);
  }
};

QTEST_MAIN(WindowTest)
#include "window_e2e_ui_test.moc"
