#include "export/temperature_map.h"

#include "export/fixed_format.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace solvane::exports {
namespace {

bool writeAll(int fd, const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, p, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::string formatTemperatureMap(std::span<const float> temperatures, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (temperatures.size() < count) return {};
  std::string text;
  // Room for the widest value and its separator everywhere; trimmed at the end.
  text.resize(count * (kMaxTwoDecimalsChars + 1));
  char* out = text.data();
  const float* value = temperatures.data();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      out = formatTwoDecimals(*value++, out);
      *out++ = ',';
    }
    out[-1] = '\n';
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

TempMapOutcome writeTemperatureMap(const std::string& path, std::span<const float> temperatures,
                                   int width, int height) {
  const std::string text = formatTemperatureMap(temperatures, width, height);
  if (text.empty()) return TempMapOutcome::NoFrame;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno == EEXIST ? TempMapOutcome::AlreadyExists : TempMapOutcome::CannotCreate;
  const bool written = writeAll(fd, text);
  const bool closed = ::close(fd) == 0;
  if (written && closed) return TempMapOutcome::Written;
  // A cut map would read as a smaller picture; better no file than a wrong one.
  ::unlink(path.c_str());
  return TempMapOutcome::WriteFailed;
}

TemperatureMapExporter::~TemperatureMapExporter() { waitAll(); }

void TemperatureMapExporter::start(std::string path, int width, int height, Conversion conversion) {
  reapFinished();
  auto finished = std::make_shared<std::atomic<bool>>(false);
  std::thread thread(
      [this, finished, path = std::move(path), width, height, conversion = std::move(conversion)] {
        TempMapOutcome outcome = TempMapOutcome::AlreadyExists;
        // The name holds the second: a map of this second exists, so skip the conversion too.
        if (::access(path.c_str(), F_OK) != 0) {
          const std::vector<float> temperatures = conversion ? conversion() : std::vector<float>{};
          outcome = writeTemperatureMap(path, temperatures, width, height);
        }
        if (done_) done_(path, outcome);
        finished->store(true);
      });
  std::lock_guard lock(mutex_);
  workers_.push_back(Worker{std::move(thread), std::move(finished)});
}

void TemperatureMapExporter::reapFinished() {
  std::vector<Worker> done;
  {
    std::lock_guard lock(mutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
      if (it->finished->load()) {
        done.push_back(std::move(*it));
        it = workers_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& worker : done) worker.thread.join();
}

void TemperatureMapExporter::waitAll() {
  std::vector<Worker> running;
  {
    std::lock_guard lock(mutex_);
    running.swap(workers_);
  }
  for (auto& worker : running) worker.thread.join();
}

}  // namespace solvane::exports
