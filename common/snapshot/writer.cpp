#include "snapshot/atomic_file.h"
#include "snapshot/segment_format.h"
#include "snapshot/snapshot.h"

#include <turbojpeg.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

namespace snapshot {
namespace {

using namespace format;

constexpr uint8_t kApp0Signature[] = {kMarkerPrefix, kStartOfImage, kMarkerPrefix, kApp0};
constexpr std::size_t kInformationPayload = kInfoBlockSize + kCamHeaderSize;

struct TjHandleCloser {
  void operator()(void* handle) const { tjDestroy(handle); }
};
struct TjBufferFree {
  void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

int tjFormatOf(PixelFormat format) {
  switch (format) {
    case PixelFormat::Rgb: return TJPF_RGB;
    case PixelFormat::Bgr: return TJPF_BGR;
    case PixelFormat::Rgbx: return TJPF_RGBX;
    case PixelFormat::Bgrx: return TJPF_BGRX;
    case PixelFormat::Gray: return TJPF_GRAY;
  }
  return TJPF_RGB;
}

int bytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::Rgb:
    case PixelFormat::Bgr: return 3;
    case PixelFormat::Rgbx:
    case PixelFormat::Bgrx: return 4;
    case PixelFormat::Gray: return 1;
  }
  return 3;
}

bool pictureIsUsable(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(picture.width) *
                               static_cast<std::size_t>(bytesPerPixel(picture.format));
  if (picture.stride < 0 || static_cast<std::size_t>(picture.stride) < rowBytes) return false;
  const std::size_t needed =
      static_cast<std::size_t>(picture.stride) * static_cast<std::size_t>(picture.height - 1) +
      rowBytes;
  return picture.pixels.size() >= needed;
}

using SegmentHead = std::array<uint8_t, 2 + kSegmentOverhead>;

// Marker, big-endian length and the 32-byte segment header of one IR segment.
SegmentHead segmentHead(std::size_t payloadBytes, uint8_t kind, uint8_t count, uint8_t index) {
  SegmentHead head{};
  head[0] = kMarkerPrefix;
  head[1] = kApp1;
  writeBe16(head.data() + 2, static_cast<uint16_t>(payloadBytes + kSegmentOverhead));
  uint8_t* header = head.data() + 4;
  header[0] = kSignature0;
  header[1] = kSignature1;
  header[2] = kSignatureSpace;
  header[kKindAt] = kind;
  header[kCountAt] = count;
  header[kIndexAt] = index;
  return head;
}

// The counts as the file stores them, for hosts whose memory order is not the file's.
std::vector<uint8_t> littleEndianCopy(const uint16_t* pixels, std::size_t count) {
  std::vector<uint8_t> bytes(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    bytes[2 * i] = static_cast<uint8_t>(pixels[i]);
    bytes[2 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
  }
  return bytes;
}

}  // namespace

std::vector<uint8_t> encodeJpeg(const Picture& picture, int quality) {
  if (!pictureIsUsable(picture)) return {};
  std::unique_ptr<void, TjHandleCloser> handle(tjInitCompress());
  if (!handle) return {};
  unsigned char* raw = nullptr;
  unsigned long size = 0;
  const int subsampling = picture.format == PixelFormat::Gray ? TJSAMP_GRAY : TJSAMP_420;
  const int status = tjCompress2(handle.get(), picture.pixels.data(), picture.width, picture.stride,
                                 picture.height, tjFormatOf(picture.format), &raw, &size,
                                 subsampling, std::clamp(quality, 1, 100), 0);
  std::unique_ptr<unsigned char, TjBufferFree> buffer(raw);
  if (status != 0 || !buffer) return {};
  return std::vector<uint8_t>(buffer.get(), buffer.get() + size);
}

std::size_t pixelSegmentCount(uint16_t width, uint16_t height) {
  const std::size_t bytes = std::size_t{2} * width * height;
  return (bytes + kPixelChunkBytes - 1) / kPixelChunkBytes;
}

namespace {

// The snapshot as a list of byte ranges: the encoder's bytes and the caller's frame are
// referenced where they lie, only the small segment heads are made here. Writing the list
// costs no copy of the frame.
struct SnapshotPieces {
  std::vector<SegmentHead> heads;
  std::vector<uint8_t> littleEndianPixels;  // only on big-endian hosts
  std::vector<std::span<const uint8_t>> parts;
  std::size_t size() const {
    std::size_t total = 0;
    for (const auto& part : parts) total += part.size();
    return total;
  }
};

bool planIrSegments(std::span<const uint8_t> jpeg, const IrData& ir, SnapshotPieces& pieces) {
  if (jpeg.size() < 6 ||
      !std::equal(std::begin(kApp0Signature), std::end(kApp0Signature), jpeg.begin())) {
    return false;
  }
  const std::size_t app0Length = readBe16(jpeg.data() + 4);
  const std::size_t app0End = 4 + app0Length;
  if (app0Length < kLengthBytes || app0End > jpeg.size()) return false;

  // Files never carry the extra row, so only the picture's own rows are bounded here.
  const uint16_t width = ir.width();
  const uint16_t height = ir.height();
  if (width == 0 || height == 0 || width > kMaxWidth || height > kMaxHeight) return false;
  const std::size_t pixelCount = std::size_t{width} * height;
  if (ir.pixels.size() < pixelCount) return false;

  const uint8_t* pixelBytes = reinterpret_cast<const uint8_t*>(ir.pixels.data());
  if (std::endian::native != std::endian::little) {
    pieces.littleEndianPixels = littleEndianCopy(ir.pixels.data(), pixelCount);
    pixelBytes = pieces.littleEndianPixels.data();
  }

  const std::size_t segments = pixelSegmentCount(width, height);
  // Reserved up front: the parts point into these heads.
  pieces.heads.reserve(segments + 1);
  pieces.parts.push_back(jpeg.first(app0End));
  pieces.heads.push_back(segmentHead(kInformationPayload, kKindInformation, 1, 1));
  pieces.parts.push_back(pieces.heads.back());
  pieces.parts.push_back(ir.info);
  pieces.parts.push_back(ir.camHeader);
  for (std::size_t k = 0; k < segments; ++k) {
    const std::size_t first = k * kPixelChunkBytes;
    const std::size_t bytes = std::min(kPixelChunkBytes, pixelCount * 2 - first);
    pieces.heads.push_back(segmentHead(bytes, kKindPixels, static_cast<uint8_t>(segments),
                                       static_cast<uint8_t>(k + 1)));
    pieces.parts.push_back(pieces.heads.back());
    pieces.parts.push_back(std::span<const uint8_t>(pixelBytes + first, bytes));
  }
  pieces.parts.push_back(jpeg.subspan(app0End));
  return true;
}

}  // namespace

std::vector<uint8_t> insertIrSegments(std::span<const uint8_t> jpeg, const IrData& ir) {
  SnapshotPieces pieces;
  if (!planIrSegments(jpeg, ir, pieces)) return {};
  std::vector<uint8_t> out;
  out.reserve(pieces.size());
  for (const auto& part : pieces.parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

WriteResult writeSnapshotFile(const std::filesystem::path& path, const Picture& picture,
                              const IrData* ir, int quality) {
  WriteResult result;
  const std::vector<uint8_t> jpeg = encodeJpeg(picture, quality);
  if (jpeg.empty()) {
    result.error = WriteError::EncodeFailed;
    return result;
  }
  SnapshotPieces pieces;
  result.irInserted = ir != nullptr && planIrSegments(jpeg, *ir, pieces);
  if (!result.irInserted) pieces.parts.assign(1, jpeg);
  result.error = replaceFileWithPieces(path, pieces.parts);
  return result;
}

}  // namespace snapshot
