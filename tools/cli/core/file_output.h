// Output files appear whole or not at all: each is written under a temporary name beside
// its place and renamed over it when complete, so an interrupted or failed conversion never
// leaves a truncated file that looks finished, nor destroys the file it was to replace.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace irdexcli {

class PendingFile {
 public:
  // Creates the temporary file; throws a run error naming `target` when it cannot.
  explicit PendingFile(std::filesystem::path target);
  ~PendingFile();  // removes the temporary file unless committed
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  const std::filesystem::path& target() const { return target_; }
  const std::filesystem::path& temporary() const { return temporary_; }
  // The open stream for writers that take one (closed by commit); null after commit.
  std::FILE* stream() const { return file_; }
  // Throws a run error when the bytes could not all be written.
  void write(std::span<const char> bytes);
  // Closes the stream (if still open) and renames the file into place.
  void commit();
  // For writers that open the temporary file themselves: closes our stream first.
  void releaseStream();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

}  // namespace irdexcli
