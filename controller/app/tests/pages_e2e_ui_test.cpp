// Every page against the simulated camera: each control is changed once through its widget
// and each button pressed; the camera's log must hold exactly the setting packets the
// catalogue describes, byte for byte, and after a reconnect the camera's next header must
// show every value the page sent.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstring>

#include "camera/settings_catalogue.h"
#include "pages/ui/settings_page_widget.h"
#include "window_support.h"

using camera::Page;
using tessor::LinkState;
using tessor_test::kEventBoundMs;

Q_DECLARE_METATYPE(camera::Page)

namespace {

// The 32-byte payload of a setting packet: value << 16 | id, the three words, 16 zero bytes.
std::vector<uint8_t> payloadOf(const camera::SettingCommand& command) {
  std::vector<uint8_t> bytes(32, 0);
  const uint32_t words[4] = {
      static_cast<uint32_t>(command.value) << 16 | camera::toWire(command.id), command.words[0],
      command.words[1], command.words[2]};
  for (size_t w = 0; w < 4; ++w)
    for (size_t b = 0; b < 4; ++b) bytes[4 * w + b] = static_cast<uint8_t>(words[w] >> (8 * b));
  return bytes;
}

std::vector<std::vector<uint8_t>> loggedSettings(const irsim::Simulator& sim) {
  std::vector<std::vector<uint8_t>> out;
  for (const auto& entry : sim.commandLog())
    if (entry.type == 39 && entry.length == 48) out.push_back(entry.payload);
  return out;
}

camera::SettingCommand expectedFor(const camera::CommandEntry& command,
                                   const pages::SettingsPageModel& model) {
  std::vector<int64_t> values;
  for (auto key : command.fields) values.push_back(model.value(key));
  return camera::packCommand(command, values);
}

// A value other than the current one that the control can take.
int64_t otherValue(const pages::SettingsPageModel& model, size_t index) {
  const camera::FieldEntry& field = *model.fields()[index];
  const int64_t current = model.value(index);
  switch (field.kind) {
    case camera::FieldKind::Range: return current < field.maximum ? current + 1 : current - 1;
    case camera::FieldKind::Colour: return current ^ 0x404040;
    case camera::FieldKind::Address: return 0x7F000100 + static_cast<int64_t>(index);
    default: break;
  }
  const auto entries = model.choices(index);
  for (size_t step = 1; step < entries.size(); ++step) {
    size_t at = 0;
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i].value == current) at = i;
    const auto& entry = entries[(at + step) % entries.size()];
    if (entry.enabled && entry.value != current) return entry.value;
  }
  return current;
}

void setThroughWidget(pages::SettingsPageWidget& page, size_t index, int64_t value) {
  const camera::FieldEntry& field = *page.model().fields()[index];
  QWidget* control = page.control(field.key);
  QVERIFY(control);
  QVERIFY(!control->accessibleName().isEmpty());
  switch (field.kind) {
    case camera::FieldKind::Range:
      static_cast<QSpinBox*>(control)->setValue(static_cast<int>(value));
      break;
    case camera::FieldKind::Colour: {
      // The colour button opens a colour dialog; it is answered from its own event loop.
      QTimer::singleShot(0, control, [value] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setCurrentColor(QColor(static_cast<int>(value & 0xFF),
                                       static_cast<int>((value >> 8) & 0xFF),
                                       static_cast<int>((value >> 16) & 0xFF)));
        dialog->accept();
      });
      static_cast<QPushButton*>(control)->click();
      break;
    }
    case camera::FieldKind::Address: {
      auto* line = static_cast<QLineEdit*>(control);
      line->setText(QString::fromStdString(camera::addressText(static_cast<uint32_t>(value))));
      emit line->editingFinished();
      break;
    }
    default: {
      auto* box = static_cast<QComboBox*>(control);
      const int at = box->findData(QVariant::fromValue<qlonglong>(value));
      QVERIFY(at >= 0);
      box->setCurrentIndex(at);
      emit box->activated(at);
      break;
    }
  }
}

bool isDhcp(const camera::FieldEntry& field) {
  return std::string_view(field.key).ends_with(".dhcp");
}

}  // namespace

class PagesTest : public QObject {
  Q_OBJECT

