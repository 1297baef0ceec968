#include "simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "connection.h"
#include "frame_builder.h"
#include "wire.h"

namespace irsim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kLogLimit = 100000;  // entries kept for the query API
constexpr size_t kReceiveChunk = 64 * 1024;
constexpr auto kPollSlice = std::chrono::milliseconds(50);

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

bool isLoopbackAddress(const std::string& address) {
  in_addr parsed{};
  if (inet_pton(AF_INET, address.c_str(), &parsed) != 1) return false;
  return (ntohl(parsed.s_addr) >> 24) == 127;
}

std::string executableDirectory() {
  std::error_code ec;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : path.parent_path().string();
}

std::string formatLogEntry(const LogEntry& e) {
  std::ostringstream out;
  char time[32];
  std::snprintf(time, sizeof time, "%.3f", e.seconds);
  out << time << " conn=" << e.connection << " type=" << e.type << " len=" << e.length;
  if (e.id != kPacketId) {
    char id[16];
    std::snprintf(id, sizeof id, "%08X", e.id);
    out << " id=" << id;
  }
  if (e.type == type::kSetting) {
    char setting[80];
    std::snprintf(setting, sizeof setting, " setting=0x%04X value=%u words=%u,%u,%u", e.settingId,
                  e.value, e.words[0], e.words[1], e.words[2]);
    out << setting;
  }
  if (!e.note.empty()) out << " -> " << e.note;
  return out.str();
}

Simulator::Simulator(Options options)
    : options_(std::move(options)), started_(Clock::now()), header_(options_.camera) {
  std::string notice;
  tables_ = FirstGenerationTables::load(
      options_.tableDirectory.empty() ? executableDirectory() : options_.tableDirectory, &notice);
  if (header_.family() == Family::FirstGeneration && !notice.empty()) say(notice);
  scene_ = std::make_unique<Scene>(options_.scene, header_.width(), header_.height());
  for (const Fault& fault : options_.faults) addFault(fault);
  mapper_ = std::make_unique<RawMapper>(header_, tables_);
}

Simulator::~Simulator() { stop(); }

void Simulator::say(const std::string& text) const {
  if (options_.notice)
    options_.notice(text);
  else
    std::cerr << text << (text.ends_with('\n') ? "" : "\n") << std::flush;
}

bool Simulator::start(std::string* error) {
  std::lock_guard lifecycle(lifecycleMutex_);
  auto fail = [&](const std::string& text) {
    if (error) *error = text;
    closeFd(listenFd_);
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
    return false;
  };
  if (thread_.joinable()) return fail("already running");
  std::string why;
  if (!validateConfig(options_.camera, &why)) return fail(why);
  if (!options_.allowNonLoopback && !isLoopbackAddress(options_.bindAddress))
    return fail("refusing to listen on " + options_.bindAddress +
                ": only loopback addresses (127.0.0.0/8) unless explicitly allowed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(options_.port);
  if (inet_pton(AF_INET, options_.bindAddress.c_str(), &address.sin_addr) != 1)
    return fail("not an IPv4 address: " + options_.bindAddress);
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return fail(std::string("socket: ") + std::strerror(errno));
  const int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    return fail("cannot listen on " + options_.bindAddress + ":" + std::to_string(options_.port) +
                ": " + std::strerror(errno));
  if (::listen(listenFd_, 4) != 0) return fail(std::string("listen: ") + std::strerror(errno));
  socklen_t length = sizeof address;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
  boundPort_ = ntohs(address.sin_port);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
    return fail(std::string("pipe: ") + std::strerror(errno));
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
  if (!options_.logPath.empty()) {
    logFile_.reset(std::fopen(options_.logPath.c_str(), "a"));
    if (!logFile_) return fail("cannot open the command log " + options_.logPath);
  }
  stopping_ = false;
  threadDone_ = false;
  thread_ = std::thread([this] { serve(); });
  return true;
}

void Simulator::stop() {
  std::lock_guard lifecycle(lifecycleMutex_);
  if (!thread_.joinable()) return;
  stopping_ = true;
  const char wake = 1;
  [[maybe_unused]] auto ignored = ::write(wakeWrite_, &wake, 1);
  {
    // Every wait of the thread is a poll of at most kPollSlice that also watches the wake
    // pipe, so it ends promptly; the bound only makes a fault visible.
    std::unique_lock lock(exitMutex_);
    if (!exited_.wait_for(lock, std::chrono::seconds(5), [&] { return threadDone_; }))
      say("irsim: the camera thread is slow to stop");
  }
  thread_.join();
  closeFd(listenFd_);
  closeFd(wakeRead_);
  closeFd(wakeWrite_);
  logFile_.reset();
}

void Simulator::serve() {
  while (!stopping_) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, 200);
    if (ready <= 0 || stopping_) continue;
    if (fds[0].revents & POLLIN) {
      const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) runSession(fd);
    }
  }
  std::lock_guard lock(exitMutex_);
  threadDone_ = true;
  exited_.notify_all();
}

