// Exports of the stream area: C adapters over irdex::stream. They check pointers in the
// order the interface names, take and give back the handle, and keep exceptions inside.
#include <irdex.h>

#include "records/boundary.h"

#include <ctime>
#include <memory>
#include <optional>
#include <span>

#include "stream/frame_layout.h"
#include "stream/hxr_container.h"
#include "stream/ir_stream.h"

namespace {

namespace st = irdex::stream;

int64_t currentTime() { return static_cast<int64_t>(std::time(nullptr)); }

std::optional<std::tm> currentLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || !localtime_r(&now, &local)) return std::nullopt;
  return local;
}

// A time-stamped layout delivers its stamp, so it needs somewhere to put it.
bool readArgumentsMissing(const int32_t* offset, const int32_t* timing, const int64_t* timeStamp,
                          int32_t pixelCount, const st::FrameLayout& layout) {
  return !offset || !timing || pixelCount < 0 || (layout.timeStamp && !timeStamp);
}

// Pixels of one frame as the caller's buffer holds them (the count is checked first).
std::span<uint16_t> framePixels(uint16_t* pixels, const st::FrameLayout& layout) {
  return {pixels, static_cast<std::size_t>(layout.pixelsPerFrame())};
}

SdkStatus readForwardExport(IRStreamHandle s, uint16_t* pixels, int32_t pixelCount,
                            int32_t fileLength, int32_t* offset, int32_t* timing,
                            int64_t* timeStamp, bool wrap, const st::FrameLayout& layout,
                            int32_t firstFrame) {
  if (!pixels) return SDK_ERR_BUFFER;
  if (!s) return SDK_ERR_OPEN_FILE;
  if (readArgumentsMissing(offset, timing, timeStamp, pixelCount, layout)) return SDK_ERR_BUFFER;
  st::FrameStamp stamp;
  const SdkStatus status = st::readForward(*s, layout, framePixels(pixels, layout), fileLength,
                                           *offset, stamp, wrap, firstFrame);
  if (status == SDK_SUCCESS || status == SDK_ERR_END_OF_IR_IMAGE) {
    *timing = stamp.timing;
    if (layout.timeStamp) *timeStamp = stamp.time;
  }
  return status;
}

SdkStatus readBackwardExport(IRStreamHandle s, uint16_t* pixels, int32_t pixelCount,
                             int32_t* offset, int32_t* timing, int64_t* timeStamp,
                             const st::FrameLayout& layout, int32_t firstFrame) {
  if (!pixels) return SDK_ERR_BUFFER;
  if (!s) return SDK_ERR_OPEN_FILE;
  if (readArgumentsMissing(offset, timing, timeStamp, pixelCount, layout)) return SDK_ERR_BUFFER;
  st::FrameStamp stamp;
  const SdkStatus status =
      st::readBackward(*s, layout, framePixels(pixels, layout), *offset, stamp, firstFrame);
  if (status == SDK_SUCCESS || status == SDK_ERR_START_OF_IR_IMAGE) {
    *timing = stamp.timing;
    if (layout.timeStamp) *timeStamp = stamp.time;
  }
  return status;
}

SdkStatus saveHeaders(IRStreamHandle* out, const char* fileName, const IRHeader* header,
                      const IRHeaderExt* ext, bool withExtension) {
  if (withExtension && out) *out = nullptr;
  if (!out || !fileName || !header || (withExtension && !ext)) return SDK_ERR_OPEN_FILE;
  return irdex::guarded([&] {
    std::unique_ptr<IRStream> stream;
    const SdkStatus status = st::createStreamFile(fileName, *header, ext, stream);
    if (status == SDK_SUCCESS) *out = stream.release();
    return status;
  });
}

}  // namespace

