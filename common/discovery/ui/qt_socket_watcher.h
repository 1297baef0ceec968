// DNS-SD sockets serviced from the Qt event loop, on the thread that owns the finder.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <map>

#include "discovery/core/finder_ports.h"

namespace discovery {

class QtSocketWatcher final : public QObject, public SocketWatcher {
  Q_OBJECT

 public:
  explicit QtSocketWatcher(std::function<void(int)> onReadable, QObject* parent = nullptr);
  ~QtSocketWatcher() override;

  bool watch(int fd) override;
  void unwatch(int fd) override;

 private:
  void activated(int fd);

  std::function<void(int)> onReadable_;
  std::map<int, QSocketNotifier*> notifiers_;
};

}  // namespace discovery
