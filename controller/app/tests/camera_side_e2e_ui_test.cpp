// The camera-side pages against the simulated camera: every command's bytes as the camera
// logged them, what a camera version gets, the header read back, and the KS region window
// that has the camera stream only while it is open.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "analysis/ui/ks_alarm_config_dlg.h"
#include "analysis/ui/tab_alarm_dlg.h"
#include "analysis/ui/tab_isotherm_dlg.h"
#include "analysis/ui/tab_spot_dlg.h"
#include "analysis/ui/thermal_preview.h"
#include "window_support.h"

using tessor::LinkState;
using tessor_test::kEventBoundMs;

namespace {

constexpr uint16_t kSettingPacket = 39;
constexpr uint16_t kStartStreamPacket = 33;
constexpr uint16_t kStopStreamPacket = 34;

struct Logged {
  uint16_t id, value;
  uint32_t word1, word2, word3;
  bool operator==(const Logged&) const = default;
};

Logged loggedOf(const camera::SettingCommand& c) {
  return {camera::toWire(c.id), c.value, c.words[0], c.words[1], c.words[2]};
}

// The setting packets the camera logged, decoded from their payload bytes.
std::vector<Logged> settingsLogged(const irsim::Simulator& sim) {
  std::vector<Logged> out;
  for (const auto& e : sim.commandLog()) {
    if (e.type != kSettingPacket || e.payload.size() < 16) continue;
    auto word = [&](size_t w) {
      uint32_t v = 0;
      for (size_t b = 0; b < 4; ++b) v |= static_cast<uint32_t>(e.payload[4 * w + b]) << (8 * b);
      return v;
    };
    out.push_back({static_cast<uint16_t>(word(0) & 0xFFFF), static_cast<uint16_t>(word(0) >> 16),
                   word(1), word(2), word(3)});
  }
  return out;
}

std::vector<Logged> expected(const analysis::Commands& commands) {
  std::vector<Logged> out;
  for (const auto& c : commands) out.push_back(loggedOf(c));
  return out;
}

template <typename W>
W* named(QWidget* root, const QString& name) {
  for (W* w : root->findChildren<W*>())
    if (w->accessibleName() == name) return w;
  return nullptr;
}

void connectTo(tessor_test::WindowUnderTest& ui, const std::string& address) {
  ui.window->ipEdit()->setText(QString::fromStdString(address));
  ui.window->connectButton()->click();
}

}  // namespace

class CameraSideTest : public QObject {
  Q_OBJECT

 private:
  int salt_ = 0;
  std::string nextAddress() { return tessor_test::loopbackAddressForThisProcess(++salt_); }

