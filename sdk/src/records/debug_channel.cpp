#include "records/debug_channel.h"

#include <irdex.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace irdex::debug {
namespace {

using Handler = void (*)(const char*, void*);

// The one debug handler of the process; the mutex guards it and keeps a handler from being
// replaced while a text is being delivered to it.
struct Channel {
  std::mutex lock;
  Handler handler = nullptr;
  void* user = nullptr;
};

Channel& channel() {
  static Channel instance;
  return instance;
}

}  // namespace

void output(std::string_view text) {
  Channel& ch = channel();
  const std::string copy(text);  // the handler gets a terminated string
  std::lock_guard<std::mutex> guard(ch.lock);
  if (ch.handler) {
    ch.handler(copy.c_str(), ch.user);
  } else if (std::getenv("IRDEX_DEBUG")) {
    std::fputs(copy.c_str(), stderr);
    if (copy.empty() || copy.back() != '\n') std::fputc('\n', stderr);
  }
}

void setHandler(Handler handler, void* user) {
  Channel& ch = channel();
  std::lock_guard<std::mutex> guard(ch.lock);
  ch.handler = handler;
  ch.user = handler ? user : nullptr;
}

}  // namespace irdex::debug

extern "C" IRDEX_API void SetDebugOutputHandler(void (*handler)(const char*, void*), void* user) {
  irdex::debug::setHandler(handler, user);
}