std::vector<Fault> Simulator::faultsNow() const {
  std::lock_guard lock(logMutex_);
  return faults_;
}

void Simulator::addFault(const Fault& fault) {
  std::lock_guard lock(logMutex_);
  faults_.push_back(fault);
  if (fault.kind == Fault::Kind::UnsupportedModel) {
    std::lock_guard cameraLock(cameraMutex_);
    header_.setUnsupportedModel(true);
  }
}

void Simulator::clearFaults() {
  std::lock_guard lock(logMutex_);
  faults_.clear();
  std::lock_guard cameraLock(cameraMutex_);
  header_.setUnsupportedModel(false);
}

void Simulator::updateStats(const std::function<void(Stats&)>& change) {
  std::lock_guard lock(logMutex_);
  change(stats_);
  logChanged_.notify_all();
}

Stats Simulator::stats() const {
  std::lock_guard lock(logMutex_);
  return stats_;
}

bool Simulator::waitFor(const std::function<bool(const Stats&)>& condition,
                        std::chrono::milliseconds timeout) const {
  std::unique_lock lock(logMutex_);
  return logChanged_.wait_for(lock, timeout, [&] { return condition(stats_); });
}

std::vector<LogEntry> Simulator::commandLog() const {
  std::lock_guard lock(logMutex_);
  return {log_.begin(), log_.end()};
}

void Simulator::clearCommandLog() {
  std::lock_guard lock(logMutex_);
  log_.clear();
}

bool Simulator::waitForCommand(const std::function<bool(const LogEntry&)>& match,
                               std::chrono::milliseconds timeout) const {
  std::unique_lock lock(logMutex_);
  return logChanged_.wait_for(lock, timeout,
                              [&] { return std::any_of(log_.begin(), log_.end(), match); });
}

void Simulator::record(LogEntry entry) {
  std::lock_guard lock(logMutex_);
  entry.sequence = nextSequence_++;
  if (logFile_) {
    std::fprintf(logFile_.get(), "%s\n", formatLogEntry(entry).c_str());
    std::fflush(logFile_.get());
  }
  log_.push_back(std::move(entry));
  if (log_.size() > kLogLimit) log_.pop_front();
  logChanged_.notify_all();
}

HeaderBytes Simulator::header() const {
  std::lock_guard lock(cameraMutex_);
  return header_.bytes();
}

