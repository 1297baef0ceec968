// The main window under the offscreen platform: start-up order, title, menus, panes and
// status panes, and what the window keeps between runs.
#include "app/notifier.h"
#include "app/settings_store.h"
#include "app/ui/about_dlg.h"
#include "app/ui/camera_ip_set_dlg.h"
#include "app/ui/solvane_session.h"
#include "next_dialog.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <fstream>
#include <memory>

using namespace solvane;
using window_test::onNextDialog;

class MainFrameTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  std::vector<QUrl> opened_;

  QString path(const QString& name) const { return folder_->filePath(name); }

  void writeCompanyFile(const char* text) {
    std::ofstream(path("company.txt").toStdString()) << text;
  }

  std::unique_ptr<SolvaneSession> start(Notifier& notifier) {
    SessionOptions options;
    options.programFolder = folder_->path().toStdString();
    options.settingsFile = path("settings.ini");
    options.picturesFolder = path("Pictures").toStdString();
    options.versionText = "4.5.6";
    options.openUrl = [this](const QUrl& url) {
      opened_.push_back(url);
      return true;
    };
    return std::make_unique<SolvaneSession>(std::move(options), notifier);
  }

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    opened_.clear();
  }

  void startsWithTitleMenusPanesAndStatusPanes() {
    writeCompanyFile("0 Irdex http://localhost/");
    ScriptedNotifier notifier;
    auto session = start(notifier);
    CMainFrame& frame = session->mainFrame();
    session->showMainWindow(false);
    QVERIFY(notifier.shown().empty());
    QCOMPARE(frame.windowTitle(), QString("Solvane"));

    QStringList menus;
    for (QAction* action : frame.menuBar()->actions()) menus << action->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit", "&Camera", "&Image", "&Measure", "&Alarm",
                                 "&Play", "&View", "&Tools", "&Help"}));
    QCOMPARE(frame.command(Command::InitializeParameters)->text(), QString("Initialize paramers"));
    QVERIFY(frame.command(Command::InitializeParameters)->isEnabled());
    QCOMPARE(frame.command(Command::SetCameraIp)->text(), QString("Set worked  camera IP."));
    QCOMPARE(frame.command(Command::ResetLayout)->text(), QString("Reset window layout"));
    QCOMPARE(frame.command(paletteCommand(11))->text(), QString("Grey colormap"));
    QCOMPARE(frame.command(filterCommand(9))->text(), QString("Bi-Lateral filter"));
    // Commands whose behaviour arrives later are there, but cannot be used yet.
    QVERIFY(!frame.command(Command::Connect)->isEnabled());
    QVERIFY(!frame.command(Command::LoadIrFile)->isEnabled());
    QVERIFY(frame.findChild<QToolBar*>("MainToolBar") != nullptr);

    for (const PaneName& name : kAllPanes) {
      QDockWidget* pane = frame.pane(name);
      QVERIFY2(pane != nullptr, name.objectName);
      QCOMPARE(pane->windowTitle(), QString(name.caption));
      QVERIFY(pane->isVisible());
    }

    QCOMPARE(frame.statusPane(StatusPane::FrameRate)->text(), QString("Frame rate : 0.0 Hz"));
    QCOMPARE(frame.statusPane(StatusPane::Model)->text(), QString("RO320 ( 320 * 240 )"));
    QCOMPARE(frame.statusPane(StatusPane::MousePosition)->text(), QString("X:0, Y:0"));
    QCOMPARE(frame.statusPane(StatusPane::Intensity)->text(), QString("Intensity : 0"));
    QCOMPARE(frame.statusPane(StatusPane::Temperature)->text(),
             QString::fromUtf8("Temperature : 0.00\u00B0C"));
    // Logo flag 0: no picture in the image-control pane.
    QVERIFY(frame.findChild<QLabel*>("companyLogo") == nullptr);
  }

  void menusKeepTheirEntriesAndSeparators() {
    ScriptedNotifier notifier;
    auto session = start(notifier);
    CMainFrame& frame = session->mainFrame();
    auto entries = [&frame](const char* menuName) {
      QStringList texts;
      for (QAction* action : frame.findChild<QMenu*>(menuName)->actions())
        texts << (action->isSeparator() ? QString("-") : action->text());
      return texts;
    };
    QCOMPARE(entries("menuCamera"),
             (QStringList{"Connection", "Disconnection", "-", "Live", "Freeze", "-",
                          "Set worked  camera IP.", "Search cameras on the local network", "-",
                          "Frame rate", "Temperature range", "-", "NUC"}));
    QCOMPARE(entries("menuImage"), (QStringList{"Palette",
                                                "Invert Palette",
                                                "Mirror",
                                                "Flip",
                                                "-",
                                                "zoom 1x",
                                                "zoom 1.5x",
                                                "zoom 2x",
                                                "zoom 2.5x",
                                                "zoom 3x",
                                                "Fit the image in the window",
                                                "-",
                                                "Filter",
                                                "-",
                                                "Draw Hot/Cold Point",
                                                "Show Graphics",
                                                "-",
                                                "Emissivity etc.",
                                                "Level and Span",
                                                "Isotherm"}));
    QCOMPARE(entries("menuView"),
             (QStringList{"Toolbar", "Status Bar", "Panes", "-", "Reset window layout"}));
    QCOMPARE(entries("menuFile").count("-"), 4);
  }

  void anUnboundCommandFailsAtStartUp() {
    ScriptedNotifier notifier;
    auto session = start(notifier);
    CMainFrame& frame = session->mainFrame();
    // Nothing but the window itself: the camera commands have no handler yet.
    try {
      frame.requireAllBound();
      QFAIL("no failure for unbound commands");
    } catch (const std::logic_error& error) {
      QVERIFY2(QString(error.what()).contains("actionConnect"), error.what());
    }
    QVERIFY_THROWS_EXCEPTION(std::logic_error, frame.bind(Command::About, &frame, [](bool) {}));
  }

  void missingCompanyFileIsToldAndTheProgramGoesOn() {
    ScriptedNotifier notifier;
    auto session = start(notifier);
    QCOMPARE(notifier.shown().size(), size_t{1});
    QCOMPARE(QString::fromStdString(notifier.shown()[0].text),
             QString("Failed to load Company information!!"));
    QCOMPARE(session->app().logoFlag(), 0);
    QCOMPARE(session->app().brand(), std::string());
    QCOMPARE(session->mainFrame().windowTitle(), QString("Solvane"));
  }

  void brandWordDoublesTheDefaultZoomAndLogoOpensTheLink() {
    writeCompanyFile("1 qmr http://localhost/brand");
    QImage logo(16, 16, QImage::Format_RGB32);
    logo.fill(Qt::red);
    QVERIFY(logo.save(path("logo.png")));
    ScriptedNotifier notifier;
    auto session = start(notifier);
    QCOMPARE(session->document().settings().zoom, 2.0f);
    auto* picture = session->mainFrame().findChild<QLabel*>("companyLogo");
    QVERIFY(picture != nullptr);
    QTest::mouseClick(picture, Qt::LeftButton);
    QCOMPARE(opened_.size(), size_t{1});
    QCOMPARE(opened_[0], QUrl("http://localhost/brand"));
  }

  void aboutBoxShowsTheVersionButNotTheBrand() {
    writeCompanyFile("0 qmr http://localhost/");
    ScriptedNotifier notifier;
    auto session = start(notifier);
    auto shown = onNextDialog<CAboutDlg>([](CAboutDlg& about) {
      QCOMPARE(about.caption(), QString("Solvane, (Version : 4.5.6)"));
      about.accept();
    });
    session->mainFrame().command(Command::About)->trigger();
    QVERIFY(*shown);
    QCOMPARE(QString::fromStdString(session->app().aboutCaption()),
             QString("Solvane, (Version : 4.5.6)"));
  }

  void helpOpensTheManualBesideTheProgram() {
    writeCompanyFile("0 a b");
    ScriptedNotifier notifier;
    auto session = start(notifier);
    session->mainFrame().command(Command::Help)->trigger();
    QCOMPARE(opened_.size(), size_t{1});
    QCOMPARE(opened_[0], QUrl::fromLocalFile(path("vyncamsdk.html")));
  }

  void layoutIsResetOnceAndOnRequest() {
    writeCompanyFile("0 a b");
    ScriptedNotifier notifier(Answer::Ok);
    {
      auto first = start(notifier);
      QVERIFY(first->layoutWasReset());  // a new store asks for the reset
      first->showMainWindow(false);
      first->mainFrame().pane(kHistogramPane)->hide();
      first->mainFrame().close();
    }
    QCOMPARE(SettingsStore(path("settings.ini")).readInt("DLG_INIT", 1), 0);
    {
      auto second = start(notifier);
      QVERIFY(!second->layoutWasReset());
      second->showMainWindow(false);
      QVERIFY(second->mainFrame().pane(kHistogramPane)->isHidden());
      notifier.clear();
      second->mainFrame().command(Command::ResetLayout)->trigger();
      QCOMPARE(notifier.shown().size(), size_t{2});
      QCOMPARE(QString::fromStdString(notifier.shown()[1].title), QString("Notify Message"));
      // The layout changes only at the next start.
      QVERIFY(second->mainFrame().pane(kHistogramPane)->isHidden());
      second->mainFrame().close();
    }
    QCOMPARE(SettingsStore(path("settings.ini")).readInt("DLG_INIT", 0), 1);
    {
      auto third = start(notifier);
      QVERIFY(third->layoutWasReset());
      third->showMainWindow(false);
      QVERIFY(!third->mainFrame().pane(kHistogramPane)->isHidden());
    }
    QCOMPARE(SettingsStore(path("settings.ini")).readInt("DLG_INIT", 1), 0);
  }

  void settingsSurviveARestart() {
    writeCompanyFile("0 a b");
    ScriptedNotifier notifier;
    {
      auto first = start(notifier);
      first->document().settings().palette = 5;
      first->document().settings().atmTemp = 21.234f;
      first->mainFrame().close();
    }
    auto second = start(notifier);
    QCOMPARE(second->document().settings().palette, 5);
    QCOMPARE(second->document().settings().atmTemp, 21.234f);
    QCOMPARE(SettingsStore(path("settings.ini")).readInt("ATM TEMP", 0), 21234);
  }

  void cameraIpDialogWritesTheAddressAtOnce() {
    writeCompanyFile("0 a b");
    ScriptedNotifier notifier;
    auto session = start(notifier);
    auto shown = onNextDialog<CCameraIPSetDlg>([](CCameraIPSetDlg& dialog) {
      dialog.setAddress("192.168.0.1000");
      QVERIFY(!dialog.hasCompleteAddress());
      dialog.setAddress("127.0.0.5");
      QVERIFY(dialog.hasCompleteAddress());
      dialog.accept();
    });
    session->mainFrame().command(Command::SetCameraIp)->trigger();
    QVERIFY(*shown);
    QCOMPARE(session->mainFrame().cameraAddress()->text(), QString("127.0.0.5"));
    QCOMPARE(SettingsStore(path("settings.ini")).readString("CAM IP", ""),
             std::string("127.0.0.5"));
  }

  void initializeParametersAsksAndSaves() {
    writeCompanyFile("0 a b");
    ScriptedNotifier notifier(Answer::Ok);
    auto session = start(notifier);
    session->document().settings().palette = 3;
    QSignalSpy before(&session->mainFrame(), &CMainFrame::aboutToInitializeParameters);
    QSignalSpy after(&session->mainFrame(), &CMainFrame::parametersInitialized);
    session->mainFrame().command(Command::InitializeParameters)->trigger();
    QCOMPARE(before.count(), 1);
    QCOMPARE(after.count(), 1);
    QCOMPARE(notifier.shown().size(), size_t{1});
    QCOMPARE(QString::fromStdString(notifier.shown()[0].text),
             QString("Do you want to initialize parameters."));
    SettingsStore reread(path("settings.ini"));
    QCOMPARE(reread.readInt("PALETTE", 0), 11);
    QCOMPARE(reread.readInt("TIME_STAMP", 1), 0);
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
