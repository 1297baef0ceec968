// The progress line on a terminal: a bar with the frames done, the rate and the time left,
// redrawn in place on stderr at most a few times a second. Off when stderr is not a terminal
// or with --quiet, so scripts and logs get no control characters.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace irdexcli {

class Progress {
 public:
  using Clock = std::chrono::steady_clock;
  Progress(std::ostream& out, bool enabled, std::string label);
  ~Progress();

  // `total` 0: unknown. `secondsLeft` replaces the estimate from the rate (a timed
  // recording knows it).
  void update(int64_t done, int64_t total, std::optional<double> secondsLeft = std::nullopt);
  // Clears the line.
  void finish();

  // The text of one progress line (without the carriage return), for a width of 80.
  static std::string line(const std::string& label, int64_t done, int64_t total,
                          double framesPerSecond, std::optional<double> secondsLeft);

 private:
  std::ostream& out_;
  bool enabled_;
  std::string label_;
  Clock::time_point started_;
  Clock::time_point lastDrawn_{};
  bool drawn_ = false;
};

}  // namespace irdexcli
