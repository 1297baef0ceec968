// Solvane, the analyzer: live viewing, measurement, recording and playback of radiometric
// cameras.
#include "app/ui/message_box_notifier.h"
#include "app/ui/solvane_session.h"
#include "app/ui/termination_signals.h"

#include <QApplication>
#include <QDesktopServices>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(solvane::kProfileApplication);
  QApplication::setApplicationDisplayName(solvane::kWindowTitle);
  QApplication::setApplicationVersion(solvane::buildVersionText());
  QGuiApplication::setDesktopFileName(solvane::kApplicationId);

  solvane::MessageBoxNotifier notifier;
  solvane::SessionOptions options;
  options.programFolder = QCoreApplication::applicationDirPath().toStdString();
  options.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  solvane::SolvaneSession session(std::move(options), notifier);
  notifier.setParentWindow(&session.mainFrame());
  session.showMainWindow();
  solvane::TerminationSignals terminationSignals([&session] { session.mainFrame().close(); });
  return application.exec();
}
