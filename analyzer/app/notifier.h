// The analyzer's names for the shared notifier: its boxes carry "Solvane" when no title is
// given.
#pragma once

#include "desktop/notifier.h"

namespace solvane {

inline constexpr const char* kDefaultTitle = "Solvane";

using desktop::Answer;
using desktop::Buttons;
using desktop::Message;
using desktop::Notifier;
using desktop::Severity;

class ScriptedNotifier : public desktop::ScriptedNotifier {
 public:
  explicit ScriptedNotifier(Answer fallback = Answer::Ok)
      : desktop::ScriptedNotifier(kDefaultTitle, fallback) {}
};

}  // namespace solvane
