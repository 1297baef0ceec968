#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <irdex.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "link/keep_alive.h"
#include "link_peer.h"
#include "records/byte_order.h"

namespace irdex::link::testing {
namespace {

using Clock = std::chrono::steady_clock;

int countEntries(const LogCapture& log, const std::string& step) {
  int count = 0;
  for (const auto& entry : log.entries())
    count += entry.find("\t" + step + "\t") != std::string::npos;
  return count;
}

TEST(OpenConnect, ConnectsAndSendsAKeepAliveAtOnce) {
  Listener listener;
  int32_t socket = -1;
  IrdexTimer* keepAlive = nullptr;
  ASSERT_EQ(OpenConnect(&socket, &keepAlive, "127.0.0.1", listener.portText().c_str(), 2, 1), 1);
  EXPECT_GE(socket, 0);
  EXPECT_NE(keepAlive, nullptr);
  const int camera = listener.accept();
  ASSERT_GE(camera, 0);
  EXPECT_EQ(receivePacket(camera), keepAlivePacket());

  EXPECT_EQ(CloseConnect(&socket, keepAlive), 1);
  EXPECT_EQ(socket, -1);
  char byte;
  EXPECT_EQ(::recv(camera, &byte, 1, 0), 0);  // the camera sees the connection end
  ::close(camera);
}

TEST(OpenConnect, ResolvesHostNames) {
  Listener listener;
  int32_t socket = -1;
  IrdexTimer* keepAlive = nullptr;
  ASSERT_EQ(OpenConnect(&socket, &keepAlive, "localhost", listener.portText().c_str(), 2, 1), 1);
  const int camera = listener.accept();
  EXPECT_GE(camera, 0);
  CloseConnect(&socket, keepAlive);
  ::close(camera);
}

TEST(KeepAlive, RepeatsEverySevenSecondsAndRestartsWithEveryCommand) {
  Listener listener;
  int32_t socket = -1;
  IrdexTimer* keepAlive = nullptr;
  ASSERT_EQ(OpenConnect(&socket, &keepAlive, "127.0.0.1", listener.portText().c_str(), 2, 1), 1);
  const int camera = listener.accept();
  ASSERT_EQ(receivePacket(camera), keepAlivePacket());
  const auto first = Clock::now();
  ASSERT_EQ(receivePacket(camera, std::chrono::seconds(15)), keepAlivePacket());
  const double period = std::chrono::duration<double>(Clock::now() - first).count();
  EXPECT_GT(period, 6.5);
  EXPECT_LT(period, 10.0);

  // A command brings the next keep-alive forward to at once.
  const IrdexTimer* before = keepAlive;
  SendCameraMessage(socket, &keepAlive, 3, 0, 0);
  EXPECT_EQ(typeOf(receivePacket(camera)), 33);
  EXPECT_EQ(receivePacket(camera, std::chrono::seconds(3)), keepAlivePacket());
  EXPECT_EQ(keepAlive, before);
  CloseConnect(&socket, keepAlive);
  ::close(camera);
}

// A listener whose accept queue is full drops new handshakes: nothing answers.
TEST(OpenConnect, NothingAnsweringFailsAfterTwoSecondsWithOneConnectEntry) {
  Listener listener(0);
  std::vector<int> fillers;
  for (int i = 0; i < 16; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(listener.port());
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers.push_back(fd);
    pollfd target{fd, POLLOUT, 0};
    if (::poll(&target, 1, 300) == 0) break;  // this one hangs: the queue is full
  }
  LogCapture log;
  int32_t socket = 123;
  IrdexTimer* keepAlive = nullptr;
  const auto start = Clock::now();
  EXPECT_EQ(OpenConnect(&socket, &keepAlive, "127.0.0.1", listener.portText().c_str(), 2, 1), -1);
  const double waited = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GE(waited, 1.9);
  EXPECT_LT(waited, 30.0);
  EXPECT_EQ(socket, -1);
  EXPECT_EQ(keepAlive, nullptr);
  EXPECT_EQ(countEntries(log, "connect"), 1);
  EXPECT_EQ(log.entries().size(), 1u);
  for (const int fd : fillers) ::close(fd);
}

TEST(OpenConnect, NothingListeningLeavesOneConnectEntryPerAttempt) {
  uint16_t closedPort;
  {
    Listener listener;
    closedPort = listener.port();
  }
  LogCapture log;
  for (int attempt = 0; attempt < 2; ++attempt) {
    int32_t socket = 5;
    IrdexTimer* keepAlive = nullptr;
    EXPECT_EQ(
        OpenConnect(&socket, &keepAlive, "127.0.0.1", std::to_string(closedPort).c_str(), 2, 1),
        -1);
    EXPECT_EQ(socket, -1);
  }
  EXPECT_EQ(countEntries(log, "connect"), 2);
}

TEST(OpenConnect, RefusesMissingArgumentsAndOtherFamilies) {
  LogCapture log;
  int32_t socket = 7;
  IrdexTimer* keepAlive = nullptr;
  EXPECT_EQ(OpenConnect(nullptr, &keepAlive, "127.0.0.1", "1", 2, 1), -1);
  EXPECT_EQ(OpenConnect(&socket, &keepAlive, nullptr, "1", 2, 1), -1);
  EXPECT_EQ(socket, -1);
  EXPECT_EQ(OpenConnect(&socket, &keepAlive, "127.0.0.1", "1", 23, 1), -1);
  EXPECT_EQ(countEntries(log, "socket"), 1);
  EXPECT_EQ(keepAlive, nullptr);
}

TEST(OpenConnect, DatagramEndpointIsBoundWithoutKeepAlive) {
  int32_t socket = -1;
  IrdexTimer* keepAlive = nullptr;
  ASSERT_EQ(OpenConnect(&socket, &keepAlive, "", "0", 2, 2), 1);
  EXPECT_GE(socket, 0);
  EXPECT_EQ(keepAlive, nullptr);
  int type = 0, broadcast = 0;
  socklen_t size = sizeof type;
  ::getsockopt(socket, SOL_SOCKET, SO_TYPE, &type, &size);
  size = sizeof broadcast;
  ::getsockopt(socket, SOL_SOCKET, SO_BROADCAST, &broadcast, &size);
  EXPECT_EQ(type, SOCK_DGRAM);
  EXPECT_EQ(broadcast, 1);
  EXPECT_EQ(CloseConnect(&socket, nullptr), 1);
  EXPECT_EQ(socket, -1);
}

TEST(OpenConnect, DatagramPortInUseLeavesABindEntry) {
  LogCapture log;
  int32_t first = -1, second = -1;
  IrdexTimer* keepAlive = nullptr;
  ASSERT_EQ(OpenConnect(&first, &keepAlive, "", "0", 2, 2), 1);
  sockaddr_in bound{};
  socklen_t size = sizeof bound;
  ::getsockname(first, reinterpret_cast<sockaddr*>(&bound), &size);
  const std::string port = std::to_string(ntohs(bound.sin_port));
  EXPECT_EQ(OpenConnect(&second, &keepAlive, "", port.c_str(), 2, 2), -1);
  EXPECT_EQ(second, -1);
  EXPECT_EQ(countEntries(log, "bind"), 1);
  CloseConnect(&first, nullptr);
}

// A descriptor that is not open makes the waits themselves fail: the receiver reports -11
// with its debug text and log entry, a sender logs and carries on.
TEST(SocketWaits, FailuresAreReportedAndLogged) {
  LogCapture log;
  DebugCapture debug;
  constexpr int kNotOpen = 999999;
  FrameRecord record;
  IrdexTimer* slot = nullptr;
  EXPECT_EQ(GetIRImages(kNotOpen, &slot, &record.frame), -11);
  EXPECT_EQ(debug.lines(), std::vector<std::string>{"SELECT EVENT else\r\n"});
  EXPECT_EQ(countEntries(log, "select:r"), 1);

  EXPECT_EQ(SendCameraMessage(kNotOpen, &slot, 3, 0, 0), 1);
  EXPECT_GE(countEntries(log, "select:w"), 1);
  CloseConnect(nullptr, slot);
}

TEST(CloseConnect, AcceptsNothingToClose) {
  int32_t none = -1;
  EXPECT_EQ(CloseConnect(&none, nullptr), 1);
  EXPECT_EQ(CloseConnect(nullptr, nullptr), 1);
}

// A sender blocked on a camera that stopped reading, its keep-alive waiting behind it, and
// CloseConnect from a third thread: everyone comes back, nothing freed is touched (the
// sanitizer builds watch this), and a stale handle is ignored afterwards.
TEST(CloseConnect, WhileOtherThreadsSendAndTheKeepAliveRuns) {
  LogCapture log;
  Connection link;
  SendCameraMessage(link.program, &link.keepAlive, 2, 0, 0);
  IrdexTimer* stale = link.keepAlive;
  std::atomic<bool> stop{false};
  std::atomic<int> sent{0};
  const int socket = link.program;
  std::thread sender([&] {
    PaletteBlock palette{};
    IrdexTimer* slot = stale;
    while (!stop) {
      SendPaletteMessage(socket, &slot, palette);
      ++sent;
    }
  });
  // Wait until the buffers are full: the sender stops making progress.
  int last = -1;
  for (int i = 0; i < 200 && last != sent.load(); ++i) {
    last = sent.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  stop = true;
  EXPECT_EQ(CloseConnect(&link.program, link.keepAlive), 1);
  link.keepAlive = nullptr;
  sender.join();
  IrdexTimer* slot = stale;
  EXPECT_EQ(SendCameraMessage(-1, &slot, 2, 0, 0), 1);
  EXPECT_EQ(slot, stale);
}

TEST(KeepAlive, DeletingWhileTheCallbackWaitsToSend) {
  for (int round = 0; round < 20; ++round) {
    Connection link;
    IrdexTimer* timer = createKeepAlive(link.program);
    ASSERT_NE(timer, nullptr);
    restartKeepAlive(link.program, &timer);
    deleteKeepAlive(timer);
    deleteKeepAlive(timer);  // a second delete of the same handle is ignored
  }
}

}  // namespace
}  // namespace irdex::link::testing
