// Solvane, the analyzer: live viewing, measurement, recording and playback of radiometric
// cameras.
#include "acquisition/ui/live_controller.h"
#include "app/ui/solvane_session.h"
#include "record/ui/playback_controller.h"
#include "app/ui/termination_signals.h"
#include "desktop/message_box_notifier.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QLineEdit>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(solvane::kProfileApplication);
  QApplication::setApplicationDisplayName(solvane::kWindowTitle);
  QApplication::setApplicationVersion(solvane::buildVersionText());
  QGuiApplication::setDesktopFileName(solvane::kApplicationId);

  // --connect ADDRESS: the camera to dial at start (it becomes "CAM IP").
  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption connectOption(
      "connect", "Connect to the camera at ADDRESS (dotted IPv4) at start.", "ADDRESS");
  parser.addOption(connectOption);
  parser.addPositionalArgument("file", "An IR stream file (.hxr) or a snapshot (.jpg) to open.");
  parser.process(application);

  desktop::MessageBoxNotifier notifier(solvane::kDefaultTitle);
  solvane::SessionOptions options;
  options.programFolder = QCoreApplication::applicationDirPath().toStdString();
  options.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  solvane::SolvaneSession session(std::move(options), notifier);
  notifier.setParentWindow(&session.mainFrame());
  solvane::LiveController live(session.mainFrame(), session.document(), notifier);
  // Every command has its handler by now; a forgotten one stops the program here, not later
  // as a menu entry that does nothing.
  session.mainFrame().requireAllBound();
  session.showMainWindow();
  if (parser.isSet(connectOption)) {
    session.document().settings().camIp = parser.value(connectOption).toStdString();
    session.mainFrame().cameraAddress()->setText(parser.value(connectOption));
    live.connectCamera();
  }
  if (!parser.positionalArguments().isEmpty())
    live.playback().open(parser.positionalArguments().front().toStdString());
  solvane::TerminationSignals terminationSignals([&session] { session.mainFrame().close(); });
  return application.exec();
}
