// Lets a pane redraw at most every so often however fast points arrive: points mark the pane
// dirty, and a redraw is due only when it is dirty and the interval since the last one is over.
// The clock is passed in, so the rule is tested without waiting.
#pragma once

#include <chrono>

namespace solvane::graphs {

class RedrawThrottle {
 public:
  using Clock = std::chrono::steady_clock;
  // Four redraws a second at most.
  static constexpr std::chrono::milliseconds kDefaultInterval{250};

  explicit RedrawThrottle(std::chrono::milliseconds interval = kDefaultInterval)
      : interval_(interval) {}

  void markDirty() { dirty_ = true; }
  bool dirty() const { return dirty_; }
  std::chrono::milliseconds interval() const { return interval_; }

  // True (and the pane counts as redrawn) when a redraw is due at `now`.
  bool takeDue(Clock::time_point now) {
    if (!dirty_) return false;
    if (redrawn_ && now - last_ < interval_) return false;
    dirty_ = false;
    redrawn_ = true;
    last_ = now;
    return true;
  }

 private:
  std::chrono::milliseconds interval_;
  bool dirty_ = false;
  bool redrawn_ = false;
  Clock::time_point last_{};
};

}  // namespace solvane::graphs
