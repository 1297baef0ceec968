#include "link/socket_io.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "link/message_log.h"
#include "link/packet.h"
#include "records/debug_channel.h"

namespace irdex::link {
namespace {

constexpr auto kCloseWait = std::chrono::seconds(5);

}  // namespace

struct SocketState {
  std::mutex sendLock;  // held for the whole of one packet
  std::mutex lock;      // guards `users` and `closed`
  std::condition_variable idle;
  int users = 0;
  bool closed = false;
};

namespace {

// Sockets by descriptor. A user keeps its state alive by the shared pointer, so closing never
// frees what a reader or sender still holds. Never destroyed: a keep-alive thread may still
// send while the process exits.
struct SocketTable {
  std::mutex lock;  // guards `bySocket`
  std::map<int, std::shared_ptr<SocketState>> bySocket;
};

SocketTable& sockets() {
  static auto* instance = new SocketTable;
  return *instance;
}

// One reader or sender inside a socket; refused once the socket is being closed.
class SocketUse {
 public:
  explicit SocketUse(std::shared_ptr<SocketState> state) : state_(std::move(state)) {
    std::lock_guard<std::mutex> guard(state_->lock);
    entered_ = !state_->closed;
    if (entered_) ++state_->users;
  }
  ~SocketUse() {
    if (!entered_) return;
    std::lock_guard<std::mutex> guard(state_->lock);
    if (--state_->users == 0) state_->idle.notify_all();
  }
  SocketUse(const SocketUse&) = delete;
  SocketUse& operator=(const SocketUse&) = delete;
  bool entered() const { return entered_; }

 private:
  std::shared_ptr<SocketState> state_;
  bool entered_ = false;
};

// Waits without time limit for `events` on the socket; false (errno set) when the wait fails.
bool waitFor(int socket, short events) {
  pollfd target{socket, events, 0};
  for (;;) {
    const int ready = ::poll(&target, 1, -1);
    if (ready > 0) {
      // An invalid descriptor is the one readiness that is a failure of the wait itself.
      if (target.revents & POLLNVAL) {
        errno = EBADF;
        return false;
      }
      return true;
    }
    if (ready < 0 && errno != EINTR) return false;
  }
}

}  // namespace

std::shared_ptr<SocketState> socketState(int socket) {
  SocketTable& table = sockets();
  std::lock_guard<std::mutex> guard(table.lock);
  auto& entry = table.bySocket[socket];
  if (!entry) entry = std::make_shared<SocketState>();
  return entry;
}

void closeSocket(int socket) {
  if (socket < 0) return;
  const std::shared_ptr<SocketState> state = socketState(socket);
  {
    std::unique_lock<std::mutex> guard(state->lock);
    state->closed = true;
    // Shutting down wakes a reader or sender of another thread that waits on the socket.
    ::shutdown(socket, SHUT_RDWR);
    state->idle.wait_for(guard, kCloseWait, [&] { return state->users == 0; });
  }
  {
    SocketTable& table = sockets();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.bySocket.find(socket);
    if (found != table.bySocket.end() && found->second == state) table.bySocket.erase(found);
  }
  ::close(socket);
}

void sendWhole(int socket, std::span<const uint8_t> packet) {
  if (socket < 0) return;
  sendWhole(socketState(socket), socket, packet);
}

void sendWhole(const std::shared_ptr<SocketState>& state, int socket,
               std::span<const uint8_t> packet) {
  if (socket < 0 || !state || packet.empty() || packet.data() == nullptr) return;
  const SocketUse use(state);
  if (!use.entered()) return;
  std::lock_guard<std::mutex> guard(state->sendLock);
  std::size_t sent = 0;
  while (sent < packet.size()) {
    if (!waitFor(socket, POLLOUT)) {
      logEntry("select:w", systemErrorText(errno));
      return;
    }
    // MSG_NOSIGNAL: a camera that closed its end must not kill the calling process.
    const ssize_t n = ::send(socket, packet.data() + sent, packet.size() - sent, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      logEntry("send", systemErrorText(errno));
      return;
    }
    sent += static_cast<std::size_t>(n);
  }
}

ExactReader::ExactReader(int socket, uint8_t* staging, uint32_t& pendingBytes, int32_t& readOffset)
    : socket_(socket), staging_(staging), pending_(pendingBytes), offset_(readOffset) {
  // Counters a caller left in a state that does not fit the buffer are dropped rather than
  // trusted.
  if (offset_ < 0 || pending_ > kStagingSize ||
      static_cast<std::size_t>(offset_) + pending_ > kStagingSize) {
    pending_ = 0;
    offset_ = 0;
  }
}

SdkStatus ExactReader::read(std::span<uint8_t> destination) {
  if (staging_ == nullptr || (destination.data() == nullptr && !destination.empty())) {
    return SDK_ERR_BUFFER;
  }
  std::size_t filled = 0;
  const std::size_t wanted = destination.size();
  if (pending_ > 0) {
    if (wanted < pending_) {
      std::memcpy(destination.data(), staging_ + offset_, wanted);
      offset_ += static_cast<int32_t>(wanted);
      pending_ -= static_cast<uint32_t>(wanted);
      return SDK_SUCCESS;
    }
    std::memcpy(destination.data(), staging_ + offset_, pending_);
    filled = pending_;
    pending_ = 0;
    offset_ = 0;
  }
  if (filled == wanted) return SDK_SUCCESS;
  // Without a socket (or on one being closed) the missing bytes can never come.
  if (socket_ < 0) return SDK_ERR_RECEIVE;
  const SocketUse use(socketState(socket_));
  if (!use.entered()) return SDK_ERR_RECEIVE;
  while (filled < wanted) {
    if (!waitFor(socket_, POLLIN)) {
      const int error = errno;
      debug::output("SELECT EVENT else\r\n");
      logEntry("select:r", systemErrorText(error));
      return SDK_ERR_RECEIVE;
    }
    const std::size_t missing = wanted - filled;
    // Large remainders go straight to the destination; only the tail of a packet passes the
    // staging buffer, where bytes of the next packet may wait.
    const bool direct = missing >= kStagingSize;
    uint8_t* target = direct ? destination.data() + filled : staging_;
    const std::size_t room = direct ? missing : kStagingSize;
    const ssize_t n = ::recv(socket_, target, room, 0);
    if (n == 0) {
      logEntry("recv", "Connection closed by the camera.");
      return SDK_ERR_CONNECTION_CLOSED;
    }
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      logEntry("recv", systemErrorText(errno));
      return SDK_ERR_RECEIVE;
    }
    const std::size_t got = static_cast<std::size_t>(n);
    if (direct) {
      filled += got;
      continue;
    }
    const std::size_t used = std::min(got, missing);
    std::memcpy(destination.data() + filled, staging_, used);
    filled += used;
    if (got > used) {
      offset_ = static_cast<int32_t>(used);
      pending_ = static_cast<uint32_t>(got - used);
    }
  }
  return SDK_SUCCESS;
}

SdkStatus ExactReader::skip(std::size_t count) {
  uint8_t scratch[kStagingSize];
  while (count > 0) {
    const std::size_t part = std::min(count, sizeof scratch);
    const SdkStatus status = read(scratch, part);
    if (status != SDK_SUCCESS) return status;
    count -= part;
  }
  return SDK_SUCCESS;
}

}  // namespace irdex::link