void Simulator::runSession(int fd) {
  Connection c;
  c.fd = fd;
  c.lastReceived = Clock::now();
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  updateStats([&](Stats& s) {
    c.number = ++s.connections;
    s.clientConnected = true;
  });
  say("irsim: client " + std::to_string(c.number) + " connected");

  for (const Fault& fault : faultsNow()) {
    if (fault.kind == Fault::Kind::CloseAfterFrames && fault.count == 0) c.close = true;
    if (fault.kind == Fault::Kind::Stall && fault.count == 0) {
      c.stalled = true;
      c.stallForever = fault.durationMs == 0;
      c.stallUntil = Clock::now() + std::chrono::milliseconds(fault.durationMs);
    }
  }

  std::vector<uint8_t> chunk(kReceiveChunk);
  while (!stopping_ && !c.close) {
    const auto now = Clock::now();
    if (c.stalled && !c.stallForever && now >= c.stallUntil) {
      c.stalled = false;
      c.stallOver = true;
    }
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kPollSlice);
    if (c.streaming && !c.stalled) {
      const auto untilFrame =
          std::chrono::duration_cast<std::chrono::milliseconds>(c.nextFrame - now);
      wait = std::clamp(untilFrame, std::chrono::milliseconds(0), wait);
    }
    pollfd fds[3] = {{fd, POLLIN, 0}, {listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const int ready = ::poll(fds, 3, static_cast<int>(wait.count()));
    if (stopping_) break;
    if (ready > 0 && (fds[1].revents & POLLIN)) {
      // One client at a time, like a camera: a second one is accepted and closed at once.
      const int other = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (other >= 0) {
        updateStats([](Stats& s) { ++s.turnedAway; });
        ::close(other);
      }
    }
    if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
      const ssize_t got = ::recv(fd, chunk.data(), chunk.size(), 0);
      if (got == 0) break;  // the client left
      if (got < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
        break;
      }
      c.lastReceived = Clock::now();
      c.received.insert(c.received.end(), chunk.begin(), chunk.begin() + got);
      readPackets(c);
      continue;
    }
    if (Clock::now() - c.lastReceived > options_.idleTimeout) {
      say("irsim: client " + std::to_string(c.number) + " silent too long, dropped");
      updateStats([](Stats& s) { ++s.idleDrops; });
      break;
    }
    if (c.streaming && Clock::now() >= c.nextFrame) {
      uint32_t divisor;
      bool reduced;
      {
        std::lock_guard lock(cameraMutex_);
        divisor = divisor_;
        reduced = header_.reducedRate();
      }
      const auto period = std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / (reduced ? 9.0 : 30.0)));
      if (c.tick % (static_cast<uint64_t>(divisor) + 1) == 0 && !c.stalled) {
        if (!sendFrame(c)) break;
      }
      ++c.tick;
      c.nextFrame += period;
      // A client that reads slowly gets fewer frames, not a burst of late ones.
      if (Clock::now() > c.nextFrame + period) c.nextFrame = Clock::now() + period;
    }
  }
  closeGracefully(fd);
  updateStats([](Stats& s) {
    s.clientConnected = false;
    s.streaming = false;
  });
  say("irsim: client " + std::to_string(c.number) + " gone");
}

void Simulator::readPackets(Connection& c) {
  size_t used = 0;
  while (!c.close && c.received.size() - used >= kPacketHeadSize) {
    const PacketHead head = parseHead(c.received.data() + used);
    if (head.length < kPacketHeadSize || head.length > kMaxCommandLength) {
      LogEntry entry;
      entry.connection = c.number;
      entry.seconds = std::chrono::duration<double>(Clock::now() - started_).count();
      entry.id = head.id;
      entry.length = head.length;
      entry.type = head.type;
      entry.note = "implausible length: connection closed";
      record(std::move(entry));
      c.close = true;
      break;
    }
    if (c.received.size() - used < head.length) break;
    handlePacket(c, c.received.data() + used, head.length);
    used += head.length;
  }
  c.received.erase(c.received.begin(), c.received.begin() + static_cast<ptrdiff_t>(used));
}

