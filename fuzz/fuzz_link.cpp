// Arbitrary bytes as a camera's stream: the first bytes choose the receiving export and the
// camera header already known (every version and model, KS calibration fields included), the
// rest arrives through a socket pair. Every export must return a status for every input,
// without a crash, a leak or a hang.
#include <irdex.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "link/keep_alive.h"
#include "link/message_log.h"
#include "temperature/ks_slots.h"

namespace {

constexpr std::size_t kChoiceBytes = 31;
// Packets read per input at most. Each rejected packet costs a NAK and three system calls;
// a few dozen reach every state of the readers, thousands only made inputs slow.
constexpr int kMaxCalls = 48;

void ignoreDebug(const char*, void*) {}

// Writes the stream and drops whatever the library sends back (NAKs, keep-alives), so neither
// side can block the other.
void runCamera(int fd, const uint8_t* data, std::size_t size) {
  std::size_t offset = 0;
  bool writing = size > 0;
  if (!writing) ::shutdown(fd, SHUT_WR);
  for (;;) {
    pollfd target{fd, static_cast<short>(POLLIN | (writing ? POLLOUT : 0)), 0};
    if (::poll(&target, 1, -1) < 0 && errno != EINTR) return;
    if (target.revents & POLLIN) {
      char sink[4096];
      if (::recv(fd, sink, sizeof sink, MSG_DONTWAIT) == 0) return;
    } else if (target.revents & (POLLHUP | POLLERR)) {
      return;
    }
    if (writing && (target.revents & POLLOUT)) {
      const ssize_t n = ::send(fd, data + offset, size - offset, MSG_DONTWAIT | MSG_NOSIGNAL);
      if (n > 0) offset += static_cast<std::size_t>(n);
      if (offset == size || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        ::shutdown(fd, SHUT_WR);
        writing = false;
      }
    }
  }
}

// Puts as much of the stream into the socket as it takes without waiting. Nearly every input
// fits whole, and then no camera thread is needed: starting one and handing every packet
// over between two threads cost far more than the parsing.
std::size_t pushWhatFits(int fd, const uint8_t* data, std::size_t size) {
  std::size_t offset = 0;
  while (offset < size) {
    const ssize_t n = ::send(fd, data + offset, size - offset, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n <= 0) break;
    offset += static_cast<std::size_t>(n);
  }
  return offset;
}

// What the library sent back (NAKs): read and dropped, so that its sends never wait.
void dropAnswers(int fd) {
  char sink[4096];
  while (::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {
  }
}

bool connectionEnded(SdkStatus status) { return status == -10 || status == -11; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static IrdexTimer* keepAlive = [] {
    irdex::link::setLogFolder("/nonexistent/irdex-fuzz");
    SetDebugOutputHandler(&ignoreDebug, nullptr);
    // A timer already stopped, as after CloseConnect: restarting it after a NAK finds no live
    // timer and returns, so no timer thread is woken for every rejected packet.
    IrdexTimer* stopped = irdex::link::createKeepAlive(-1);
    irdex::link::deleteKeepAlive(stopped);
    return stopped;
  }();
  if (size < kChoiceBytes) return 0;

  const uint8_t reader = data[0] % 5;
  static std::vector<uint16_t> pixels(640 * 481 + 8);
  std::vector<uint8_t> staging(8192);
  IRFrame frame{};
  frame.pixels = pixels.data();
  const uint32_t capacities[] = {0, 1, 76800, 110592, 110976, 307840, 640 * 481 + 8, 4097};
  frame.pixelCapacity = capacities[(data[4] >> 3) & 7];
  frame.staging = staging.data();
  frame.header.bytes[4] = data[1];
  frame.header.bytes[5] = data[2];
  frame.header.bytes[6] = data[3];
  frame.header.bytes[7] = (data[4] >> 1) & 3;
  frame.driftCorrection = data[4] & 1;
  std::memcpy(frame.header.bytes + 118, data + 5, 2);
  std::memcpy(frame.header.bytes + 339, data + 7, 24);

  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return 0;
  irdex::ks::remakeSlotForHeader(frame, ends[0]);
  const uint8_t* stream = data + kChoiceBytes;
  const std::size_t length = size - kChoiceBytes;
  const std::size_t pushed = pushWhatFits(ends[1], stream, length);
  std::thread camera;
  if (pushed == length) {
    ::shutdown(ends[1], SHUT_WR);
  } else {
    camera = std::thread(runCamera, ends[1], stream + pushed, length - pushed);
  }

  IrdexTimer* slot = keepAlive;
  for (int call = 0; call < kMaxCalls; ++call) {
    SdkStatus status = 0;
    switch (reader) {
      case 0:
      case 1: status = GetIRImages(ends[0], &slot, &frame); break;
      case 2: {
        CamSysData answer{};
        status = GetCamSysData(ends[0], &slot, &answer);
        break;
      }
      case 3: {
        CamTempTable answer{};
        status = GetCamTempTable(ends[0], &slot, &answer);
        break;
      }
      default: {
        UpdateAnswer update{};
        FpgaAnswer fpga{};
        status = (call & 1) ? GetUpdateData(ends[0], &slot, &update)
                            : GetFpgaRegData(ends[0], &slot, &fpga);
      }
    }
    if (connectionEnded(status)) break;
    if (!camera.joinable()) dropAnswers(ends[1]);
  }
  irdex::ks::releaseSlotsOfSocket(ends[0]);
  frame.header.bytes[4] = 0;
  irdex::ks::remakeSlotForHeader(frame, ends[0]);
  ::shutdown(ends[0], SHUT_RDWR);
  if (camera.joinable()) camera.join();
  ::close(ends[0]);
  ::close(ends[1]);
  return 0;
}
