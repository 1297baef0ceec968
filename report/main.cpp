// pagana: inspection reports from radiometric snapshots, one page per image.
#include "batch_report.h"
#include "desktop/message_box_notifier.h"
#include "desktop/settings_store.h"
#include "pagana_dlg.h"
#include "session_store.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv) {
  // Read before the toolkit starts, so help and argument errors need no display.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const pagana::CommandLine command = pagana::parseCommandLine(arguments);
  if (command.help) {
    std::cout << pagana::usageText();
    return 0;
  }
  if (!command.error.empty()) {
    std::cerr << "pagana: " << command.error << "\n" << pagana::usageText();
    return 2;
  }
  // The batch form needs no display: it draws through Qt's offscreen platform unless the
  // caller chose another.
  if (command.pdfFile && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  QApplication::setOrganizationName(desktop::kProfileOrganisation);
  QApplication::setApplicationName("pagana");
  QApplication::setApplicationVersion("1.0");
  const std::filesystem::path sessionFile =
      command.sessionFile ? std::filesystem::path(command.sessionFile->toStdString())
                          : pagana::defaultSessionFile();
  if (command.pdfFile) {
    pagana::StreamNotifier notifier(pagana::kDialogTitle, std::cerr);
    return pagana::runBatchReport(command, sessionFile, notifier);
  }

  desktop::MessageBoxNotifier notifier(pagana::kDialogTitle);
  pagana::CPaganaDlg dialog(notifier, sessionFile);
  notifier.setParentWindow(&dialog);
  dialog.show();
  dialog.loadImages(command.snapshots);
  return app.exec();
}