bool Simulator::sendBytes(Connection& c, const uint8_t* data, size_t size) {
  if (c.sink) {
    c.sink->insert(c.sink->end(), data, data + size);
    return true;
  }
  uint32_t rate = 0;
  for (const Fault& fault : faultsNow())
    if (fault.kind == Fault::Kind::SlowLink) rate = fault.bytesPerSecond;
  size_t done = 0;
  auto lastProgress = Clock::now();
  while (done < size) {
    if (stopping_) return false;
    size_t piece = size - done;
    // The slow link hands out a twentieth of its rate every 50 ms.
    if (rate > 0) piece = std::min<size_t>(piece, std::max<uint32_t>(1, rate / 20));
    const ssize_t sent = ::send(c.fd, data + done, piece, MSG_NOSIGNAL);
    if (sent > 0) {
      done += static_cast<size_t>(sent);
      lastProgress = Clock::now();
      if (rate > 0) {
        pollfd wake{wakeRead_, POLLIN, 0};
        ::poll(&wake, 1, static_cast<int>(kPollSlice.count()));
      }
      continue;
    }
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      // A client that stops reading is as gone as one that stops talking.
      if (Clock::now() - lastProgress > options_.idleTimeout) return false;
      pollfd fds[2] = {{c.fd, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
      ::poll(fds, 2, static_cast<int>(kPollSlice.count()));
      continue;
    }
    return false;
  }
  return true;
}

bool Simulator::sendPacket(Connection& c, const std::vector<uint8_t>& packet) {
  if (c.stalled) return true;  // a stalled camera says nothing
  ++c.packetsSent;
  for (const Fault& fault : faultsNow()) {
    if (fault.kind == Fault::Kind::ForeignBytes && fault.count == c.packetsSent) {
      std::vector<uint8_t> foreign(fault.bytes);
      static constexpr uint8_t kPattern[4] = {0xDE, 0xAD, 0xBE, 0xEF};
      for (size_t i = 0; i < foreign.size(); ++i) foreign[i] = kPattern[i % 4];
      if (!sendBytes(c, foreign.data(), foreign.size())) return false;
    }
  }
  return sendBytes(c, packet.data(), packet.size());
}

// The write side is shut first, so the client sees the end after the last byte; what the
// client still sends (keep-alives) is read and dropped for a moment, because closing with
// unread bytes resets the connection, and a reset can cost the client data it has not read
// yet. A stopping simulator does not wait.
void Simulator::closeGracefully(int fd) {
  ::shutdown(fd, SHUT_WR);
  std::array<uint8_t, 4096> scratch;
  const auto deadline = Clock::now() + std::chrono::seconds(1);
  while (!stopping_ && Clock::now() < deadline) {
    pollfd peer{fd, POLLIN, 0};
    const int ready = ::poll(&peer, 1, 50);
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0) {
      const ssize_t got = ::recv(fd, scratch.data(), scratch.size(), 0);
      if (got == 0) break;  // the client has closed too
      if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) break;
    }
  }
  ::close(fd);
}

bool Simulator::sendFrame(Connection& c) {
  const auto faults = faultsNow();
  const std::vector<uint8_t> packet = framePacket(c.tick);
  for (const Fault& fault : faults) {
    if (fault.kind == Fault::Kind::CloseMidPacket && c.framesSent == fault.count) {
      ++c.packetsSent;
      sendBytes(c, packet.data(), packet.size() / 2);
      c.close = true;
      return true;
    }
  }
  if (!sendPacket(c, packet)) return false;
  ++c.framesSent;
  const uint64_t tick = c.tick;
  watchRegionAlarm(c, tick);
  updateStats([&](Stats& s) {
    ++s.framesSent;
    s.lastFrameTick = tick;
  });
  for (const Fault& fault : faults) {
    if (fault.kind == Fault::Kind::CloseAfterFrames && c.framesSent >= fault.count) c.close = true;
    // The stall starts right behind the N-th frame, so that nothing else slips out first.
    if (fault.kind == Fault::Kind::Stall && fault.count > 0 && !c.stallOver && !c.stalled &&
        c.framesSent >= fault.count) {
      c.stalled = true;
      c.stallForever = fault.durationMs == 0;
      c.stallUntil = Clock::now() + std::chrono::milliseconds(fault.durationMs);
    }
  }
  return true;
}

void Simulator::watchRegionAlarm(const Connection& c, uint64_t tick) {
  std::optional<std::string> note;
  {
    std::lock_guard lock(cameraMutex_);
    if (!regionAlarm_.config().enabled) return;
    note = regionAlarm_.step(watchedTemperature(regionAlarm_.config(), *scene_, tick, regions_,
                                                header_.width(), header_.height()));
  }
  if (!note) return;
  LogEntry entry;
  entry.connection = c.number;
  entry.seconds = std::chrono::duration<double>(Clock::now() - started_).count();
  entry.note = *note;
  record(std::move(entry));
}

std::vector<uint8_t> Simulator::framePacket(uint64_t tick) {
  std::lock_guard lock(cameraMutex_);
  return buildFramePacket(header_, *scene_, *mapper_, regions_, options_.camera.trailerLayout,
                          tick);
}

}  // namespace irsim