extern "C" {

IRDEX_API SdkStatus SaveIRImage(IRStreamHandle* out, const char* fileName, const IRHeader* header) {
  return saveHeaders(out, fileName, header, nullptr, false);
}

IRDEX_API SdkStatus SaveIRHeader(IRStreamHandle* out, const char* fileName, const IRHeader* header,
                                 const IRHeaderExt* ext) {
  return saveHeaders(out, fileName, header, ext, true);
}

IRDEX_API SdkStatus SetIRImageToStream(IRStreamHandle s, const uint16_t* pixels, int32_t pixelCount,
                                       int32_t timing, uint16_t* frameCounter) {
  if (!pixels || !frameCounter || pixelCount < 0) return SDK_ERR_BUFFER;
  if (*frameCounter > st::kMaxFirstLayoutCounter) return SDK_ERR_FRAME_COUNT_OVER;
  if (!s) return SDK_ERR_OPEN_FILE;
  return st::writePlainFrame(*s, pixels, pixelCount, timing, *frameCounter, currentTime());
}

IRDEX_API SdkStatus SetIRImageToStream_v2(IRStreamHandle s, const uint16_t* pixels,
                                          int32_t pixelCount, int32_t timing,
                                          uint32_t* frameCounter, int32_t version) {
  if (!pixels) return SDK_ERR_BUFFER;
  if (!s) return SDK_ERR_OPEN_FILE;
  if (!frameCounter || pixelCount < 0) return SDK_ERR_BUFFER;
  return st::writeVersionedFrame(*s, pixels, pixelCount, timing, *frameCounter, version,
                                 currentTime());
}

IRDEX_API SdkStatus LoadIRImage(IRStreamHandle* out, const char* fileName, int32_t* fileLength) {
  if (!out || !fileName) return SDK_ERR_OPEN_FILE;
  if (!fileLength) return SDK_ERR_BUFFER;
  return irdex::guarded([&] {
    std::unique_ptr<IRStream> stream;
    const SdkStatus status = st::openStreamFile(fileName, stream, *fileLength);
    if (status == SDK_SUCCESS) *out = stream.release();
    return status;
  });
}

IRDEX_API SdkStatus GetIRHeader(IRStreamHandle s, IRHeader* header, int32_t* offset) {
  if (!s) return SDK_ERR_STREAM_BUFFER;
  if (!header || !offset) return SDK_ERR_BUFFER;
  return st::readHeader(*s, *header, *offset);
}

IRDEX_API SdkStatus GetIRHeaders(IRStreamHandle s, IRHeader* header, IRHeaderExt* ext,
                                 int32_t* offset) {
  if (!s) return SDK_ERR_STREAM_BUFFER;
  if (!header || !ext || !offset) return SDK_ERR_BUFFER;
  return st::readHeaders(*s, *header, *ext, *offset);
}

IRDEX_API SdkStatus GetIRImageFromStream(IRStreamHandle s, uint16_t* pixels, int32_t pixelCount,
                                         int32_t fileLength, int32_t* offset, int32_t* timing,
                                         int32_t wrap) {
  return readForwardExport(s, pixels, pixelCount, fileLength, offset, timing, nullptr, wrap != 0,
                           st::FrameLayout::plain(pixelCount), st::firstFramePosition(false));
}

IRDEX_API SdkStatus GetIRImageFromStream_n(IRStreamHandle s, uint16_t* pixels, int32_t pixelCount,
                                           int32_t fileLength, int32_t* offset, int32_t* timing,
                                           int32_t wrap, int32_t extension) {
  return readForwardExport(s, pixels, pixelCount, fileLength, offset, timing, nullptr, wrap != 0,
                           st::FrameLayout::plain(pixelCount),
                           st::firstFramePosition(extension != 0));
}

IRDEX_API SdkStatus GetIRImageFromStream_v2(IRStreamHandle s, uint16_t* pixels, int32_t pixelCount,
                                            int32_t fileLength, int32_t* offset, int32_t* timing,
                                            int64_t* timeStamp, int32_t wrap, int32_t version) {
  const auto layout = st::FrameLayout::forVersion(version, pixelCount);
  return readForwardExport(s, pixels, pixelCount, fileLength, offset, timing, timeStamp, wrap != 0,
                           layout, st::firstFramePositionForVersion(version));
}

IRDEX_API SdkStatus GetRevIRImageFromStream(IRStreamHandle s, uint16_t* pixels, int32_t pixelCount,
                                            int32_t* offset, int32_t* timing) {
  return readBackwardExport(s, pixels, pixelCount, offset, timing, nullptr,
                            st::FrameLayout::plain(pixelCount), st::firstFramePosition(false));
}

IRDEX_API SdkStatus GetRevIRImageFromStream_n(IRStreamHandle s, uint16_t* pixels,
                                              int32_t pixelCount, int32_t* offset, int32_t* timing,
                                              int32_t extension) {
  return readBackwardExport(s, pixels, pixelCount, offset, timing, nullptr,
                            st::FrameLayout::plain(pixelCount),
                            st::firstFramePosition(extension != 0));
}

IRDEX_API SdkStatus GetRevIRImageFromStream_v2(IRStreamHandle s, uint16_t* pixels,
                                               int32_t pixelCount, int32_t* offset, int32_t* timing,
                                               int64_t* timeStamp, int32_t version) {
  const auto layout = st::FrameLayout::forVersion(version, pixelCount);
  return readBackwardExport(s, pixels, pixelCount, offset, timing, timeStamp, layout,
                            st::firstFramePositionForVersion(version));
}

IRDEX_API SdkStatus CloseIRStream(IRStreamHandle s) {
  return st::closeStream(std::unique_ptr<IRStream>(s));
}

IRDEX_API SdkStatus HXRFileOpen(IRStreamHandle* out, const char* fileName, int32_t mode,
                                HXRFileHeader* header) {
  constexpr int32_t kCreate = 1;
  if (!out || !fileName) return SDK_ERR_OPEN_FILE;
  if (!header) return mode == kCreate ? SDK_ERR_OPEN_FILE : SDK_ERR_BUFFER;
  return irdex::guarded([&] {
    std::unique_ptr<IRStream> stream;
    const SdkStatus status =
        mode == kCreate ? st::createContainer(fileName, *header, currentLocalTime(), stream)
                        : st::openContainer(fileName, *header, stream);
    if (status == SDK_SUCCESS) *out = stream.release();
    return status;
  });
}

IRDEX_API SdkStatus AppendNewFrame(IRStreamHandle s, HXRFrame* frame, uint16_t dataFlag) {
  if (dataFlag == 0 || !frame) return SDK_ERR_BUFFER;
  if (frame->frameNumber > st::kMaxContainerFrameNumber) return SDK_ERR_FRAME_COUNT_OVER;
  if (!s) return SDK_ERR_OPEN_FILE;
  return st::appendContainerFrame(*s, *frame, currentTime());
}

IRDEX_API SdkStatus QueryFrame(IRStreamHandle s, HXRFileHeader header, HXRFrame* frame,
                               uint32_t /*unused*/, int32_t mode, int32_t wrap) {
  if (!frame) return SDK_ERR_BUFFER;
  if (!s) return SDK_ERR_OPEN_FILE;
  return st::queryContainerFrame(*s, header, *frame, mode, wrap != 0);
}

}  // extern "C"
