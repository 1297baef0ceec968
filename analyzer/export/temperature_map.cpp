#include "export/temperature_map.h"

#include "export/fixed_format.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace solvane::exports {
namespace {

bool writeAll(int fd, const char* p, std::size_t left) {
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

bool mapFits(std::span<const float> temperatures, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  return temperatures.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// Formats the map row by row into a fixed buffer and hands the text to `sink` in large
// pieces, so a whole map never sits in memory as text.
template <typename Sink>
bool formatMapRows(std::span<const float> temperatures, int width, int height, Sink&& sink) {
  if (!mapFits(temperatures, width, height)) return false;
  constexpr std::size_t kChunk = 256 * 1024;
  const std::size_t rowRoom = static_cast<std::size_t>(width) * (kMaxTwoDecimalsChars + 1);
  std::vector<char> buffer(std::max(kChunk, rowRoom) + rowRoom);
  char* const begin = buffer.data();
  char* out = begin;
  const float* value = temperatures.data();
  for (int y = 0; y < height; ++y) {
    if (static_cast<std::size_t>(out - begin) + rowRoom > buffer.size()) {
      if (!sink(begin, static_cast<std::size_t>(out - begin))) return false;
      out = begin;
    }
    for (int x = 0; x < width; ++x) {
      out = formatTwoDecimals(*value++, out);
      *out++ = ',';
    }
    out[-1] = '\n';
  }
  return sink(begin, static_cast<std::size_t>(out - begin));
}

}  // namespace

std::string formatTemperatureMap(std::span<const float> temperatures, int width, int height) {
  std::string text;
  const bool ok =
      formatMapRows(temperatures, width, height, [&text](const char* data, std::size_t size) {
        text.append(data, size);
        return true;
      });
  return ok ? text : std::string{};
}

TempMapOutcome writeTemperatureMap(const std::string& path, std::span<const float> temperatures,
                                   int width, int height) {
  if (!mapFits(temperatures, width, height)) return TempMapOutcome::NoFrame;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno == EEXIST ? TempMapOutcome::AlreadyExists : TempMapOutcome::CannotCreate;
  const bool written =
      formatMapRows(temperatures, width, height,
                    [fd](const char* data, std::size_t size) { return writeAll(fd, data, size); });
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
