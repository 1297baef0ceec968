// The window's "Palette" and "Update" pages against the simulated camera: a designed palette
// reaches the chosen user slot and the "Video" page shows it; an update file reaches the
// camera block by block and the camera finds its CRC whole.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <span>

#include "pages/ui/settings_page_widget.h"
#include "palette/ui/tab_palette_dlg.h"
#include "update/ui/tab_update_dlg.h"
#include "update/update_file.h"
#include "window_support.h"

using tessor::LinkState;
using tessor_test::kEventBoundMs;

namespace {

// A signed update file of `size` bytes carrying `version`, its CRC over bytes 8 onwards.
std::vector<uint8_t> updateFileBytes(size_t size, int32_t version) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 12; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 131 + 7);
  auto put = [&](size_t at, uint32_t value) {
    for (size_t b = 0; b < 4; ++b) bytes[at + b] = static_cast<uint8_t>(value >> (8 * b));
  };
  put(0, tessor::kUpdateFileSignature);
  put(8, static_cast<uint32_t>(version));
  put(4, tessor::crc32Ieee(std::span<const uint8_t>(bytes).subspan(8)));
  return bytes;
}

void connectTo(tessor_test::WindowUnderTest& ui, const std::string& address) {
  ui.window->ipEdit()->setText(QString::fromStdString(address));
  ui.window->connectButton()->click();
}

bool shown(const tessor_test::WindowUnderTest& ui, const std::string& text) {
  const auto texts = ui.texts();
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

class PaletteUpdateTest : public QObject {
  Q_OBJECT

 private:
  int salt_ = 0;
  std::string nextAddress() { return tessor_test::loopbackAddressForThisProcess(++salt_); }

 private slots:
  void paletteGoesToTheChosenSlotAndTheVideoPageShowsIt() {
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, "kt640", 20);
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);

    QTabWidget* tabs = ui.window->ktTabs();
    QCOMPARE(tabs->tabText(4), QString("Palette"));
    QVERIFY(tabs->isTabEnabled(4));
    tabs->setCurrentIndex(4);
    tessor::CTabPaletteDlg* page = ui.window->palettePage();
    QVERIFY(page);
    QRadioButton* slot2 = nullptr;
    for (auto* radio : page->findChildren<QRadioButton*>())
      if (radio->accessibleName() == "User palette 2") slot2 = radio;
    QVERIFY(slot2);
    slot2->click();
    page->sendPalette();

    QTRY_VERIFY_WITH_TIMEOUT(sim->uploads().palette(1).has_value(), kEventBoundMs);
    QVERIFY(!sim->uploads().palette(0).has_value());
    QVERIFY(shown(ui, "Sended user palette!!!"));
    auto* list = qobject_cast<QComboBox*>(
        ui.window->pageWidget(camera::Page::KtVideo)->control("kt_video.palette"));
    QVERIFY(list);
    QCOMPARE(list->currentText(), QString("User Color2"));
    // The list shows what the upload did; it sends no palette choice of its own.
    for (const auto& entry : sim->commandLog())
      QVERIFY(entry.type != 39 || entry.settingId != 0x0105);
  }

  void updateFileReachesTheCameraWithProgress() {
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, "kt640", 20);
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    connectTo(ui, address);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);
    QTabWidget* tabs = ui.window->ktTabs();
    QCOMPARE(tabs->tabText(tabs->count() - 1), QString("Update"));
    tabs->setCurrentIndex(tabs->count() - 1);

    irsim::CameraConfig config;
    QVERIFY(irsim::parseModel("kt640", config, nullptr));
    config.version = 20;
    // Older than the camera's own firmware: the page asks twice.
    const auto cameraFirmware = static_cast<int32_t>(irsim::firmwareNumber(config));
    const std::string path = ui.folder.file("camera.udf");
    const auto bytes = updateFileBytes(4 * 1024 + 300, cameraFirmware - 1);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

    tessor::CTabUpdateDlg* page = ui.window->updatePage();
    QVERIFY(page);
    QTimer::singleShot(0, page, [path] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->selectFile(QString::fromStdString(path));
      QMetaObject::invokeMethod(dialog, "accept");
    });
    page->selectFile();
    QVERIFY(page->informationText().contains("+ File Firmware Version : " +
                                             QString::number(cameraFirmware - 1)));

    auto* progress = page->findChild<QProgressBar*>();
    QVERIFY(progress);
    std::vector<int> steps;
    connect(progress, &QProgressBar::valueChanged, this, [&steps](int v) {
      if (v > 0) steps.push_back(v);
    });
    ui.notifier.clear();
    ui.notifier.answerNext(desktop::Answer::Ok);
    ui.notifier.answerNext(desktop::Answer::Ok);
    page->startUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(shown(ui, "Completed to send a firmware file!"), kEventBoundMs);
    QVERIFY(shown(ui,
                  "Firmware version in a camera is less then file firmware version. \r\n"
                  "Do you want to really update a firmware?"));
    QCOMPARE(steps, (std::vector<int>{1, 2, 3, 4, 5}));
    QVERIFY(sim->waitForCommand(
        [](const irsim::LogEntry& e) {
          return e.note.find("firmware block 5/5") != std::string::npos &&
                 e.note.find("CRC matched") != std::string::npos;
        },
        std::chrono::milliseconds(kEventBoundMs)));
    const auto image = sim->uploads().firmware();
    QVERIFY(image.has_value());
    QVERIFY(image->crcMatched);
    QCOMPARE(ui.link(), LinkState::Connected);
  }

  void updatePageFollowsTheShownSet() {
    tessor_test::WindowUnderTest ui;
    QTabWidget* ks = ui.window->ksTabs();
    QCOMPARE(ks->tabText(ks->count() - 1), QString("Update"));
    QVERIFY(ui.window->ktTabs()->tabText(ui.window->ktTabs()->count() - 1) != QString("Update"));
    const std::string address = nextAddress();
    auto sim = tessor_test::startCamera(address, "kt640", 20);
    QVERIFY(sim);
    connectTo(ui, address);
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);
    QTabWidget* kt = ui.window->ktTabs();
    QCOMPARE(kt->tabText(kt->count() - 1), QString("Update"));
    QVERIFY(ks->tabText(ks->count() - 1) != QString("Update"));
  }
};

QTEST_MAIN(PaletteUpdateTest)
#include "palette_update_e2e_ui_test.moc"
