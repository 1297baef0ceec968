#include "record/stream_geometry.h"

#include <algorithm>

namespace solvane::record {

namespace {
constexpr int32_t kHeaderBytes = 21;
constexpr int32_t kExtensionBytes = 1001;
constexpr int32_t kLastVersionWithoutExtension = 16;
constexpr int32_t kFirstVersionWithTimeStamp = 20;
constexpr int32_t kFirstVersionWithExtraRow = 32;

// The reading exports know the width only through the pixel count.
int32_t widthTheExportsDerive(int64_t pixelCount) {
  if (pixelCount == 640 * 480) return 640;
  if (pixelCount >= 320 * 240 && pixelCount <= 77039) return 320;
  return 384;
}
}  // namespace

int32_t readVersionFor(int32_t version) { return std::min(version, kFirstVersionWithExtraRow); }

int64_t firstFrameFor(int32_t version) {
  return version <= kLastVersionWithoutExtension ? kHeaderBytes : kHeaderBytes + kExtensionBytes;
}

int64_t frameBytesFor(int32_t version, int32_t width, int32_t height) {
  const int64_t pixels = int64_t{width} * height;
  if (version < kFirstVersionWithTimeStamp) return 2 * pixels + 8;
  if (version < kFirstVersionWithExtraRow) return 2 * (pixels + width);
  return 2 * (pixels + 2 * int64_t{width});
}

int32_t StreamGeometry::frameCount(int64_t fileLength) const {
  if (frameBytes <= 0 || fileLength <= firstFrame) return 0;
  return static_cast<int32_t>((fileLength - firstFrame) / frameBytes);
}

int32_t StreamGeometry::frameAt(int64_t offset) const {
  if (frameBytes <= 0 || offset <= firstFrame) return 0;
  return static_cast<int32_t>((offset - firstFrame) / frameBytes);
}

std::optional<StreamGeometry> streamGeometryOf(const IRHeader& header) {
  StreamGeometry g;
  g.version = header.version;
  g.readVersion = readVersionFor(g.version);
  g.width = header.width;
  g.height = header.height;
  if (g.width == 0 || g.height == 0) return std::nullopt;
  if (widthTheExportsDerive(g.imagePixels()) != g.width) return std::nullopt;
  g.firstFrame = firstFrameFor(g.version);
  g.frameBytes = frameBytesFor(g.readVersion, g.width, g.height);
  g.pixelsPerFrame = g.imagePixels() + (g.readVersion >= kFirstVersionWithExtraRow ? g.width : 0);
  return g;
}

}  // namespace solvane::record
