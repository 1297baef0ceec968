// The open file behind an IRStreamHandle, shared by the IR stream file and the signed
// container. It writes straight to the system (no user-space buffer), so every frame is in
// the file the moment its write returns: a program that crashes later loses nothing written,
// and a frame that could not be written whole can be taken back exactly.
#pragma once

#include <irdex.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace irdex::stream {

// Records and pixels go to disk as the host holds them; the formats are little-endian.
static_assert(std::endian::native == std::endian::little,
              "stream files assume a little-endian host");

class File {
 public:
  enum class Mode { CreateReadWrite, ReadOnly };

  static std::optional<File> open(const std::string& name, Mode mode);
  File(File&& other) noexcept : fd_(other.fd_), position_(other.position_) { other.fd_ = -1; }
  File& operator=(File&&) = delete;
  File(const File&) = delete;
  ~File();

  // Closes and reports whether the system accepted the close.
  bool close();

  bool seek(int64_t position);
  bool seekToEnd();
  int64_t position() const { return position_; }
  std::optional<int64_t> length() const;

  // Reads up to `bytes` at the position, returns how many arrived.
  std::size_t read(void* into, std::size_t bytes);
  bool readExactly(void* into, std::size_t bytes) { return read(into, bytes) == bytes; }
  // Writes at the position; false when not every byte reached the file.
  bool write(const void* from, std::size_t bytes);
  // Cuts the file back to `length` and leaves the position there; used to take back a frame
  // that was only partly written, so later frames stay on the frame grid.
  bool truncate(int64_t length);

 private:
  explicit File(int fd) : fd_(fd) {}
  int fd_ = -1;
  int64_t position_ = 0;
};

}  // namespace irdex::stream

// The opaque handle of the C interface.
struct IRStream {
  explicit IRStream(irdex::stream::File f) : file(std::move(f)) {}
  irdex::stream::File file;
  // W x H of a signed container opened or created through this handle; appended frames
  // must carry exactly this many pixels or the fixed frame stride would break.
  std::optional<uint64_t> containerPixels;
};
