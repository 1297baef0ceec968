#include "record/play_file.h"

#include "record/record_rules.h"

#include <algorithm>
#include <cstring>

namespace solvane::record {

PlayFile::PlayFile() = default;

PlayFile::~PlayFile() { close(); }

EnvParams PlayFile::env() const {
  return EnvParams{header_.emissivity, header_.atmosphericTemp, header_.transmission,
                   header_.reserved};
}

bool PlayFile::open(const std::string& path, std::string& error) {
  close();
  IRStreamHandle stream = nullptr;
  int32_t length = 0;
  // A file that cannot be opened ends the load here: its headers would be read from nothing.
  if (LoadIRImage(&stream, path.c_str(), &length) != SDK_SUCCESS || !stream) {
    error = kFileLoadError;
    return false;
  }
  IRHeader header{};
  IRHeaderExt ext{};
  int32_t firstFrame = 0;
  const SdkStatus status = GetIRHeaders(stream, &header, &ext, &firstFrame);
  const auto geometry = streamGeometryOf(header);
  if (status != SDK_SUCCESS || !geometry) {
    CloseIRStream(stream);
    error = kFileLoadError;
    return false;
  }
  stream_ = stream;
  header_ = header;
  headerExt_ = ext;
  geometry_ = *geometry;
  fileLength_ = length;
  frameCount_ = geometry_.frameCount(length);

  pixels_.assign(static_cast<std::size_t>(geometry_.pixelsPerFrame), 0);
  frame_ = IRFrame{};
  frame_.pixels = pixels_.data();
  frame_.pixelCapacity = static_cast<uint32_t>(pixels_.size());
  frame_.packetKind = -1;
  if (geometry_.version > 16) {
    std::memcpy(frame_.header.bytes, headerExt_.camHeader, sizeof frame_.header.bytes);
  }
  if (CreateIRCamDataKS(&frame_) != SDK_SUCCESS) {
    close();
    error = kFileLoadError;
    return false;
  }
  return true;
}

bool PlayFile::close() {
  if (!stream_) return true;
  CloseIRCamDataKS(&frame_);
  const bool closed = CloseIRStream(stream_) == SDK_SUCCESS;
  stream_ = nullptr;
  frameCount_ = 0;
  fileLength_ = 0;
  return closed;
}

FrameRead PlayFile::finish(SdkStatus status, int32_t frame, int32_t timing, int64_t stamp) {
  FrameRead read;
  read.status = status;
  read.frame = frame;
  read.timing = timing;
  read.timeStamp = stamp;
  if (status == SDK_SUCCESS || status == SDK_ERR_END_OF_IR_IMAGE ||
      status == SDK_ERR_START_OF_IR_IMAGE) {
    LoadIRCamDataKS(&frame_, pixels_.data(), static_cast<int32_t>(pixels_.size()));
  }
  return read;
}

FrameRead PlayFile::readForward(int32_t index, bool wrap) {
  if (!stream_ || frameCount_ == 0) return FrameRead{};
  index = std::clamp(index, 0, frameCount_);
  int32_t offset = static_cast<int32_t>(geometry_.positionOf(index));
  // Past the last frame the export moves on by itself: to the first frame or the last one.
  const int32_t delivered = index < frameCount_ ? index : (wrap ? 0 : frameCount_ - 1);
  int32_t timing = 0;
  int64_t stamp = 0;
  const SdkStatus status =
      GetIRImageFromStream_v2(stream_, pixels_.data(), geometry_.imagePixels(), fileLength_,
                              &offset, &timing, &stamp, wrap ? 1 : 0, geometry_.readVersion);
  return finish(status, delivered, timing, stamp);
}

FrameRead PlayFile::readBackward(int32_t index) {
  if (!stream_ || frameCount_ == 0) return FrameRead{};
  index = std::clamp(index, 0, frameCount_ - 1);
  int32_t offset = static_cast<int32_t>(geometry_.positionOf(index));
  int32_t timing = 0;
  int64_t stamp = 0;
  const SdkStatus status =
      GetRevIRImageFromStream_v2(stream_, pixels_.data(), geometry_.imagePixels(), &offset, &timing,
                                 &stamp, geometry_.readVersion);
  return finish(status, index, timing, stamp);
}

}  // namespace solvane::record
