// The environment dialog's general, label and image pages, offscreen: every key through its
// page into the settings file and back, refusals with their messages, and the effect on the
// window connected to the simulated camera.
#include "acquisition/ui/live_controller.h"
#include "app/analyzer_settings.h"
#include "app/commands.h"
#include "app/notifier.h"
#include "app/settings_store.h"
#include "app/status_panes.h"
#include "app/ui/solvane_session.h"
#include "settings/ui/environment_controller.h"
#include "settings/ui/environment_dlg.h"
#include "settings/ui/general_pages.h"

#include "simulator.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <variant>

using namespace solvane;
using namespace solvane::settings;

namespace {

constexpr int kBoundMs = 30000;

template <class T>
T* child(QWidget& root, const char* key) {
  T* found = root.findChild<T*>(key);
  if (!found) qFatal("no widget named %s", key);
  return found;
}

void typeInto(QWidget& root, const char* key, const char* text) {
  child<QLineEdit>(root, key)->setText(text);
}

// Picks `colour` in the colour dialog that the button opens.
void pickColour(QWidget& root, const char* key, QColor colour) {
  QTimer::singleShot(0, [colour] {
    for (int attempt = 0; attempt < 1000; ++attempt) {
      if (auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
        dialog->setCurrentColor(colour);
        dialog->accept();
        return;
      }
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  });
  child<QPushButton>(root, key)->click();
}

QString otherFontFamily() {
  for (const QString& family : QFontDatabase::families()) {
    if (family != "Arial" && QFontInfo(QFont(family)).family() == family) return family;
  }
  return {};
}

struct KeyCase {
  const char* key;
  std::function<void(QWidget&)> edit;
  std::variant<int32_t, std::string> stored;  // what the settings file holds afterwards
};

const std::vector<KeyCase>& keyCases() {
  static const std::vector<KeyCase> cases = {
      {"TEMP UNIT", [](QWidget& d) { child<QComboBox>(d, "TEMP UNIT")->setCurrentIndex(1); }, 1},
      {"SHOW TEMP", [](QWidget& d) { child<QCheckBox>(d, "SHOW TEMP")->setChecked(false); }, 0},
      {"SHOW MOUSE TEMP",
       [](QWidget& d) { child<QCheckBox>(d, "SHOW MOUSE TEMP")->setChecked(false); }, 0},
      {"TIME_STAMP", [](QWidget& d) { child<QCheckBox>(d, "TIME_STAMP")->setChecked(false); }, 0},
      {"CAM NAME", [](QWidget& d) { typeInto(d, "CAM NAME", "Kiln 2"); }, std::string("Kiln 2")},
      {"NET_MAX_RECONNECTION_ATTEMPT",
       [](QWidget& d) { typeInto(d, "NET_MAX_RECONNECTION_ATTEMPT", "7"); }, 7},
      {"DAY_PERIOD_CYCLE",
       [](QWidget& d) { child<QCheckBox>(d, "DAY_PERIOD_CYCLE")->setChecked(true); }, 1},
      {"WITH_ONESHOT", [](QWidget& d) { child<QCheckBox>(d, "WITH_ONESHOT")->setChecked(true); },
       1},
      {"FONT_NAME",
       [](QWidget& d) {
         child<QFontComboBox>(d, "FONT_NAME")->setCurrentFont(QFont(otherFontFamily()));
       },
       otherFontFamily().toStdString()},
      {"FONT_SIZE", [](QWidget& d) { typeInto(d, "FONT_SIZE", "20"); }, 20},
      {"FONT_COLOR1", [](QWidget& d) { pickColour(d, "FONT_COLOR1", QColor(0x12, 0x34, 0x56)); },
       0x563412},
      {"FONT_COLOR2", [](QWidget& d) { pickColour(d, "FONT_COLOR2", QColor(255, 0, 0)); }, 0xFF},
      {"INPUT METHOD", [](QWidget& d) { child<QComboBox>(d, "INPUT METHOD")->setCurrentIndex(4); },
       4},
      {"OUTPUT METHOD",
       [](QWidget& d) { child<QComboBox>(d, "OUTPUT METHOD")->setCurrentIndex(4); }, 4},
      {"SD RATE", [](QWidget& d) { typeInto(d, "SD RATE", "2.7"); }, 27},
      {"B RATE", [](QWidget& d) { typeInto(d, "B RATE", "0.07"); }, 7},
      {"INTERCEPT", [](QWidget& d) { typeInto(d, "INTERCEPT", "64"); }, 64},
      {"GAMMA", [](QWidget& d) { typeInto(d, "GAMMA", "0.7"); }, 7},
      {"PLATEAU", [](QWidget& d) { typeInto(d, "PLATEAU", "250"); }, 250},
      {"EPSILON", [](QWidget& d) { typeInto(d, "EPSILON", "0.9"); }, 9},
      {"PSI", [](QWidget& d) { typeInto(d, "PSI", "0.6"); }, 6},
  };
  return cases;
}

irsim::Options cameraOptions() {
  irsim::Options options;
  options.port = 0;
  options.camera = irsim::CameraConfig{};
  irsim::parseModel("vi640", options.camera, nullptr);
  options.notice = [](const std::string&) {};
  options.scene.motionPeriod = 0;
  return options;
}

}  // namespace

class EnvironmentPagesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  ScriptedNotifier notifier_;
  std::unique_ptr<irsim::Simulator> sim_;
  std::unique_ptr<SolvaneSession> session_;
  LiveController* live_ = nullptr;

