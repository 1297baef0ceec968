#include "discovery/ui/qt_socket_watcher.h"

namespace discovery {

QtSocketWatcher::QtSocketWatcher(std::function<void(int)> onReadable, QObject* parent)
    : QObject(parent), onReadable_(std::move(onReadable)) {}

QtSocketWatcher::~QtSocketWatcher() {
  for (auto& [fd, notifier] : notifiers_) notifier->setEnabled(false);
}

bool QtSocketWatcher::watch(int fd) {
  if (fd < 0) return false;
  unwatch(fd);
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  if (!notifier->isValid()) {
    delete notifier;
    return false;
  }
  connect(notifier, &QSocketNotifier::activated, this, [this, fd] { activated(fd); });
  notifiers_[fd] = notifier;
  return true;
}

void QtSocketWatcher::unwatch(int fd) {
  auto found = notifiers_.find(fd);
  if (found == notifiers_.end()) return;
  // The notifier may be the one whose signal is being handled right now.
  found->second->setEnabled(false);
  found->second->deleteLater();
  notifiers_.erase(found);
}

void QtSocketWatcher::activated(int fd) {
  if (notifiers_.count(fd) != 0 && onReadable_) onReadable_(fd);
}

}  // namespace discovery
