#include "record/playback_thread.h"

#include <pthread.h>
#include <sched.h>

namespace solvane::record {

bool SteadyPacer::waitUntil(PlaybackEngine::Clock::time_point due) {
  std::unique_lock lock(mutex_);
  changed_.wait_until(lock, due, [&] { return interrupted_; });
  return !interrupted_;
}

void SteadyPacer::interrupt() {
  {
    std::lock_guard lock(mutex_);
    interrupted_ = true;
  }
  changed_.notify_all();
}

void SteadyPacer::reset() {
  std::lock_guard lock(mutex_);
  interrupted_ = false;
}

void pinPlaybackThread() {
  const unsigned processors = std::thread::hardware_concurrency();
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(processors < 3 ? 0 : 1, &set);
  pthread_setaffinity_np(pthread_self(), sizeof set, &set);
}

PlaybackThread::PlaybackThread(PlaybackEngine& engine, std::unique_ptr<Pacer> pacer)
    : engine_(engine), pacer_(pacer ? std::move(pacer) : std::make_unique<SteadyPacer>()) {}

PlaybackThread::~PlaybackThread() { stop(); }

void PlaybackThread::ensureRunning() {
  if (running_) return;
  if (thread_.joinable()) thread_.join();  // a thread that ended by itself
  engine_.clearInterrupt();
  pacer_->reset();
  running_ = true;
  thread_ = std::thread([this] { run(); });
}

void PlaybackThread::stop() {
  engine_.interrupt();
  pacer_->interrupt();
  if (thread_.joinable()) thread_.join();
  running_ = false;
}

void PlaybackThread::run() {
  pinPlaybackThread();
  while (!engine_.interrupted()) {
    const PlaybackEngine::Pass pass = engine_.runPass();
    if (pass.next == PlaybackEngine::Pass::Next::End) break;
    if (!pacer_->waitUntil(pass.due)) break;
    if (pass.next == PlaybackEngine::Pass::Next::Suspend && !engine_.waitWhileSuspended()) break;
  }
  running_ = false;
}

}  // namespace solvane::record
