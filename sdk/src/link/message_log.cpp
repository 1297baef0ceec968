#include "link/message_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

namespace irdex::link {
namespace {

// Writers of one process serialise their entries; the folder override is read under the
// same lock. Never destroyed, so a keep-alive thread may still log while the process exits.
struct LogState {
  std::mutex lock;
  std::string folderOverride;
};

LogState& state() {
  static auto* instance = new LogState;
  return *instance;
}

std::string programFolder() {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  const std::string full(path, static_cast<std::size_t>(length));
  const auto slash = full.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return full.substr(0, slash);
}

std::string logPathFor(const std::string& folder, const std::tm& local) {
  char name[64];
  std::snprintf(name, sizeof name, "msg%04d%02d%02d.log", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday);
  return folder + "/" + name;
}

std::tm localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return local;
}

std::string folderLocked(LogState& s) {
  return s.folderOverride.empty() ? programFolder() : s.folderOverride;
}

}  // namespace

void setLogFolder(std::string folder) {
  LogState& s = state();
  std::lock_guard<std::mutex> guard(s.lock);
  s.folderOverride = std::move(folder);
}

std::string currentLogPath() {
  LogState& s = state();
  std::lock_guard<std::mutex> guard(s.lock);
  return logPathFor(folderLocked(s), localNow());
}

std::string systemErrorText(int error) {
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not live in our buffer.
  const char* text = ::strerror_r(error, buffer, sizeof buffer);
  return text ? std::string(text) : std::string("Unknown error");
}

void logEntry(std::string_view step, std::string_view text) {
  LogState& s = state();
  std::lock_guard<std::mutex> guard(s.lock);
  const std::tm local = localNow();
  const std::string path = logPathFor(folderLocked(s), local);

  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "[%04d/%02d/%02d %02d:%02d:%02d]\t", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  std::string entry(stamp);
  entry.append(step);
  entry.push_back('\t');
  entry.append(text);
  if (entry.back() != '\n') entry.push_back('\n');

  // One write of the whole entry in append mode keeps it in one piece even beside writers of
  // other processes.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  std::size_t written = 0;
  while (written < entry.size()) {
    const ssize_t n = ::write(fd, entry.data() + written, entry.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

}  // namespace irdex::link
