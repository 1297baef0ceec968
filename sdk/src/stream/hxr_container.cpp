#include "stream/hxr_container.h"

#include <array>
#include <cstring>
#include <limits>

#include "records/byte_order.h"

namespace irdex::stream {

static_assert(sizeof(HXRFileHeader) == kContainerHeaderBytes);
static_assert(sizeof(HXRFrame) == kContainerFrameHeadBytes);
static_assert(offsetof(HXRFileHeader, frameCount) == kFrameCountPosition);
static_assert(offsetof(HXRFrame, pixelCount) == 16);

namespace {

constexpr char kSignature[3] = {'H', 'X', 'R'};

uint64_t pixelsOf(const HXRFileHeader& header) {
  return static_cast<uint64_t>(header.width) * header.height;
}

uint8_t* pixelsBehind(HXRFrame& frame) { return reinterpret_cast<uint8_t*>(&frame) + sizeof frame; }

// Position of the frame with the 0-based index, none when it lies beyond any file.
std::optional<int64_t> framePosition(int64_t index, int64_t stride) {
  int64_t product = 0;
  if (index < 0 || __builtin_mul_overflow(index, stride, &product) ||
      product > std::numeric_limits<int64_t>::max() - kContainerHeaderBytes) {
    return std::nullopt;
  }
  return kContainerHeaderBytes + product;
}

}  // namespace

Status createContainer(const std::string& name, HXRFileHeader& header,
                       const std::optional<std::tm>& localTime, std::unique_ptr<IRStream>& out) {
  auto file = File::open(name, File::Mode::CreateReadWrite);
  if (!file) return SDK_ERR_OPEN_FILE;
  if (header.frameRate <= 0) header.frameRate = kDefaultFrameRate;
  std::memcpy(header.signature, kSignature, sizeof kSignature);
  header.version = kContainerVersion;
  header.format = kContainerFormat;
  if (localTime) {
    header.year = localTime->tm_year + 1900;
    header.month = localTime->tm_mon + 1;
    header.day = localTime->tm_mday;
    header.hour = localTime->tm_hour;
    header.minute = localTime->tm_min;
    header.second = localTime->tm_sec;
  } else {
    header.year = header.month = header.day = 0;
    header.hour = header.minute = header.second = -1;
  }
  // A new container holds no frame; a count carried over in a reused record would send
  // readers to frames that do not exist.
  header.frameCount = 0;
  if (!file->write(&header, sizeof header)) {
    file->close();
    return SDK_ERR_OPEN_FILE;
  }
  auto stream = std::make_unique<IRStream>(std::move(*file));
  stream->containerPixels = pixelsOf(header);
  out = std::move(stream);
  return SDK_SUCCESS;
}

Status openContainer(const std::string& name, HXRFileHeader& header,
                     std::unique_ptr<IRStream>& out) {
  if (!hasStreamFileExtension(name)) return SDK_ERR_OPEN_FILE;
  auto file = File::open(name, File::Mode::ReadOnly);
  if (!file) return SDK_ERR_OPEN_FILE;
  std::array<uint8_t, kContainerHeaderBytes> bytes;
  if (!file->readExactly(bytes.data(), bytes.size())) {
    file->close();
    return SDK_ERR_BUFFER;
  }
  std::memcpy(&header, bytes.data(), bytes.size());
  if (std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0) {
    file->close();
    return SDK_ERR_HXR_SIGNATURE;
  }
  auto stream = std::make_unique<IRStream>(std::move(*file));
  stream->containerPixels = pixelsOf(header);
  out = std::move(stream);
  return SDK_SUCCESS;
}

Status appendContainerFrame(IRStream& stream, HXRFrame& frame, int64_t now) {
  HXRFrame head = frame;
  head.mark = kContainerFrameMark;
  head.zero = 0;
  head.frameNumber += 1;
  head.time = now;
  if (stream.containerPixels && head.pixelCount != *stream.containerPixels) {
    return SDK_ERR_BUFFER;
  }

  File& file = stream.file;
  const auto end = file.length();
  if (!end || !file.seek(*end)) return SDK_ERR_WRITE_IR_IMAGE;
  // The frame goes in first and the count after it, so the header never names a frame the
  // file does not hold whole.
  std::array<uint8_t, 4> count;
  writeLe32(count.data(), head.frameNumber);
  const bool written =
      file.write(&head, sizeof head) &&
      file.write(pixelsBehind(frame), 2 * static_cast<std::size_t>(head.pixelCount)) &&
      file.seek(kFrameCountPosition) && file.write(count.data(), count.size());
  if (!written) {
    file.truncate(*end);
    return SDK_ERR_WRITE_IR_IMAGE;
  }
  std::memcpy(&frame, &head, sizeof head);
  return SDK_SUCCESS;
}

Status queryContainerFrame(IRStream& stream, const HXRFileHeader& header, HXRFrame& frame,
                           int32_t mode, bool wrap) {
  const uint64_t pixels = pixelsOf(header);
  const auto stride = static_cast<int64_t>(2 * pixels) + kContainerFrameHeadBytes;
  const int64_t count = header.frameCount;
  int64_t index = 0;
  switch (static_cast<QueryMode>(mode)) {
    case QueryMode::Next: {
      int64_t current = frame.frameNumber;
      if (current >= count) {
        if (!wrap) return SDK_ERR_END_OF_IR_IMAGE;
        current = 0;
      }
      index = current;
      break;
    }
    case QueryMode::Previous:
      if (frame.frameNumber < 2) return SDK_ERR_START_OF_IR_IMAGE;
      index = static_cast<int64_t>(frame.frameNumber) - 2;
      break;
    case QueryMode::First: index = 0; break;
    default: index = count - 1; break;
  }
  const auto position = framePosition(index, stride);
  if (!position) return SDK_ERR_BUFFER;

  File& file = stream.file;
  HXRFrame head;
  if (!file.seek(*position) || !file.readExactly(&head, sizeof head)) return SDK_ERR_BUFFER;
  if (head.mark != kContainerFrameMark) return SDK_ERR_FRAME_POSITION;
  // The caller's buffer holds the header's W x H pixels; a frame claiming any other count
  // is not one of this container's frames.
  if (head.pixelCount != pixels) return SDK_ERR_BUFFER;
  if (!file.readExactly(pixelsBehind(frame), 2 * static_cast<std::size_t>(pixels))) {
    return SDK_ERR_BUFFER;
  }
  std::memcpy(&frame, &head, sizeof head);
  return SDK_SUCCESS;
}

}  // namespace irdex::stream
