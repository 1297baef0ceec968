#include "snapshot/segment_format.h"
#include "snapshot/snapshot.h"

#include <turbojpeg.h>

#include <algorithm>
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

void appendSegmentHead(std::vector<uint8_t>& out, std::size_t payloadBytes, uint8_t kind,
                       uint8_t count, uint8_t index) {
  uint8_t head[2 + kSegmentOverhead] = {};
  head[0] = kMarkerPrefix;
  head[1] = kApp1;
  writeBe16(head + 2, static_cast<uint16_t>(payloadBytes + kSegmentOverhead));
  uint8_t* header = head + 4;
  header[0] = kSignature0;
  header[1] = kSignature1;
  header[2] = kSignatureSpace;
  header[kKindAt] = kind;
  header[kCountAt] = count;
  header[kIndexAt] = index;
  out.insert(out.end(), std::begin(head), std::end(head));
}

void appendPixelsLittleEndian(std::vector<uint8_t>& out, const uint16_t* pixels,
                              std::size_t count) {
  const std::size_t at = out.size();
  out.resize(at + count * 2);
  uint8_t* dest = out.data() + at;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(dest, pixels, count * 2);
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      dest[2 * i] = static_cast<uint8_t>(pixels[i]);
      dest[2 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
    }
  }
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

std::vector<uint8_t> insertIrSegments(std::span<const uint8_t> jpeg, const IrData& ir) {
  if (jpeg.size() < 6 ||
      !std::equal(std::begin(kApp0Signature), std::end(kApp0Signature), jpeg.begin())) {
    return {};
  }
  const std::size_t app0Length = readBe16(jpeg.data() + 4);
  const std::size_t app0End = 4 + app0Length;
  if (app0Length < kLengthBytes || app0End > jpeg.size()) return {};

  // Files never carry the extra row, so only the picture's own rows are bounded here.
  const uint16_t width = ir.width();
  const uint16_t height = ir.height();
  if (width == 0 || height == 0 || width > kMaxWidth || height > kMaxHeight) return {};
  const std::size_t pixelCount = std::size_t{width} * height;
  if (ir.pixels.size() < pixelCount) return {};

  const std::size_t segments = pixelSegmentCount(width, height);
  std::vector<uint8_t> out;
  out.reserve(jpeg.size() + 2 + kSegmentOverhead + kInformationPayload +
              segments * (2 + kSegmentOverhead) + pixelCount * 2);
  out.insert(out.end(), jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(app0End));

  appendSegmentHead(out, kInformationPayload, kKindInformation, 1, 1);
  out.insert(out.end(), ir.info.begin(), ir.info.end());
  out.insert(out.end(), ir.camHeader.begin(), ir.camHeader.end());

  const std::size_t chunkPixels = kPixelChunkBytes / 2;
  for (std::size_t k = 0; k < segments; ++k) {
    const std::size_t first = k * chunkPixels;
    const std::size_t count = std::min(chunkPixels, pixelCount - first);
    appendSegmentHead(out, count * 2, kKindPixels, static_cast<uint8_t>(segments),
                      static_cast<uint8_t>(k + 1));
    appendPixelsLittleEndian(out, ir.pixels.data() + first, count);
  }

  out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(app0End), jpeg.end());
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
  std::vector<uint8_t> withIr;
  if (ir != nullptr) withIr = insertIrSegments(jpeg, *ir);
  result.irInserted = !withIr.empty();
  result.error = replaceFileAtomically(path, result.irInserted ? withIr : jpeg);
  return result;
}

}  // namespace snapshot
