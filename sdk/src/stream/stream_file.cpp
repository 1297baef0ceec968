#include "stream/stream_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace irdex::stream {

std::optional<File> File::open(const std::string& name, Mode mode) {
  const int flags = mode == Mode::CreateReadWrite ? (O_RDWR | O_CREAT | O_TRUNC) : O_RDONLY;
  const int fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  // A folder opens for reading on this system but holds no stream.
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  return File(fd);
}

File::~File() {
  if (fd_ >= 0) ::close(fd_);
}

bool File::close() {
  if (fd_ < 0) return true;
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0;
}

bool File::seek(int64_t position) {
  if (fd_ < 0 || position < 0) return false;
  position_ = position;
  return true;
}

bool File::seekToEnd() {
  const auto end = length();
  return end && seek(*end);
}

std::optional<int64_t> File::length() const {
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0) return std::nullopt;
  return static_cast<int64_t>(info.st_size);
}

std::size_t File::read(void* into, std::size_t bytes) {
  if (fd_ < 0) return 0;
  auto* out = static_cast<uint8_t*>(into);
  std::size_t done = 0;
  while (done < bytes) {
    const ssize_t got = ::pread(fd_, out + done, bytes - done, static_cast<off_t>(position_));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
    position_ += got;
  }
  return done;
}

bool File::write(const void* from, std::size_t bytes) {
  if (fd_ < 0) return false;
  const auto* in = static_cast<const uint8_t*>(from);
  std::size_t done = 0;
  while (done < bytes) {
    const ssize_t put = ::pwrite(fd_, in + done, bytes - done, static_cast<off_t>(position_));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
    position_ += put;
  }
  return true;
}

bool File::truncate(int64_t length) {
  if (fd_ < 0 || length < 0) return false;
  const bool cut = ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
  position_ = length;
  return cut;
}

}  // namespace irdex::stream
