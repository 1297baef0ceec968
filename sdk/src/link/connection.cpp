// Making and closing the connection to a camera.
#include <arpa/inet.h>
#include <fcntl.h>
#include <irdex.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "link/keep_alive.h"
#include "link/message_log.h"
#include "link/socket_io.h"
#include "records/boundary.h"
#include "temperature/ks_slots.h"

namespace irdex::link {
namespace {

constexpr int kStreamType = 1;  // the callers' socket type values: 1 stream, 2 datagram
constexpr int kDatagramType = 2;
constexpr int kFamilyIpv4 = 2;
constexpr int kSocketBufferBytes = 0x20000;
constexpr int kConnectWaitMs = 2000;

// Closes the descriptor unless released: every failure path of OpenConnect closes its socket.
class SocketGuard {
 public:
  explicit SocketGuard(int fd) : fd_(fd) {}
  ~SocketGuard() {
    if (fd_ >= 0) ::close(fd_);
  }
  SocketGuard(const SocketGuard&) = delete;
  SocketGuard& operator=(const SocketGuard&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The decimal value when the text starts with a digit, else the named service's port, else 0.
uint16_t portFromText(const char* text) {
  if (std::isdigit(static_cast<unsigned char>(text[0]))) {
    return static_cast<uint16_t>(std::strtoul(text, nullptr, 10));
  }
  servent entry{};
  servent* found = nullptr;
  char buffer[1024];
  if (::getservbyname_r(text, "tcp", &entry, buffer, sizeof buffer, &found) == 0 && found) {
    return ntohs(static_cast<uint16_t>(found->s_port));
  }
  return 0;
}

// A dotted address is used as it stands; any other text is looked up as a host name and its
// first IPv4 address taken.
bool addressFromText(const char* text, in_addr& out) {
  if (::inet_pton(AF_INET, text, &out) == 1) return true;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  if (::getaddrinfo(text, nullptr, &hints, &result) != 0 || result == nullptr) return false;
  out = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr;
  ::freeaddrinfo(result);
  return true;
}

bool setBlocking(int fd, bool blocking) {
  const int flags = ::fcntl(fd, F_GETFL, 0);
  if (flags < 0) return false;
  const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return ::fcntl(fd, F_SETFL, wanted) == 0;
}

bool bindAny(int fd, uint16_t port) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(port);
  return ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

void logFailure(const char* step) { logEntry(step, systemErrorText(errno)); }

// Connects without blocking and waits up to two seconds for the socket to become writable.
// A camera that refuses or does not answer in time leaves a "connect" entry.
bool connectWithin(int fd, const sockaddr_in& camera) {
  if (!setBlocking(fd, false)) return false;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&camera), sizeof camera) != 0) {
    if (errno == ECONNREFUSED || errno == ETIMEDOUT) {
      logFailure("connect");
      return false;
    }
    if (errno != EINPROGRESS) return false;
    pollfd target{fd, POLLOUT, 0};
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectWaitMs);
    int ready = 0;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      ready = ::poll(&target, 1, static_cast<int>(std::max<long long>(0, left.count())));
      if (ready >= 0 || errno != EINTR) break;
    }
    if (ready < 0) return false;
    if (ready == 0) {
      errno = ETIMEDOUT;
      logFailure("connect");
      return false;
    }
    // Writable also means a failed attempt here; the socket's own error tells them apart.
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return false;
    if (error != 0) {
      errno = error;
      logFailure("connect");
      return false;
    }
  }
  return setBlocking(fd, true);
}

SdkStatus openStream(int32_t& socketOut, IrdexTimer** keepAlive, const char* address,
                     const char* port, int32_t family) {
  if (family != kFamilyIpv4) {
    errno = EAFNOSUPPORT;
    logFailure("socket");
    return SDK_ERR_INVALID_HANDLE;
  }
  SocketGuard fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) {
    logFailure("socket");
    return SDK_ERR_INVALID_HANDLE;
  }
  if (!bindAny(fd.get(), 0)) {
    logFailure("bind");
    return SDK_ERR_INVALID_HANDLE;
  }
  sockaddr_in camera{};
  camera.sin_family = AF_INET;
  camera.sin_port = htons(portFromText(port));
  if (!addressFromText(address, camera.sin_addr)) return SDK_ERR_INVALID_HANDLE;

  const int on = 1;
  if (::setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0) {
    logFailure("TCP_NODELAY");
    return SDK_ERR_INVALID_HANDLE;
  }
  const int bufferBytes = kSocketBufferBytes;
  if (::setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes) != 0 ||
      ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDBUF, &bufferBytes, sizeof bufferBytes) != 0) {
    logFailure("SO_RCVBUF");
    return SDK_ERR_INVALID_HANDLE;
  }
  if (!connectWithin(fd.get(), camera)) return SDK_ERR_INVALID_HANDLE;

  socketOut = fd.release();
  IrdexTimer* timer = createKeepAlive(socketOut);
  if (timer == nullptr) {
    printTimerError(errno);
  }
  *keepAlive = timer;
  return SDK_SUCCESS;
}

// A local endpoint (datagram and the like): bound to the port, no keep-alive.
SdkStatus openLocal(int32_t& socketOut, const char* port, int32_t type) {
  SocketGuard fd(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) {
    logFailure("socket");
    return SDK_ERR_INVALID_HANDLE;
  }
  if (type == kDatagramType) {
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  }
  if (!bindAny(fd.get(), portFromText(port))) {
    logFailure("bind");
    return SDK_ERR_INVALID_HANDLE;
  }
  socketOut = fd.release();
  return SDK_SUCCESS;
}

}  // namespace

SdkStatus openConnect(int32_t* socketOut, IrdexTimer** keepAlive, const char* address,
                      const char* port, int32_t family, int32_t type) {
  if (socketOut == nullptr) return SDK_ERR_INVALID_HANDLE;
  *socketOut = -1;
  if (port == nullptr) return SDK_ERR_INVALID_HANDLE;
  if (type != kStreamType) return openLocal(*socketOut, port, type);
  if (keepAlive == nullptr || address == nullptr) return SDK_ERR_INVALID_HANDLE;
  return openStream(*socketOut, keepAlive, address, port, family);
}

SdkStatus closeConnect(int32_t* socket, IrdexTimer* keepAlive) {
  deleteKeepAlive(keepAlive);
  if (socket == nullptr) return SDK_SUCCESS;
  if (*socket != -1) ks::releaseSlotsOfSocket(*socket);
  closeSocket(*socket);
  *socket = -1;
  return SDK_SUCCESS;
}

}  // namespace irdex::link

extern "C" IRDEX_API SdkStatus OpenConnect(int32_t* socket, IrdexTimer** keepAlive,
                                           const char* address, const char* port, int32_t family,
                                           int32_t type) {
  return irdex::guarded(
      [&] { return irdex::link::openConnect(socket, keepAlive, address, port, family, type); },
      SDK_ERR_INVALID_HANDLE);
}

extern "C" IRDEX_API SdkStatus CloseConnect(int32_t* socket, IrdexTimer* keepAlive) {
  return irdex::guarded([&] { return irdex::link::closeConnect(socket, keepAlive); }, SDK_SUCCESS);
}
