// One failure of a subcommand: the program prints its one line on stderr and exits with its
// status. Usage faults (a bad option, a missing argument) and run faults (a file that cannot
// be read, a camera that does not answer) get different statuses so scripts can tell them
// apart.
#pragma once

#include <stdexcept>
#include <string>

namespace irdexcli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// What shells report for a program ended by SIGINT.
inline constexpr int kExitInterrupted = 130;

class CliError : public std::runtime_error {
 public:
  explicit CliError(const std::string& message, int status = kExitFailure)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

inline CliError usageError(const std::string& message) { return CliError(message, kExitUsage); }

}  // namespace irdexcli
