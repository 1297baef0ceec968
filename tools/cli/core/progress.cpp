#include "progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace irdexcli {
namespace {

constexpr int kBarWidth = 24;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string clock(double seconds) {
  const long whole = std::lround(std::max(seconds, 0.0));
  char text[32];
  if (whole >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

}  // namespace

Progress::Progress(std::ostream& out, bool enabled, std::string label)
    : out_(out), enabled_(enabled), label_(std::move(label)), started_(Clock::now()) {}

Progress::~Progress() { finish(); }

std::string Progress::line(const std::string& label, int64_t done, int64_t total,
                           double framesPerSecond, std::optional<double> secondsLeft) {
  std::string text = label + " ";
  if (total > 0) {
    const double fraction = std::clamp(static_cast<double>(done) / total, 0.0, 1.0);
    const int filled = static_cast<int>(fraction * kBarWidth);
    text += "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "] ";
    text += std::to_string(done) + "/" + std::to_string(total) + " frames";
  } else {
    text += std::to_string(done) + " frames";
  }
  char rate[32];
  std::snprintf(rate, sizeof rate, "  %.1f fps", framesPerSecond);
  text += rate;
  if (!secondsLeft && total > 0 && framesPerSecond > 0)
    secondsLeft = (total - done) / framesPerSecond;
  if (secondsLeft) text += "  " + clock(*secondsLeft) + " left";
  return text;
}

void Progress::update(int64_t done, int64_t total, std::optional<double> secondsLeft) {
  if (!enabled_) return;
  const auto now = Clock::now();
  if (drawn_ && now - lastDrawn_ < kRedrawInterval && done != total) return;
  lastDrawn_ = now;
  drawn_ = true;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  const double rate = seconds > 0 ? done / seconds : 0.0;
  // "\x1b[K" clears what a longer previous line left behind.
  out_ << '\r' << line(label_, done, total, rate, secondsLeft) << "\x1b[K" << std::flush;
}

void Progress::finish() {
  if (!enabled_ || !drawn_) return;
  out_ << "\r\x1b[K" << std::flush;
  drawn_ = false;
}

}  // namespace irdexcli
