#include "snapshot/segment_format.h"
#include "snapshot/snapshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>

namespace snapshot {
namespace {

using namespace format;

// Larger files are no snapshot of any camera; reading them whole would only cost memory.
constexpr std::uintmax_t kMaxFileBytes = 256u * 1024u * 1024u;

// A cursor over the file bytes that never reads past the end.
class Cursor {
 public:
  explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool has(std::size_t count) const { return bytes_.size() - pos_ >= count; }
  const uint8_t* take(std::size_t count) {
    const uint8_t* p = bytes_.data() + pos_;
    pos_ += count;
    return p;
  }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// The pixel buffer the information segment calls for: width x height, one more row for
// cameras that keep it; zero when the block claims a size no camera has.
std::size_t pixelCountFor(const IrData& data) {
  const std::size_t width = data.width();
  const std::size_t rows = data.height() + (data.headerVersion() >= kExtraRowVersion ? 1u : 0u);
  if (width == 0 || data.height() == 0 || width > kMaxWidth || rows > kMaxHeight) return 0;
  return width * rows;
}

void copyLittleEndian(std::span<const uint8_t> payload, std::size_t byteOffset,
                      std::vector<uint16_t>& pixels) {
  std::size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    if (byteOffset % 2 == 0) {
      const std::size_t whole = payload.size() / 2;
      std::memcpy(pixels.data() + byteOffset / 2, payload.data(), whole * 2);
      i = whole * 2;
    }
  }
  for (; i < payload.size(); ++i) {
    const std::size_t at = byteOffset + i;
    uint16_t& pixel = pixels[at / 2];
    if (at % 2 == 0) {
      pixel = static_cast<uint16_t>((pixel & 0xFF00u) | payload[i]);
    } else {
      pixel = static_cast<uint16_t>((pixel & 0x00FFu) | (payload[i] << 8));
    }
  }
}

}  // namespace

std::string_view messageFor(ReadError error) {
  switch (error) {
    case ReadError::None: return "";
    case ReadError::NotJpeg: return "";
    case ReadError::CannotOpen: return "Failed to load IR file!!";
    case ReadError::InvalidJpeg: return "Invalid jpeg file";
    case ReadError::MarkerHeader: return "Failed to read marker header!";
    case ReadError::PrematureEnd: return "Premature end of file?";
    case ReadError::NoIrData:
    case ReadError::DamagedIrData:
    case ReadError::NoInformation: return "No IR data!";
  }
  return "";
}

ReadResult readSnapshot(std::span<const uint8_t> file, ReadMode mode) {
  ReadResult result;
  auto fail = [&result](ReadError error) {
    result.error = error;
    result.data = IrData{};
    return result;
  };

  Cursor cursor(file);
  if (!cursor.has(2)) return fail(ReadError::NotJpeg);
  const uint8_t* soi = cursor.take(2);
  if (soi[0] != kMarkerPrefix || soi[1] != kStartOfImage) return fail(ReadError::NotJpeg);

  bool haveInformation = false;
  while (cursor.has(2)) {
    const uint8_t* marker = cursor.take(2);
    if (marker[0] != kMarkerPrefix) break;
    if (marker[1] != kApp0 && marker[1] != kApp1) break;

    if (!cursor.has(kLengthBytes)) return fail(ReadError::PrematureEnd);
    const std::size_t length = readBe16(cursor.take(kLengthBytes));
    if (length < kLengthBytes) return fail(ReadError::InvalidJpeg);

    if (marker[1] == kApp0) {
      if (!cursor.has(length - kLengthBytes)) return fail(ReadError::PrematureEnd);
      cursor.take(length - kLengthBytes);
      continue;
    }

    if (!cursor.has(kSegmentHeaderBytes)) return fail(ReadError::MarkerHeader);
    const uint8_t* header = cursor.take(kSegmentHeaderBytes);
    if (header[0] != kSignature0 || header[1] != kSignature1) return fail(ReadError::NoIrData);
    // The length must at least cover the header it announces.
    if (length < kSegmentOverhead) return fail(ReadError::DamagedIrData);
    const std::size_t payloadBytes = length - kSegmentOverhead;
    if (!cursor.has(payloadBytes)) return fail(ReadError::PrematureEnd);
    const std::span<const uint8_t> payload(cursor.take(payloadBytes), payloadBytes);

    const uint8_t kind = header[kKindAt];
    if (kind == kKindInformation) {
      if (payload.size() < kInfoBlockSize + kCamHeaderSize) return fail(ReadError::DamagedIrData);
      IrData& data = result.data;
      std::copy_n(payload.begin(), kInfoBlockSize, data.info.begin());
      std::copy_n(payload.begin() + kInfoBlockSize, kCamHeaderSize, data.camHeader.begin());
      const std::size_t pixelCount = pixelCountFor(data);
      if (pixelCount == 0) return fail(ReadError::DamagedIrData);
      // A later information segment starts the frame afresh, as the first one did.
      if (mode == ReadMode::Everything) data.pixels.assign(pixelCount, 0);
      haveInformation = true;
    } else if (kind == kKindPixels && mode == ReadMode::Everything) {
      const uint8_t count = header[kCountAt];
      const uint8_t index = header[kIndexAt];
      if (!haveInformation) return fail(ReadError::DamagedIrData);
      if (index == 0 || index > count) return fail(ReadError::DamagedIrData);
      if (payload.size() > kPixelChunkBytes) return fail(ReadError::DamagedIrData);
      const std::size_t byteOffset = static_cast<std::size_t>(index - 1) * kPixelChunkBytes;
      const std::size_t bufferBytes = result.data.pixels.size() * 2;
      if (byteOffset + payload.size() > bufferBytes) return fail(ReadError::DamagedIrData);
      copyLittleEndian(payload, byteOffset, result.data.pixels);
    }
    // Other kinds carry nothing this reader uses.
  }

  if (!haveInformation) return fail(ReadError::NoInformation);
  return result;
}

ReadResult readSnapshotFile(const std::filesystem::path& path, ReadMode mode) {
  ReadResult failed;
  failed.error = ReadError::CannotOpen;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return failed;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 ||
      static_cast<std::uintmax_t>(status.st_size) > kMaxFileBytes) {
    ::close(fd);
    return failed;
  }
  // Left uninitialised: every byte is read over at once.
  const auto size = static_cast<std::size_t>(status.st_size);
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size == 0 ? 1 : size]);
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, bytes.get() + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (got != size) return failed;
  return readSnapshot(std::span<const uint8_t>(bytes.get(), size), mode);
}

}  // namespace snapshot
