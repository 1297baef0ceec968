// The software camera: listens on loopback, serves one client at a time on its own thread,
// answers commands, streams scene frames and injects faults on request.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "camera.h"
#include "conversion.h"
#include "faults.h"
#include "frame_builder.h"
#include "region_alarm.h"
#include "scene.h"
#include "uploads.h"

namespace irsim {

inline constexpr uint16_t kDefaultPort = 15001;

struct Options {
  std::string bindAddress = "127.0.0.1";
  bool allowNonLoopback = false;  // the address rule is lifted only on explicit request
  uint16_t port = kDefaultPort;   // 0: any free port (see Simulator::port)
  CameraConfig camera;
  SceneConfig scene;
  std::vector<Fault> faults;
  // A camera drops a client that sends nothing, not even a keep-alive, for this long.
  std::chrono::milliseconds idleTimeout{30000};
  std::string logPath;         // command log file; empty: none
  std::string tableDirectory;  // first-generation table files; empty: beside the executable
  // Where the simulator says what it does (missing tables, connections); stderr when unset.
  std::function<void(const std::string&)> notice;
};

// One packet the camera received.
struct LogEntry {
  uint64_t sequence = 0;
  uint64_t connection = 0;  // 1 for the first client, counting up
  double seconds = 0;       // since the simulator started
  uint32_t id = 0;
  uint32_t length = 0;
  uint16_t type = 0;
  // Setting commands (type 39): id, value and the three words.
  uint16_t settingId = 0;
  uint16_t value = 0;
  uint32_t words[3] = {0, 0, 0};
  std::vector<uint8_t> payload;
  std::string note;  // what the camera made of it ("ack", "nak 1", "header", ...)
};

std::string formatLogEntry(const LogEntry& entry);

struct Stats {
  uint64_t connections = 0;  // clients served
  uint64_t turnedAway = 0;   // clients closed because one was already served
  uint64_t idleDrops = 0;    // clients dropped for silence
  bool clientConnected = false;
  bool streaming = false;
  uint64_t framesSent = 0;  // over all connections
  uint64_t headersSent = 0;
  uint64_t lastFrameTick = 0;  // scene time of the last frame sent
  uint32_t divisor = 0;        // frame-rate divisor in force
};

class Simulator {
 public:
  explicit Simulator(Options options);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Binds and starts serving; false with a reason when the address is refused or taken.
  bool start(std::string* error);
  // Closes the client and the listener; returns within about a second.
  void stop();
  uint16_t port() const { return boundPort_; }
  // Serves one already connected socket on the caller's thread until the peer leaves (or
  // stop()); for fuzzing the command reader over a socket pair. Takes the descriptor over.
  void serveSocket(int fd) { runSession(fd); }

  std::vector<LogEntry> commandLog() const;
  void clearCommandLog();
  // Waits until a logged packet satisfies `match`; false after `timeout`.
  bool waitForCommand(const std::function<bool(const LogEntry&)>& match,
                      std::chrono::milliseconds timeout) const;
  Stats stats() const;
  bool waitFor(const std::function<bool(const Stats&)>& condition,
               std::chrono::milliseconds timeout) const;

  // Faults apply from the next packet on and to every later connection.
  void addFault(const Fault& fault);
  void clearFaults();

  // The camera's header as the programs read it (after the receiver's rearrangement).
  HeaderBytes header() const;
  const Scene& scene() const { return *scene_; }
  const FirstGenerationTables& tables() const { return tables_; }
  // The user palettes and the firmware image the camera has received.
  const Uploads& uploads() const { return uploads_; }

 private:
  friend class ByteSession;  // byte_session.h: the command reader fed from memory
  struct Connection;
  void serve();
  void runSession(int fd);
  // Splits what the client sent into packets and answers each; keeps a torn last packet.
  void readPackets(Connection& c);
  // Ends a connection so that the client can read every byte sent before the end.
  void closeGracefully(int fd);
  void handlePacket(Connection& c, const uint8_t* packet, uint32_t length);
  bool sendPacket(Connection& c, const std::vector<uint8_t>& packet);
  bool sendBytes(Connection& c, const uint8_t* data, size_t size);
  bool sendFrame(Connection& c);
  void sendHeader(Connection& c);
  void answer(Connection& c, uint16_t type, bool accept, int16_t reason, int16_t code2,
              LogEntry& entry);
  std::vector<uint8_t> framePacket(uint64_t tick);
  // Logs the region alarm when the frame at `tick` crosses its set temperature.
  void watchRegionAlarm(const Connection& c, uint64_t tick);
  std::vector<uint8_t> tempTableHalf(int half);
  void record(LogEntry entry);
  void say(const std::string& text) const;
  void updateStats(const std::function<void(Stats&)>& change);
  std::vector<Fault> faultsNow() const;
  bool refuses(uint16_t type, uint16_t settingId, int16_t& reason) const;

  Options options_;
  FirstGenerationTables tables_;
  std::unique_ptr<Scene> scene_;
  std::chrono::steady_clock::time_point started_;

  // Camera state: header, the mapper from scene to counts, the divisor, the camera-side
  // regions. Guarded by cameraMutex_ (read by tests while the session thread changes it).
  mutable std::mutex cameraMutex_;
  CameraHeader header_;
  std::unique_ptr<RawMapper> mapper_;
  uint32_t divisor_ = 0;
  std::array<CameraRegion, 10> regions_{};
  RegionAlarmWatch regionAlarm_;  // 0x0421: watched on every frame sent
  Uploads uploads_;               // guards itself

  // The command log, its file and the faults. Guarded by logMutex_; logChanged_ wakes
  // waiters for packets and for statistics alike.
  mutable std::mutex logMutex_;
  mutable std::condition_variable logChanged_;
  std::deque<LogEntry> log_;
  uint64_t nextSequence_ = 1;
  Stats stats_;
  std::vector<Fault> faults_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> logFile_{nullptr, &std::fclose};

  int listenFd_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  uint16_t boundPort_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex lifecycleMutex_;  // start() and stop() may come from different threads
  std::thread thread_;
  std::mutex exitMutex_;
  std::condition_variable exited_;
  bool threadDone_ = false;
};

// Loopback is 127.0.0.0/8.
bool isLoopbackAddress(const std::string& address);
// The folder of the running executable.
std::string executableDirectory();

}  // namespace irsim
