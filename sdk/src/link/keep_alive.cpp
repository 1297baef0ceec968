#include "link/keep_alive.h"

#include "link/packet.h"
#include "link/socket_io.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

using Clock = std::chrono::steady_clock;

// The state one keep-alive thread and the exports share. The thread holds a shared pointer
// to it, so deleting the handle while a keep-alive is on its way frees nothing that send
// still uses.
struct IrdexTimer {
  explicit IrdexTimer(int s)
      : socket(s), connection(s >= 0 ? irdex::link::socketState(s) : nullptr) {}

  const int socket;
  // Taken once: a keep-alive never reaches a socket that was closed after its timer was made.
  const std::shared_ptr<irdex::link::SocketState> connection;
  std::mutex lock;  // guards `due` and `stopped`
  std::condition_variable wake;
  Clock::time_point due = Clock::now();
  bool stopped = false;
};

namespace irdex::link {
namespace {

// Every live handle, owning its state. Restarting or deleting looks the handle up here first,
// so a handle deleted by another thread is never dereferenced. Never destroyed (timer
// threads may outlive static destruction).
struct TimerRegistry {
  std::mutex lock;  // guards `live`
  std::map<IrdexTimer*, std::shared_ptr<IrdexTimer>> live;
};

TimerRegistry& registry() {
  static auto* instance = new TimerRegistry;
  return *instance;
}

void runKeepAlive(std::shared_ptr<IrdexTimer> timer) {
  const std::vector<uint8_t> packet = buildPacket(kTypeKeepAlive, 0);
  std::unique_lock<std::mutex> guard(timer->lock);
  while (!timer->stopped) {
    if (Clock::now() < timer->due) {
      timer->wake.wait_until(guard, timer->due);
      continue;
    }
    timer->due = Clock::now() + kKeepAlivePeriod;
    guard.unlock();
    sendWhole(timer->connection, timer->socket, packet);
    guard.lock();
  }
}

}  // namespace

void printTimerError(int error) {
  std::printf("CreateTimerQueueTimer Error : %lu", static_cast<unsigned long>(error));
  std::fflush(stdout);
}

IrdexTimer* createKeepAlive(int socket) {
  auto timer = std::make_shared<IrdexTimer>(socket);
  try {
    std::thread(runKeepAlive, timer).detach();
  } catch (const std::system_error& error) {
    errno = error.code().value();
    return nullptr;
  }
  TimerRegistry& timers = registry();
  std::lock_guard<std::mutex> guard(timers.lock);
  timers.live.emplace(timer.get(), timer);
  return timer.get();
}

void deleteKeepAlive(IrdexTimer* handle) {
  if (handle == nullptr) return;
  std::shared_ptr<IrdexTimer> timer;
  {
    TimerRegistry& timers = registry();
    std::lock_guard<std::mutex> guard(timers.lock);
    const auto found = timers.live.find(handle);
    if (found == timers.live.end()) return;
    timer = std::move(found->second);
    timers.live.erase(found);
  }
  std::lock_guard<std::mutex> guard(timer->lock);
  timer->stopped = true;
  timer->wake.notify_all();
}

void restartKeepAlive(int socket, IrdexTimer** slot) {
  if (slot == nullptr) return;
  if (*slot != nullptr) {
    TimerRegistry& timers = registry();
    std::lock_guard<std::mutex> guard(timers.lock);
    const auto found = timers.live.find(*slot);
    if (found == timers.live.end()) return;
    IrdexTimer& timer = *found->second;
    std::lock_guard<std::mutex> timerGuard(timer.lock);
    timer.due = Clock::now();
    timer.wake.notify_all();
    return;
  }
  // A timer on no connection would have nothing to send.
  if (socket < 0) return;
  IrdexTimer* made = createKeepAlive(socket);
  if (made == nullptr) printTimerError(errno);
  *slot = made;
}

}  // namespace irdex::link