  QString ini() const { return folder_->filePath("settings.ini"); }
  SettingsContext context() const { return {"", folder_->filePath("Pictures").toStdString()}; }

  void startSession() {
    SessionOptions options;
    options.programFolder = folder_->path().toStdString();
    options.settingsFile = ini();
    options.picturesFolder = folder_->filePath("Pictures").toStdString();
    options.openUrl = [](const QUrl&) { return true; };
    session_ = std::make_unique<SolvaneSession>(std::move(options), notifier_);
    LiveOptions liveOptions;
    liveOptions.retryDelay = std::chrono::milliseconds(100);
    liveOptions.port = std::to_string(sim_->port());
    liveOptions.namesFile = folder_->filePath("cam_name.cnm").toStdString();
    live_ = new LiveController(session_->mainFrame(), session_->document(), notifier_, liveOptions);
    session_->showMainWindow(false);
  }

  void startCamera() {
    sim_ = std::make_unique<irsim::Simulator>(cameraOptions());
    std::string error;
    QVERIFY2(sim_->start(&error), error.c_str());
    startSession();
    session_->document().settings().camIp = "127.0.0.1";
    QVERIFY(live_->connectCamera());
    QTRY_VERIFY_WITH_TIMEOUT(live_->isLive(), kBoundMs);
    QTRY_VERIFY_WITH_TIMEOUT(live_->view().paintedFrames() > 0, kBoundMs);
  }

  EnvironmentController& environment() {
    auto* controller = session_->mainFrame().findChild<EnvironmentController*>();
    if (!controller) qFatal("no environment controller");
    return *controller;
  }

  // Opens the dialog through its menu command and runs `act` on it while it is up.
  void whileOpen(const std::function<void(CEnvironmentDlg&)>& act) {
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(&environment(), &EnvironmentController::opened, this,
                          [act, connection](CEnvironmentDlg* dialog) {
                            QObject::disconnect(*connection);
                            QTimer::singleShot(0, dialog, [act, dialog] {
                              act(*dialog);
                              if (dialog->isVisible()) dialog->reject();
                            });
                          });
    QAction* command = session_->mainFrame().command(Command::Environment);
    QVERIFY(command->isEnabled());
    command->trigger();
  }

  std::vector<uint8_t> grey() {
    auto frame = live_->pipeline().latest();
    return frame ? frame->grey : std::vector<uint8_t>{};
  }

  void waitCompose(uint64_t& seen) {
    QTRY_VERIFY_WITH_TIMEOUT(live_->pipeline().frameCount() > seen, kBoundMs);
    seen = live_->pipeline().frameCount();
  }

