// The playback thread: runs the engine's passes, waits for each frame's due time without
// spinning, suspends itself when asked and ends cooperatively between two frames.
#pragma once

#include "record/playback_engine.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace solvane::record {

// How the thread waits for a frame's due time. The default sleeps on a condition that stop()
// signals; tests put in one that returns at once.
class Pacer {
 public:
  virtual ~Pacer() = default;
  // Waits until `due` or until interrupted; false when interrupted.
  virtual bool waitUntil(PlaybackEngine::Clock::time_point due) = 0;
  virtual void interrupt() = 0;
  virtual void reset() = 0;
};

class SteadyPacer : public Pacer {
 public:
  bool waitUntil(PlaybackEngine::Clock::time_point due) override;
  void interrupt() override;
  void reset() override;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool interrupted_ = false;
};

class PlaybackThread {
 public:
  explicit PlaybackThread(PlaybackEngine& engine, std::unique_ptr<Pacer> pacer = nullptr);
  ~PlaybackThread();
  PlaybackThread(const PlaybackThread&) = delete;
  PlaybackThread& operator=(const PlaybackThread&) = delete;

  // Creates the thread when none runs (the play controls call this after setting the mode).
  void ensureRunning();
  // Asks the thread to end after the frame in hand and waits for it. Never cuts a frame
  // half read: the read and its hand-over are one step of the engine.
  void stop();
  bool running() const { return running_; }

 private:
  void run();

  PlaybackEngine& engine_;
  std::unique_ptr<Pacer> pacer_;
  std::thread thread_;
  std::atomic<bool> running_{false};
};

// Pins the calling thread the way the analyzer's workers are pinned: processor mask 1 on
// machines with fewer than 3 processors, else mask 2. Best effort.
void pinPlaybackThread();

}  // namespace solvane::record
