// The command-line form: the report of the given snapshots straight to a PDF file, with no
// window, so reports can be made on a machine without a display.
#pragma once

#include "desktop/notifier.h"

#include <QStringList>

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace pagana {

// Messages of a run without a user go to a stream, one line each: "Title: text".
class StreamNotifier : public desktop::Notifier {
 public:
  StreamNotifier(std::string programTitle, std::ostream& out)
      : Notifier(std::move(programTitle)), out_(out) {}

 protected:
  desktop::Answer present(const desktop::Message& message) override;

 private:
  std::ostream& out_;
};

struct CommandLine {
  std::optional<QString> pdfFile;  // --pdf OUT.pdf
  // --texts FILE (else the user's own). Not "--session": the toolkit takes that one for the
  // desktop's session manager before the program sees it.
  std::optional<QString> sessionFile;
  QStringList snapshots;
  bool help = false;
  std::string error;  // what was wrong with the arguments
};

// The program name first, as in argv.
CommandLine parseCommandLine(const QStringList& arguments);
std::string usageText();

// Loads every snapshot (all ticked, texts from the session) and writes the PDF. Any snapshot
// that does not load stops the run before the file is written: a report silently missing a
// page would pass for a complete one. Returns the program's exit status.
int runBatchReport(const CommandLine& command, const std::filesystem::path& sessionFile,
                   desktop::Notifier& notifier);

}  // namespace pagana
