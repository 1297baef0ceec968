#include "batch_report.h"

#include "checklist.h"
#include "report_printer.h"
#include "session_store.h"

#include <ostream>

namespace pagana {

desktop::Answer StreamNotifier::present(const desktop::Message& message) {
  out_ << message.title << ": " << message.text << std::endl;
  return desktop::Answer::Ok;
}

CommandLine parseCommandLine(const QStringList& arguments) {
  CommandLine command;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      command.help = true;
    } else if (argument == "--pdf" || argument == "--texts") {
      if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
        command.error = argument.toStdString() + " needs a file name";
        return command;
      }
      (argument == "--pdf" ? command.pdfFile : command.sessionFile) = arguments[++i];
    } else if (argument.startsWith("--")) {
      command.error = "unknown option " + argument.toStdString();
      return command;
    } else {
      command.snapshots.push_back(argument);
    }
  }
  if (command.pdfFile && command.snapshots.isEmpty()) {
    command.error = "--pdf needs at least one snapshot";
  }
  return command;
}

std::string usageText() {
  return "usage: pagana [--texts FILE] [FILE.jpg...]\n"
         "       pagana [--texts FILE] --pdf OUT.pdf FILE.jpg...\n"
         "Without --pdf the program opens with the snapshots loaded; with it, the report of\n"
         "the snapshots (one page each, with the texts typed for them) is written to OUT.pdf.\n"
         "--texts names the file that keeps the list and the typed texts between runs\n"
         "(default: the session file in the user's data folder).\n";
}

int runBatchReport(const CommandLine& command, const std::filesystem::path& sessionFile,
                   desktop::Notifier& notifier) {
  Checklist checklist(notifier);
  const SessionRead read = readSession(sessionFile);
  if (read.error == SessionReadError::Unreadable) {
    notifier.tell(kSessionUnreadable, kErrorTitle, desktop::Severity::Error);
    return 1;
  }
  checklist.restoreInfos(read.session.infos);

  bool allLoaded = true;
  for (const QString& path : command.snapshots) {
    const LoadOutcome outcome = checklist.load(path.toStdString());
    if (outcome == LoadOutcome::Refused) {
      allLoaded = false;
      notifier.tell("Not reported: " + path.toStdString(), kErrorTitle, desktop::Severity::Error);
    }
  }
  if (!allLoaded) return 1;
  for (std::size_t row = 0; row < checklist.rows().size(); ++row) checklist.setChecked(row, true);

  if (!writeReportPdf(*command.pdfFile, checklist.pages(), QImage(), today())) {
    notifier.tell(kPdfUnwritable, kErrorTitle, desktop::Severity::Error);
    return 1;
  }
  return 0;
}

}  // namespace pagana
