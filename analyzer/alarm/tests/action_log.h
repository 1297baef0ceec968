// A sink that keeps every action, for the tests to read.
#pragma once

#include "alarm/alarm_actions.h"

#include <vector>

namespace solvane::alarm::testing {

class ActionLog final : public AlarmActionSink {
 public:
  void handle(const AlarmAction& action) override { actions.push_back(action); }

  template <class T>
  std::vector<T> all() const {
    std::vector<T> found;
    for (const AlarmAction& action : actions) {
      if (const T* typed = std::get_if<T>(&action)) found.push_back(*typed);
    }
    return found;
  }

  template <class T>
  size_t count() const {
    return all<T>().size();
  }

  void clear() { actions.clear(); }

  std::vector<AlarmAction> actions;
};

}  // namespace solvane::alarm::testing