  std::unique_ptr<irsim::Simulator> connected(tessor_test::WindowUnderTest& ui, const char* model,
                                              int version) {
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, model, version);
    if (!sim) return nullptr;
    connectTo(ui, address);
    if (!QTest::qWaitFor([&] { return ui.link() == LinkState::Connected; }, kEventBoundMs))
      return nullptr;
    sim->clearCommandLog();
    return sim;
  }

 private slots:
  void ktSetAlarmSendsEveryCommandAndTheCameraReportsIt() {
    tessor_test::WindowUnderTest ui;
    auto sim = connected(ui, "kt640", 20);
    QVERIFY(sim);
    analysis::CTabAlarmDlg* page = ui.window->alarmPage();
    named<QRadioButton>(page, "Alarm 1 Max.")->click();
    named<QComboBox>(page, "Alarm 1 Condition")->setCurrentIndex(1);
    named<QSpinBox>(page, "Alarm 1 Value")->setValue(50);
    named<QSpinBox>(page, "Alarm 1 Duration")->setValue(7);
    named<QCheckBox>(page, "Alarm 1 ROI Used")->setChecked(true);
    named<QCheckBox>(page, "Alarm 1 Exclude")->setChecked(true);
    named<QSpinBox>(page, "Alarm 1 Right")->setValue(300);
    named<QSpinBox>(page, "Alarm 1 Bottom")->setValue(200);
    named<QRadioButton>(page, "Alarm 2 Mean")->click();
    named<QSpinBox>(page, "Alarm 2 Value")->setValue(-20);
    named<QPushButton>(page, "Set Alarm")->click();

    const auto sent = expected(page->model().setAlarm());
    QCOMPARE(sent.size(), size_t{10});
    QCOMPARE(sent[0], (Logged{0x0409, 3, 100u << 24 | 150u << 16, 0, 0}));
    QCOMPARE(sent[6], (Logged{0x0403, 500, 0, 0, 0}));
    QTRY_COMPARE_WITH_TIMEOUT(settingsLogged(*sim), sent, kEventBoundMs);
    QCOMPARE(ui.texts().back(), std::string("Completed Alarm setting."));
  }

  void ktHeaderValuesFillTheAlarmPage() {
    tessor_test::WindowUnderTest ui;
    auto sim = connected(ui, "kt640", 20);
    QVERIFY(sim);
    analysis::CTabAlarmDlg* page = ui.window->alarmPage();
    named<QRadioButton>(page, "Alarm 1 Min.")->click();
    named<QSpinBox>(page, "Alarm 1 Value")->setValue(42);
    named<QSpinBox>(page, "Alarm 2 Duration")->setValue(9);
    named<QPushButton>(page, "Set Alarm")->click();
    QTRY_COMPARE_WITH_TIMEOUT(settingsLogged(*sim).size(), size_t{10}, kEventBoundMs);
    // Forget the page's own copy, then let the camera's header tell it.
    named<QRadioButton>(page, "Alarm 1 Off")->click();
    named<QSpinBox>(page, "Alarm 1 Value")->setValue(0);
    named<QSpinBox>(page, "Alarm 2 Duration")->setValue(0);
    ui.window->core().commandPort().requestHeader();
    QTRY_COMPARE_WITH_TIMEOUT(named<QSpinBox>(page, "Alarm 1 Value")->value(), 42, kEventBoundMs);
    QVERIFY(named<QRadioButton>(page, "Alarm 1 Min.")->isChecked());
    QCOMPARE(named<QSpinBox>(page, "Alarm 2 Duration")->value(), 9);
  }

  void version11GetsNoAlarmRegion() {
    tessor_test::WindowUnderTest ui;
    auto sim = connected(ui, "gen1-384", 11);
    QVERIFY(sim);
    named<QPushButton>(ui.window->alarmPage(), "Set Alarm")->click();
    QTRY_COMPARE_WITH_TIMEOUT(settingsLogged(*sim).size(), size_t{8}, kEventBoundMs);
    for (const Logged& l : settingsLogged(*sim)) QVERIFY(l.id != 0x0409 && l.id != 0x040A);
  }

  void ktIsothermAndAnalysisBytes() {
    tessor_test::WindowUnderTest ui;
    auto sim = connected(ui, "kt640", 20);
    QVERIFY(sim);
    analysis::CTabIsothermDlg* iso = ui.window->isothermPage();
    named<QCheckBox>(iso, "Isotherm 1 Enable")->setChecked(true);
    named<QComboBox>(iso, "Isotherm 1 Position")->setCurrentIndex(0);  // "Top"
    named<QDoubleSpinBox>(iso, "Isotherm 1 Top")->setValue(30.0);
    named<QPushButton>(iso, "Send Isotherm")->click();
    const auto isotherms = expected(iso->model().sendIsotherms());
    QTRY_COMPARE_WITH_TIMEOUT(settingsLogged(*sim), isotherms, kEventBoundMs);
    QCOMPARE(isotherms[0], (Logged{0x0B03, 0x0101, 0x0000FF, 300u << 16 | 30000u, 0}));

    sim->clearCommandLog();
    analysis::CTabSpotDlg* spots = ui.window->spotPage();
    named<QDoubleSpinBox>(spots, "Emissivity")->setValue(0.95);
    named<QPushButton>(spots, "Send Correction Data")->click();
    named<QCheckBox>(spots, "Enable")->setChecked(true);
    named<QSpinBox>(spots, "X")->setValue(100);
    named<QSpinBox>(spots, "Y")->setValue(120);
    named<QPushButton>(spots, "Send Spot Info.")->click();
    auto sent = expected({spots->model().correctionCommand()});
    const auto spotSent = expected(spots->model().spotCommands());
    sent.insert(sent.end(), spotSent.begin(), spotSent.end());
    QTRY_COMPARE_WITH_TIMEOUT(settingsLogged(*sim), sent, kEventBoundMs);
    QCOMPARE(sent[1],
             (Logged{0x0B02, 0x0101, 100u << 24 | 100u << 16 | 250u, 100u << 16 | 120u, 0}));
  }

  void ktInitializedRestoresTheCameraSidePagesLast() {
    tessor_test::WindowUnderTest ui;
    auto sim = connected(ui, "kt640", 20);
    QVERIFY(sim);
    ui.notifier.answerNext(desktop::Answer::Ok);
    ui.window->initializeButton()->click();
    // The values of the camera-side defaults (the window test checks the order of all ids).
    QTRY_COMPARE_WITH_TIMEOUT(settingsLogged(*sim).size(), size_t{41}, kEventBoundMs);
    const auto logged = settingsLogged(*sim);
    QCOMPARE(logged[26], (Logged{0x0409, 0, 0x0A0A0000, 0, 0}));
    QCOMPARE(logged[28], (Logged{0x0B01, 1, 100u << 24 | 100u << 16 | 250u, 0, 0}));
    QCOMPARE(logged[40], (Logged{0x0B03, 0x0200, 0xFF0000, 35536u << 16 | 200u, 0}));
  }

  void ksCameraReportsTheRegionAlarmItWasSet() {
    tessor_test::WindowUnderTest ui;
    auto sim = connected(ui, "va320", 33);
    QVERIFY(sim);
    analysis::CKSAlarmConfigDlg* config = ui.window->alarmConfigPage();
    named<QComboBox>(config, "Alarm Mode")->setCurrentIndex(0);  // "Maximum"
    named<QComboBox>(config, "Alarm Enable")->setCurrentIndex(1);
    named<QComboBox>(config, "Alarm-Output")->setCurrentIndex(1);
    named<QDoubleSpinBox>(config, "Alarm Temperature")->setValue(50.0);
    named<QPushButton>(config, "Set Alarm")->click();
    // The scene's hot disc is far above 50 degrees: the first frame crosses.
    named<QPushButton>(config, "Setup")->click();
    QVERIFY(sim->waitForCommand(
        [](const irsim::LogEntry& e) {
          return e.note.rfind("region alarm mode 0 above 50.0", 0) == 0;
        },
        std::chrono::milliseconds(kEventBoundMs)));
    config->setupDialog()->close();
  }

  void ksRegionAlarmAndRegionWindow() {
    tessor_test::WindowUnderTest ui;
    auto sim = connected(ui, "va320", 33);
    QVERIFY(sim);
    analysis::CKSAlarmConfigDlg* config = ui.window->alarmConfigPage();
    named<QComboBox>(config, "Alarm Mode")->setCurrentIndex(4);  // "ROI 01"
    named<QComboBox>(config, "Alarm Enable")->setCurrentIndex(1);
    named<QComboBox>(config, "Alarm-Output")->setCurrentIndex(2);
    named<QSpinBox>(config, "Alarm Delay (s)")->setValue(3);
    named<QDoubleSpinBox>(config, "Alarm Temperature")->setValue(36.5);
    named<QPushButton>(config, "Set Alarm")->click();
    QTRY_COMPARE_WITH_TIMEOUT(settingsLogged(*sim),
                              (std::vector<Logged>{{0x0421, 11, 0x01020000, 3u << 16 | 365u, 0}}),
                              kEventBoundMs);

    sim->clearCommandLog();
    QVERIFY(!config->setupDialog());
    named<QPushButton>(config, "Setup")->click();
    analysis::CKSRoiSetupDlg* setup = config->setupDialog();
    QVERIFY(setup);
    QVERIFY(sim->waitForCommand(
        [](const irsim::LogEntry& e) {
          return e.type == kSettingPacket && e.settingId == 0x0A01 && e.value == 4;
        },
        std::chrono::milliseconds(kEventBoundMs)));
    QVERIFY(
        sim->waitForCommand([](const irsim::LogEntry& e) { return e.type == kStartStreamPacket; },
                            std::chrono::milliseconds(kEventBoundMs)));
    // Frames reach the preview while the window is open.
    QTRY_VERIFY_WITH_TIMEOUT(setup->preview()->framesShown() >= 2, kEventBoundMs);

    named<QComboBox>(setup, "ROI")->setCurrentIndex(2);
    named<QComboBox>(setup, "Mode")->setCurrentIndex(2);
    named<QSpinBox>(setup, "Width")->setValue(40);
    named<QCheckBox>(setup, "Used Correction")->setChecked(true);
    QVERIFY(sim->waitForCommand(
        [](const irsim::LogEntry& e) {
          return e.settingId == 0x0422 && e.value == (13 << 8 | 2) && e.words[1] == 40u << 16;
        },
        std::chrono::milliseconds(kEventBoundMs)));
    QVERIFY(sim->waitForCommand(
        [](const irsim::LogEntry& e) {
          return e.settingId == 0x0423 && e.value == (13 << 8 | 1) &&
                 e.words[0] == (100u << 8 | 100u) << 16 && e.words[1] == 250u;
        },
        std::chrono::milliseconds(kEventBoundMs)));

    // A region is held inside the camera's 384 x 288 picture.
    named<QSpinBox>(setup, "X")->setValue(1000);
    QVERIFY(sim->waitForCommand(
        [](const irsim::LogEntry& e) {
          return e.settingId == 0x0422 && e.words[0] >> 16 == 383 && e.words[1] == 1u << 16;
        },
        std::chrono::milliseconds(kEventBoundMs)));
    QCOMPARE(named<QSpinBox>(setup, "X")->value(), 383);

    setup->close();
    QVERIFY(
        sim->waitForCommand([](const irsim::LogEntry& e) { return e.type == kStopStreamPacket; },
                            std::chrono::milliseconds(kEventBoundMs)));
    QTRY_VERIFY_WITH_TIMEOUT(!sim->stats().streaming, kEventBoundMs);
    QVERIFY(!config->setupDialog());
  }
};

QTEST_MAIN(CameraSideTest)
#include "camera_side_e2e_ui_test.moc"
