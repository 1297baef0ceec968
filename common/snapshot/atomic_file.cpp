#include "snapshot/atomic_file.h"

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

// ".<name>.<pid>.<n>.tmp": hidden, and unique among the writers of this folder.
std::string temporaryName(const std::filesystem::path& target, unsigned n) {
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%ld.%u.tmp", static_cast<long>(::getpid()), n);
  std::string name(1, '.');
  name += target.filename().native();
  name += suffix;
  return name;
}

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
  const std::span<const uint8_t> one[] = {bytes};
  return replaceFileWithPieces(path, one);
}

WriteError replaceFileWithPieces(const std::filesystem::path& path,
                                 std::span<const std::span<const uint8_t>> pieces) {
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  // Beside the target, so the final rename stays within one file system and is atomic.
  int fd = -1;
  std::filesystem::path temporary;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder / temporaryName(path, temporaryCounter++);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return WriteError::CannotCreate;
  }
  if (fd < 0) return WriteError::CannotCreate;

  TemporaryFile file(fd, temporary);
  for (const auto& piece : pieces) {
    if (!writeAll(file.fd(), piece)) return WriteError::WriteFailed;
  }
  if (!file.close()) return WriteError::WriteFailed;
  if (std::rename(temporary.c_str(), path.c_str()) != 0) return WriteError::WriteFailed;
  file.keep();
  return WriteError::None;
}

}  // namespace snapshot
