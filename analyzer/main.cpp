// Solvane, the analyzer: live viewing, measurement, recording and playback of radiometric
// cameras.
#include "acquisition/ui/live_controller.h"
#include "app/ui/solvane_session.h"
#include "app/ui/termination_signals.h"
#include "desktop/message_box_notifier.h"
#include "record/ui/playback_controller.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QLineEdit>

#include <cstdio>
#include <memory>
#include <utility>

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
  // Unattended set-ups (a fixed camera watched day and night, scripted measurements) start
  // without anybody at the window: the objects to measure and the commands to give come
  // with the command line and take effect once the first picture is shown.
  const QCommandLineOption objectsOption(
      "objects", "Load the measurement objects of FILE once the first picture is shown.", "FILE");
  parser.addOption(objectsOption);
  const QCommandLineOption commandOption(
      "command",
      "Give the window command ACTION (its action name, e.g. actionHotCold, actionFilter1, "
      "actionRecordIrStream) once the first picture is shown; may be repeated.",
      "ACTION");
  parser.addOption(commandOption);
  const QCommandLineOption playOption("play", "Start playing the IR stream file at once.");
  parser.addOption(playOption);
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
  const QString objectsFile = parser.value(objectsOption);
  const QStringList commands = parser.values(commandOption);
  for (const QString& name : commands) {
    if (!session.mainFrame().findChild<QAction*>(name)) {
      std::fprintf(stderr, "solvane: no window command is called %s\n", qPrintable(name));
      return 2;
    }
  }
  if (!objectsFile.isEmpty() || !commands.isEmpty()) {
    // A command may still be disabled when the first picture shows (the window hears of
    // the stream a moment later): each is given at the first picture it is enabled for.
    auto pending = std::make_shared<QStringList>(commands);
    auto objectsPending = std::make_shared<bool>(!objectsFile.isEmpty());
    auto connection = std::make_shared<QMetaObject::Connection>();
    const auto startUp = [&live, &session, objectsFile, pending, objectsPending, connection] {
      // Everything due is taken off the lists before it runs: a command may open a dialog
      // whose event loop shows further pictures, which must not give it again.
      QList<QAction*> due;
      for (auto name = pending->begin(); name != pending->end();) {
        QAction* action = session.mainFrame().findChild<QAction*>(*name);
        if (!action->isEnabled()) {
          ++name;
          continue;
        }
        due << action;
        name = pending->erase(name);
      }
      const bool loadObjects = std::exchange(*objectsPending, false);
      if (pending->isEmpty()) QObject::disconnect(*connection);
      if (loadObjects) live.objects().loadFrom(objectsFile.toStdString());
      for (QAction* action : due) action->trigger();
    };
    *connection = QObject::connect(&live, &solvane::LiveController::frameComposed, &live, startUp);
  }
  session.showMainWindow();
  if (parser.isSet(connectOption)) {
    session.document().settings().camIp = parser.value(connectOption).toStdString();
    session.mainFrame().cameraAddress()->setText(parser.value(connectOption));
    live.connectCamera();
  }
  if (!parser.positionalArguments().isEmpty() &&
      live.playback().open(parser.positionalArguments().front().toStdString()) &&
      parser.isSet(playOption))
    live.playback().session().play();
  solvane::TerminationSignals terminationSignals([&session] { session.mainFrame().close(); });
  return application.exec();
}
