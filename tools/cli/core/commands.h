// The subcommands of `irdex`, each a function over its arguments and the program's
// surroundings, so tests run them in-process and read what they print.
#pragma once

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace irdexcli {

struct Context {
  std::ostream& out;
  std::ostream& err;
  // Set by SIGINT: long work ends at the next frame boundary.
  const std::atomic<bool>* interrupted = nullptr;
  // Whether stderr is a terminal (the progress bar is drawn only there).
  bool errIsTerminal = false;
  bool stopRequested() const { return interrupted && interrupted->load(); }
};

using Words = std::vector<std::string>;

// Each returns the exit status; failures are thrown as CliError and turned into one line
// on stderr by runCli.
int runInfo(const Words& args, Context& context);
int runConvert(const Words& args, Context& context);
int runRecord(const Words& args, Context& context);
int runSnapshot(const Words& args, Context& context);
int runGrab(const Words& args, Context& context);
int runDiscover(const Words& args, Context& context);

// The whole program: `words` without the program name. Prints "irdex: <problem>" on failure.
int runCli(const Words& words, Context& context);

// Help texts, shared with the manual page.
std::string mainHelp();
std::string commandHelp(const std::string& command);

}  // namespace irdexcli
