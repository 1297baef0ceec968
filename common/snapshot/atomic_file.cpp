#include "snapshot/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

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

// The pieces in as few system calls as the kernel takes them (a snapshot is some twenty
// segments: one call each cost more than the copying).
bool writePieces(int fd, std::span<const std::span<const uint8_t>> pieces) {
  std::vector<iovec> vectors;
  vectors.reserve(pieces.size());
  for (const auto& piece : pieces) {
    if (!piece.empty()) vectors.push_back({const_cast<uint8_t*>(piece.data()), piece.size()});
  }
  std::size_t next = 0;
  while (next < vectors.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(vectors.size() - next, IOV_MAX));
    ssize_t written = ::writev(fd, vectors.data() + next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    // Skip what went out; a partly written piece continues from where it stopped.
    while (next < vectors.size() && static_cast<std::size_t>(written) >= vectors[next].iov_len) {
      written -= static_cast<ssize_t>(vectors[next].iov_len);
      ++next;
    }
    if (next < vectors.size() && written > 0) {
      vectors[next].iov_base = static_cast<uint8_t*>(vectors[next].iov_base) + written;
      vectors[next].iov_len -= static_cast<std::size_t>(written);
    }
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
  if (!writePieces(file.fd(), pieces)) return WriteError::WriteFailed;
  if (!file.close()) return WriteError::WriteFailed;
  if (std::rename(temporary.c_str(), path.c_str()) != 0) return WriteError::WriteFailed;
  file.keep();
  return WriteError::None;
}

}  // namespace snapshot