  bool told(const std::string& text) const {
    for (const Message& message : notifier_.shown())
      if (message.text == text && message.title == "Status Message") return true;
    return false;
  }

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    notifier_.clear();
  }

  void cleanup() {
    if (live_) live_->disconnectCamera();
    session_.reset();
    live_ = nullptr;
    if (sim_) sim_->stop();
    sim_.reset();
  }

  void everyKeyRoundTripsThroughItsPage_data() {
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < keyCases().size(); ++i)
      QTest::newRow(keyCases()[i].key) << static_cast<int>(i);
  }

  void everyKeyRoundTripsThroughItsPage() {
    QFETCH(int, row);
    const KeyCase& c = keyCases()[static_cast<size_t>(row)];
    if (std::holds_alternative<std::string>(c.stored) && std::get<std::string>(c.stored).empty())
      QFAIL("the machine has no second font family to choose");
    const AnalyzerSettings defaults = defaultSettings(context());
    CEnvironmentDlg dialog(defaults, notifier_);
    addGeneralPages(dialog);
    c.edit(dialog);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    {
      SettingsStore store(ini());
      saveSettings(store, dialog.settings());
      store.sync();
    }
    SettingsStore reread(ini());
    if (const auto* number = std::get_if<int32_t>(&c.stored)) {
      QCOMPARE(reread.readInt(c.key, -12345), *number);
    } else {
      QCOMPARE(reread.readString(c.key, ""), std::get<std::string>(c.stored));
    }
    // Only the edited key moved.
    AnalyzerSettings loaded = loadSettings(reread, context());
    QVERIFY(!(loaded == defaults));
    // Back through the page: a dialog opened on the file shows and keeps the value.
    CEnvironmentDlg again(loaded, notifier_);
    addGeneralPages(again);
    QVERIFY(again.current() == loaded);
    QVERIFY(notifier_.shown().empty());
  }

  void refusedEntryIsToldAndTheLastValueComesBack_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("kept");
    QTest::newRow("plateau zero") << "PLATEAU"
                                  << "0"
                                  << "Lower bound limit!"
                                  << "100";
    QTest::newRow("gamma too steep") << "GAMMA"
                                     << "9"
                                     << "Upper bound limit!"
                                     << "1.0";
    QTest::newRow("intercept letters") << "INTERCEPT"
                                       << "x1"
                                       << "Please enter a number."
                                       << "0";
    QTest::newRow("font size fraction") << "FONT_SIZE"
                                        << "11.5"
                                        << "Please enter a number."
                                        << "12";
    QTest::newRow("reconnection none") << "NET_MAX_RECONNECTION_ATTEMPT"
                                       << "0"
                                       << "Lower bound limit!"
                                       << "99";
    QTest::newRow("b rate half") << "B RATE"
                                 << "0.5"
                                 << "Upper bound limit!"
                                 << "0.01";
  }

  void refusedEntryIsToldAndTheLastValueComesBack() {
    QFETCH(QString, key);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, kept);
    const QByteArray name = key.toUtf8();
    CEnvironmentDlg dialog(defaultSettings(context()), notifier_);
    addGeneralPages(dialog);
    QLineEdit* edit = child<QLineEdit>(dialog, name.constData());
    edit->setText(typed);
    emit edit->editingFinished();
    QVERIFY(told(message.toStdString()));
    QCOMPARE(edit->text(), kept);
    // The same text left in the field when OK is pressed keeps the dialog open.
    notifier_.clear();
    edit->setText(typed);
    dialog.accept();
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(notifier_.shown().size(), size_t(1));
    QVERIFY(notifier_.shown()[0].text.find(message.toStdString()) != std::string::npos);
  }

  void cameraNameThatCannotNameAFileIsRefused() {
    CEnvironmentDlg dialog(defaultSettings(context()), notifier_);
    addGeneralPages(dialog);
    typeInto(dialog, "CAM NAME", "../etc");
    dialog.accept();
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(notifier_.shown().size(), size_t(1));
    QCOMPARE(notifier_.shown()[0].title, std::string("Status Message"));
    QCOMPARE(dialog.settings().camName, std::string());
  }

  void unitChangeMovesEveryDisplayedTemperature() {
    startCamera();
    CMainFrame& frame = session_->mainFrame();
    const PictureRect rect = live_->view().pictureRect();
    QTest::mouseMove(&live_->view(), QPoint(rect.x + 20, rect.y + 20));
    QLabel* pane = frame.statusPane(StatusPane::Temperature);
    QTRY_VERIFY_WITH_TIMEOUT(
        frame.statusPane(StatusPane::MousePosition)->text() != QString("X:0, Y:0"), kBoundMs);
    auto reading = [pane] {
      return pane->text().mid(14, pane->text().indexOf(QChar(0xB0)) - 14).toDouble();
    };
    QVERIFY(pane->text().endsWith("C"));
    const double celsius = reading();
    whileOpen([](CEnvironmentDlg& dialog) {
      child<QComboBox>(dialog, "TEMP UNIT")->setCurrentIndex(1);
      dialog.accept();
    });
    QCOMPARE(session_->document().settings().tempUnit, 1);
    QCOMPARE(live_->view().options().unit, 1);  // marker labels and the colour scale
    QVERIFY2(pane->text().endsWith("F"), qPrintable(pane->text()));
    QVERIFY2(std::abs(reading() - (celsius * 1.8 + 32)) < 0.02, qPrintable(pane->text()));
    QCOMPARE(SettingsStore(ini()).readInt("TEMP UNIT", -1), 1);
    // Stored values stay in Celsius.
    QCOMPARE(session_->document().settings().atmTemp, 20.0f);
  }

  void outputMethodChangesThePictureWhileTheDialogIsOpen() {
    startCamera();
    live_->freeze();
    QTRY_VERIFY_WITH_TIMEOUT(!live_->isLive(), kBoundMs);
    uint64_t seen = live_->pipeline().frameCount();
    live_->rerenderStill();
    waitCompose(seen);
    const std::vector<uint8_t> linear = grey();
    QVERIFY(!linear.empty());
    std::vector<uint8_t> equalised;
    whileOpen([&](CEnvironmentDlg& dialog) {
      child<QComboBox>(dialog, "OUTPUT METHOD")->setCurrentIndex(2);  // TPE
      waitCompose(seen);
      equalised = grey();
      dialog.reject();
    });
    QVERIFY(!equalised.empty());
    QVERIFY(equalised != linear);
    // Cancel puts the picture and the settings back.
    waitCompose(seen);
    QCOMPARE(session_->document().settings().outputMethod, 0);
    QVERIFY(grey() == linear);
  }

  void choicesSurviveARestart() {
    sim_ = std::make_unique<irsim::Simulator>(cameraOptions());
    std::string error;
    QVERIFY2(sim_->start(&error), error.c_str());
    startSession();
    whileOpen([](CEnvironmentDlg& dialog) {
      child<QComboBox>(dialog, "TEMP UNIT")->setCurrentIndex(1);
      child<QComboBox>(dialog, "OUTPUT METHOD")->setCurrentIndex(2);
      typeInto(dialog, "PLATEAU", "40");
      dialog.accept();
    });
    session_.reset();
    live_ = nullptr;
    startSession();
    const AnalyzerSettings& s = session_->document().settings();
    QCOMPARE(s.tempUnit, 1);
    QCOMPARE(s.outputMethod, 2);
    QCOMPARE(s.plateau, 40);
  }

  void initializeParametersReturnsThePagesToTheirDefaults() {
    sim_ = std::make_unique<irsim::Simulator>(cameraOptions());
    std::string error;
    QVERIFY2(sim_->start(&error), error.c_str());
    startSession();
    whileOpen([](CEnvironmentDlg& dialog) {
      child<QComboBox>(dialog, "OUTPUT METHOD")->setCurrentIndex(3);
      typeInto(dialog, "GAMMA", "2.0");
      dialog.accept();
    });
    QCOMPARE(session_->document().settings().outputMethod, 3);
    QCOMPARE(session_->document().settings().gamma, 2.0f);
    notifier_.answerNext(Answer::Ok);
    session_->mainFrame().command(Command::InitializeParameters)->trigger();
    whileOpen([](CEnvironmentDlg& dialog) {
      QCOMPARE(child<QComboBox>(dialog, "OUTPUT METHOD")->currentIndex(), 0);
      QCOMPARE(child<QLineEdit>(dialog, "GAMMA")->text(), QString("1.0"));
    });
  }
};

QTEST_MAIN(EnvironmentPagesTest)
#include "environment_pages_test.moc"
