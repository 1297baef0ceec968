#include "stream/ir_stream.h"

#include <array>
#include <cstring>
#include <limits>
#include <optional>

#include "records/byte_order.h"

namespace irdex::stream {

static_assert(sizeof(IRHeader) == kHeaderBytes);
static_assert(sizeof(IRHeaderExt) == kExtensionBytes);

namespace {

constexpr int64_t kMaxOffset = std::numeric_limits<int32_t>::max();
// Extension bytes 33 and 34 are the camera header version and model code; a first-
// generation file (17-byte header) has other bytes there.
constexpr std::size_t kExtCameraVersion = 33;
constexpr std::size_t kExtCameraModel = 34;

bool isKnownCameraModel(uint8_t model) {
  return model == 0 || model == 1 || model == 0x20 || model == 0x21;
}
bool isKnownCameraVersion(uint8_t version) {
  return version == 17 || version == 32 || version == 33;
}

// Start of the last frame that lies whole in the file, counted on the grid from the first
// frame; none when not even one frame fits.
std::optional<int64_t> lastWholeFrame(int64_t firstFrame, int64_t frameBytes, int64_t fileLength) {
  if (fileLength - firstFrame < frameBytes) return std::nullopt;
  return firstFrame + ((fileLength - firstFrame) / frameBytes - 1) * frameBytes;
}

Status readFrameAt(File& file, const FrameLayout& layout, int64_t at, std::span<uint16_t> pixels,
                   FrameStamp& stamp) {
  if (!file.seek(at)) return SDK_ERR_READ_IR_IMAGE;
  std::array<uint8_t, kMaxHeadBytes> head;
  const auto headBytes = static_cast<std::size_t>(layout.headBytes());
  const std::size_t got = file.read(head.data(), headBytes);
  if (got < 4) return SDK_ERR_READ_IR_IMAGE;
  if (readLe32(head.data()) != kFrameMark) return SDK_ERR_FRAME_POSITION;
  if (got < headBytes) return SDK_ERR_READ_IR_IMAGE;
  if (!file.readExactly(pixels.data(), pixels.size_bytes())) return SDK_ERR_READ_IR_IMAGE;
  stamp.timing = readLe32s(head.data() + 4);
  if (layout.timeStamp) stamp.time = static_cast<int64_t>(readLe64(head.data() + 8));
  return SDK_SUCCESS;
}

Status writeHeaderBlock(File& file, const IRHeader& header, const IRHeaderExt* ext) {
  std::array<uint8_t, kHeaderBytes + kExtensionBytes> bytes;
  std::memcpy(bytes.data(), &header, kHeaderBytes);
  std::size_t size = kHeaderBytes;
  if (ext) {
    std::memcpy(bytes.data() + kHeaderBytes, ext, kExtensionBytes);
    size += kExtensionBytes;
  }
  return file.write(bytes.data(), size) ? SDK_SUCCESS : SDK_ERR_OPEN_FILE;
}

}  // namespace

Status createStreamFile(const std::string& name, const IRHeader& header, const IRHeaderExt* ext,
                        std::unique_ptr<IRStream>& out) {
  auto file = File::open(name, File::Mode::CreateReadWrite);
  if (!file) return SDK_ERR_OPEN_FILE;
  if (writeHeaderBlock(*file, header, ext) != SDK_SUCCESS) {
    file->close();
    return SDK_ERR_OPEN_FILE;
  }
  out = std::make_unique<IRStream>(std::move(*file));
  return SDK_SUCCESS;
}

Status openStreamFile(const std::string& name, std::unique_ptr<IRStream>& out,
                      int32_t& fileLength) {
  if (!hasStreamFileExtension(name)) return SDK_ERR_OPEN_FILE;
  auto file = File::open(name, File::Mode::ReadOnly);
  if (!file) return SDK_ERR_OPEN_FILE;
  const auto length = file->length();
  if (!length || !file->seek(*length)) return SDK_ERR_OPEN_FILE;
  fileLength = static_cast<int32_t>(std::min(*length, kMaxOffset));
  out = std::make_unique<IRStream>(std::move(*file));
  return SDK_SUCCESS;
}

Status closeStream(std::unique_ptr<IRStream> stream) {
  if (!stream) return SDK_SUCCESS;
  return stream->file.close() ? SDK_SUCCESS : SDK_ERR_CLOSE_FILE;
}

Status appendStreamFrame(IRStream& stream, const FrameLayout& layout,
                         std::span<const uint16_t> pixels, int32_t timing, int64_t now) {
  File& file = stream.file;
  const auto end = file.length();
  if (!end || !file.seek(*end)) return SDK_ERR_WRITE_IR_IMAGE;
  if (*end > kMaxStreamFileBytes) return SDK_ERR_FRAME_COUNT_OVER;
  // Readers address frames with 32-bit offsets; a frame they could not reach is refused.
  if (*end + layout.frameBytes() > kMaxOffset) return SDK_ERR_FRAME_COUNT_OVER;

  std::array<uint8_t, kMaxHeadBytes> head{};
  writeLe32(head.data(), kFrameMark);
  writeLe32(head.data() + 4, static_cast<uint32_t>(timing > 0 ? timing : kDefaultTiming));
  if (layout.timeStamp) writeLe64(head.data() + 8, static_cast<uint64_t>(now));
  const bool whole = file.write(head.data(), static_cast<std::size_t>(layout.headBytes())) &&
                     file.write(pixels.data(), pixels.size_bytes());
  if (!whole) {
    file.truncate(*end);
    return SDK_ERR_WRITE_IR_IMAGE;
  }
  return SDK_SUCCESS;
}

// The counters count frames that reached the file: a refused or failed frame leaves them.
Status writePlainFrame(IRStream& stream, const uint16_t* pixels, int64_t pixelCount, int32_t timing,
                       uint16_t& frameCounter, int64_t now) {
  if (frameCounter > kMaxFirstLayoutCounter) return SDK_ERR_FRAME_COUNT_OVER;
  const auto layout = FrameLayout::plain(pixelCount);
  const std::span<const uint16_t> frame(pixels, static_cast<std::size_t>(pixelCount));
  const Status status = appendStreamFrame(stream, layout, frame, timing, now);
  if (status == SDK_SUCCESS) ++frameCounter;
  return status;
}

Status writeVersionedFrame(IRStream& stream, const uint16_t* pixels, int64_t pixelCount,
                           int32_t timing, uint32_t& frameCounter, int32_t version, int64_t now) {
  const auto layout = FrameLayout::forVersion(version, pixelCount);
  const std::span<const uint16_t> frame(pixels, static_cast<std::size_t>(layout.pixelsPerFrame()));
  const Status status = appendStreamFrame(stream, layout, frame, timing, now);
  if (status == SDK_SUCCESS) ++frameCounter;
  return status;
}

Status readHeader(IRStream& stream, IRHeader& header, int32_t& offset) {
  std::array<uint8_t, kHeaderBytes> bytes;
  if (!stream.file.seek(0) || !stream.file.readExactly(bytes.data(), bytes.size())) {
    return SDK_ERR_BUFFER;
  }
  std::memcpy(&header, bytes.data(), bytes.size());
  offset = kHeaderBytes;
  return SDK_SUCCESS;
}

Status readHeaders(IRStream& stream, IRHeader& header, IRHeaderExt& ext, int32_t& offset) {
  File& file = stream.file;
  std::array<uint8_t, kHeaderBytes> headerBytes;
  if (!file.seek(0) || !file.readExactly(headerBytes.data(), headerBytes.size())) {
    return SDK_ERR_BUFFER;
  }
  std::memcpy(&header, headerBytes.data(), headerBytes.size());
  if (headerBytes[0] <= kLastVersionWithoutExtension) {
    ext.recorder = 0;
    offset = kHeaderBytes;
    return SDK_SUCCESS;
  }

  // Bytes the file does not have stay zero, so a short file is never taken for a first-
  // generation one on the strength of bytes it never held.
  std::array<uint8_t, kExtensionBytes> extBytes{};
  std::size_t got = file.read(extBytes.data(), extBytes.size());
  int64_t after = kHeaderBytes + static_cast<int64_t>(got);
  if (!isKnownCameraModel(extBytes[kExtCameraModel]) &&
      !isKnownCameraVersion(extBytes[kExtCameraVersion])) {
    // First-generation header of 17 bytes: its first 17 bytes are those already in the
    // header buffer, so only the extension is read again from byte 17.
    extBytes.fill(0);
    file.seek(kFirstGenerationHeaderBytes);
    got = file.read(extBytes.data(), extBytes.size());
    after = kFirstGenerationHeaderBytes + static_cast<int64_t>(got);
  }
  std::memcpy(&ext, extBytes.data(), extBytes.size());
  offset = static_cast<int32_t>(after);
  return got == extBytes.size() ? SDK_SUCCESS : SDK_ERR_BUFFER;
}

Status readForward(IRStream& stream, const FrameLayout& layout, std::span<uint16_t> pixels,
                   int64_t fileLength, int32_t& offset, FrameStamp& stamp, bool wrap,
                   int32_t firstFrame) {
  if (offset < 0) return SDK_ERR_FRAME_POSITION;
  const int64_t frameBytes = layout.frameBytes();
  int64_t at = offset;
  if (fileLength - at < frameBytes) {
    // Past the last whole frame (a caller's offset, or the tail of a file cut short): the
    // end is the last whole frame, and the frame after it the first one.
    const auto last = lastWholeFrame(firstFrame, frameBytes, fileLength);
    if (!last) {
      offset = firstFrame;
      return SDK_ERR_READ_IR_IMAGE;
    }
    at = wrap ? firstFrame : *last;
  }
  FrameStamp read;
  const Status status = readFrameAt(stream.file, layout, at, pixels, read);
  if (status != SDK_SUCCESS) return status;
  stamp = read;
  const int64_t next = at + frameBytes;
  if (next + frameBytes <= fileLength) {
    offset = static_cast<int32_t>(next);
    return SDK_SUCCESS;
  }
  if (wrap) {
    offset = firstFrame;
    return SDK_SUCCESS;
  }
  offset = static_cast<int32_t>(at);
  return SDK_ERR_END_OF_IR_IMAGE;
}

Status readBackward(IRStream& stream, const FrameLayout& layout, std::span<uint16_t> pixels,
                    int32_t& offset, FrameStamp& stamp, int32_t firstFrame) {
  if (offset < 0) return SDK_ERR_FRAME_POSITION;
  FrameStamp read;
  const Status status = readFrameAt(stream.file, layout, offset, pixels, read);
  if (status != SDK_SUCCESS) return status;
  stamp = read;
  const int64_t previous = static_cast<int64_t>(offset) - layout.frameBytes();
  if (previous > firstFrame) {
    offset = static_cast<int32_t>(previous);
    return SDK_SUCCESS;
  }
  offset = firstFrame;
  return SDK_ERR_START_OF_IR_IMAGE;
}

}  // namespace irdex::stream
