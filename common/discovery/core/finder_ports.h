// What the camera finder needs from its surroundings, so the same core runs under the Qt
// dialog and under tests: a readiness watch on DNS-SD sockets and a way to show messages.
#pragma once

#include <string>

namespace discovery {

// Reports a socket's readiness back through CameraFinder::socketReadable, on the finder's
// own thread, for as long as it is watched.
class SocketWatcher {
 public:
  virtual ~SocketWatcher() = default;
  // False when the socket cannot be watched.
  virtual bool watch(int fd) = 0;
  virtual void unwatch(int fd) = 0;
};

// A modal message with an OK button. An empty title stands for the program's own name.
class MessageNotifier {
 public:
  virtual ~MessageNotifier() = default;
  virtual void message(const std::string& text, const std::string& title) = 0;
};

}  // namespace discovery
