// A desktop session ends programs with SIGTERM (and a terminal with SIGINT, SIGHUP); the
// analyzer treats them as a request to close its window, so the settings and the layout are
// written as at any close.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace solvane {

class TerminationSignals : public QObject {
  Q_OBJECT
 public:
  // `onSignal` runs on the thread of this object's event loop, never in the handler.
  explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~TerminationSignals() override;

 private:
  std::function<void()> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace solvane
