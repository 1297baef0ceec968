#include "snapshot/snapshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

namespace snapshot {
namespace {

std::atomic<unsigned> temporaryCounter{0};

// Closes the descriptor and, unless released, removes the temporary file.
class TemporaryFile {
 public:
  TemporaryFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
    }
  }
  int fd() const { return fd_; }
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void keep() { kept_ = true; }

 private:
  int fd_;
  std::filesystem::path path_;
  bool kept_ = false;
};

bool writeAll(int fd, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

WriteError replaceFileAtomically(const std::filesystem::path& path,
                                 std::span<const uint8_t> bytes) {
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  // Beside the target, so the final rename stays within one file system and is atomic.
  int fd = -1;
  std::filesystem::path temporary;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder / ("." + path.filename().string() + "." + std::to_string(::getpid()) + "." +
                          std::to_string(temporaryCounter++) + ".tmp");
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return WriteError::CannotCreate;
  }
  if (fd < 0) return WriteError::CannotCreate;

  TemporaryFile file(fd, temporary);
  if (!writeAll(file.fd(), bytes)) return WriteError::WriteFailed;
  if (!file.close()) return WriteError::WriteFailed;
  if (std::rename(temporary.c_str(), path.c_str()) != 0) return WriteError::WriteFailed;
  file.keep();
  return WriteError::None;
}

}  // namespace snapshot
