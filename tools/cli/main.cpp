// `irdex`: the command-line tool. Ctrl-C asks the running command to stop at the next frame
// boundary, so recordings and conversions end with whole files.
#include "core/commands.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <iostream>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
  // A second Ctrl-C falls through to the default action: the user insists.
  if (interrupted.exchange(true)) {
    signal(SIGINT, SIG_DFL);
    raise(SIGINT);
  }
}

}  // namespace

int main(int argc, char** argv) {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A reader that goes away (irdex info | head) must not kill the tool mid-write.
  signal(SIGPIPE, SIG_IGN);

  std::vector<std::string> words(argv + 1, argv + argc);
  irdexcli::Context context{std::cout, std::cerr, &interrupted, isatty(STDERR_FILENO) == 1};
  const int status = irdexcli::runCli(words, context);
  std::cout.flush();
  return status;
}
