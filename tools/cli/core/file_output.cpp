#include "file_output.h"

#include "cli_error.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace irdexcli {

PendingFile::PendingFile(std::filesystem::path target) : target_(std::move(target)) {
  std::error_code error;
  if (std::filesystem::is_directory(target_, error))
    throw CliError(target_.string() + ": is a folder");
  const std::filesystem::path folder =
      target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  std::string pattern = (folder / ("." + target_.filename().string() + ".part-XXXXXX")).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    throw CliError(target_.string() + ": cannot be created (" + std::strerror(errno) + ")");
  }
  temporary_ = pattern;
  file_ = fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    std::filesystem::remove(temporary_, error);
    throw CliError(target_.string() + ": cannot be created");
  }
}

PendingFile::~PendingFile() {
  if (file_) std::fclose(file_);
  if (!committed_) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
  }
}

void PendingFile::write(std::span<const char> bytes) {
  if (!file_) throw CliError(target_.string() + ": already closed");
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
    throw CliError(target_.string() + ": write failed (" + std::strerror(errno) + ")");
}

void PendingFile::releaseStream() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
}

void PendingFile::commit() {
  if (file_) {
    const bool flushed = std::fflush(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) throw CliError(target_.string() + ": write failed (disk full?)");
  }
  // Files made by mkstemp are private to the user; outputs get the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  std::error_code error;
  std::filesystem::permissions(temporary_, static_cast<std::filesystem::perms>(0666 & ~mask),
                               error);
  std::filesystem::rename(temporary_, target_, error);
  if (error)
    throw CliError(target_.string() + ": cannot be put in place (" + error.message() + ")");
  committed_ = true;
}

}  // namespace irdexcli