 private slots:
  void everyControlReachesTheCamera_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("version");
    QTest::addColumn<Page>("page");
    QTest::newRow("kt_video") << "kt640" << 20 << Page::KtVideo;
    QTest::newRow("kt_display") << "kt640" << 20 << Page::KtDisplay;
    QTest::newRow("kt_comm") << "kt640" << 20 << Page::KtComm;
    QTest::newRow("kt_system") << "kt640" << 20 << Page::KtSystem;
    QTest::newRow("ks_display") << "vi640" << 33 << Page::KsDisplay;
    QTest::newRow("ks_video_size") << "vi640" << 33 << Page::KsVideoSize;
    QTest::newRow("ks_video") << "va320" << 33 << Page::KsVideo;
    QTest::newRow("ks_image_adjustments_32") << "va320" << 32 << Page::KsImage32;
    QTest::newRow("ks_image_adjustments_33") << "vi640" << 33 << Page::KsImage33;
    QTest::newRow("ks_nuc") << "va320" << 33 << Page::KsNuc;
    QTest::newRow("ks_network") << "vi640" << 33 << Page::KsNetwork;
    QTest::newRow("ks_alarm") << "vi640" << 33 << Page::KsAlarm;
    QTest::newRow("ks_correction") << "va320" << 33 << Page::KsCorrection;
    QTest::newRow("ks_system_32") << "va320" << 32 << Page::KsSystem;
    QTest::newRow("ks_system_33") << "vi640" << 33 << Page::KsSystem;
  }

  void everyControlReachesTheCamera() {
    QFETCH(QString, model);
    QFETCH(int, version);
    QFETCH(Page, page);
    const std::string address = tessor_test::loopbackAddressForThisProcess(++salt_);
    auto sim = tessor_test::startCamera(address, model.toUtf8().constData(), version);
    QVERIFY(sim);
    tessor_test::WindowUnderTest ui;
    ui.window->ipEdit()->setText(QString::fromStdString(address));
    ui.window->connectButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);

    pages::SettingsPageWidget* widget = ui.window->pageWidget(page);
    QVERIFY(widget);
    pages::SettingsPageModel& pageModel = widget->model();
    const auto commands = camera::commandsOf(page);
    sim->clearCommandLog();

    std::vector<camera::SettingCommand> expected;
    std::vector<std::pair<size_t, int64_t>> set;
    auto change = [&](size_t index) {
      const int64_t value = otherValue(pageModel, index);
      setThroughWidget(*widget, index, value);
      QCOMPARE(pageModel.value(index), value);
      set.emplace_back(index, value);
      for (const camera::CommandEntry* command : commands) {
        const auto& triggers = command->sentOnChangeOf;
        if (std::find(triggers.begin(), triggers.end(), pageModel.fields()[index]->key) !=
            triggers.end())
          expected.push_back(expectedFor(*command, pageModel));
      }
    };
    auto pressAll = [&] {
      for (std::string_view caption : pageModel.buttons()) {
        QPushButton* button = widget->button(caption);
        QVERIFY(button);
        QVERIFY(!button->accessibleName().isEmpty());
        button->click();
        for (const camera::CommandEntry* command : commands)
          if (command->button == caption) expected.push_back(expectedFor(*command, pageModel));
      }
    };
    // Addresses first with DHCP off (so the camera stores them), DHCP last.
    for (size_t i = 0; i < pageModel.fields().size(); ++i) {
      const camera::FieldEntry& field = *pageModel.fields()[i];
      if (field.kind == camera::FieldKind::Readout || isDhcp(field)) continue;
      change(i);
    }
    pressAll();
    bool hasDhcp = false;
    for (size_t i = 0; i < pageModel.fields().size(); ++i) {
      if (isDhcp(*pageModel.fields()[i])) {
        change(i);
        hasDhcp = true;
      }
    }
    if (hasDhcp) pressAll();
    QVERIFY(!expected.empty());

    std::vector<std::vector<uint8_t>> wanted;
    for (const auto& command : expected) wanted.push_back(payloadOf(command));
    QTRY_COMPARE_WITH_TIMEOUT(loggedSettings(*sim).size(), wanted.size(), kEventBoundMs);
    QCOMPARE(loggedSettings(*sim), wanted);
    for (const auto& entry : sim->commandLog())
      if (entry.type == 39) QCOMPARE(entry.note, std::string("ack"));

    // The camera's next header shows what was sent.
    ui.window->connectButton()->click();
    QCOMPARE(ui.link(), LinkState::Idle);
    ui.window->connectButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(ui.link(), LinkState::Connected, kEventBoundMs);
    const irsim::HeaderBytes header = sim->header();
    int carried = 0;
    for (auto [index, value] : set) {
      const auto read = camera::readField(*pageModel.fields()[index], header);
      if (!read) continue;
      ++carried;
      if (*read != value)
        QFAIL(qPrintable(
            QString("%1: header %2, sent %3")
                .arg(QString::fromUtf8(pageModel.fields()[index]->key.data(),
                                       static_cast<int>(pageModel.fields()[index]->key.size())))
                .arg(*read)
                .arg(value)));
      QCOMPARE(pageModel.value(index), value);
    }
    const bool headerless = page == Page::KtVideo;
    QVERIFY(headerless ? carried == 0 : carried > 0);
    // Only the pages' own questions and notes, never an error.
    for (const std::string& text : ui.texts()) {
      const bool expectedText = text == camera::kKtTvQuestion || text == camera::kRebootQuestion ||
                                text == camera::kIpDone || text == camera::kSerialDone;
      if (!expectedText) QFAIL(text.c_str());
    }
  }

 private:
  int salt_ = 100;
};

QTEST_MAIN(PagesTest)
#include "pages_e2e_ui_test.moc"
