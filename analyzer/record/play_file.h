// One stream file opened for playback: its headers, its geometry, the caller-held read
// offset, the frame record the pipeline reads (camera header from the file, pixels from the
// stream, the KS calibration slot of version 33 and above) and the pixel buffer.
#pragma once

#include "record/stream_geometry.h"

#include <irdex.h>

#include <cstdint>
#include <string>
#include <vector>

namespace solvane::record {

struct FrameRead {
  SdkStatus status = SDK_ERR_READ_IR_IMAGE;
  int32_t frame = 0;  // index of the frame delivered
  int32_t timing = 0;
  int64_t timeStamp = 0;
};

class PlayFile {
 public:
  PlayFile();
  ~PlayFile();
  PlayFile(const PlayFile&) = delete;
  PlayFile& operator=(const PlayFile&) = delete;

  // Opens a stream file; on failure nothing stays open and `error` holds the text to show.
  bool open(const std::string& path, std::string& error);
  // Releases the calibration slot and closes the stream; false when closing failed.
  bool close();
  bool isOpen() const { return stream_ != nullptr; }

  const IRHeader& header() const { return header_; }
  const IRHeaderExt& headerExt() const { return headerExt_; }
  const StreamGeometry& geometry() const { return geometry_; }
  int32_t fileLength() const { return fileLength_; }
  int32_t frameCount() const { return frameCount_; }
  uint8_t rangeIndex() const { return headerExt_.recorder; }
  EnvParams env() const;

  // Reads frame `index` going forward (index == frameCount is past the end: the first frame
  // with `wrap`, else the last one with the end status) or backward.
  FrameRead readForward(int32_t index, bool wrap);
  FrameRead readBackward(int32_t index);

  // The record of the frame last read: `pixels` points into this file's buffer.
  const IRFrame& frame() const { return frame_; }
  const std::vector<uint16_t>& pixels() const { return pixels_; }

 private:
  FrameRead finish(SdkStatus status, int32_t frame, int32_t timing, int64_t stamp);

  IRStreamHandle stream_ = nullptr;
  IRHeader header_{};
  IRHeaderExt headerExt_{};
  StreamGeometry geometry_;
  int32_t fileLength_ = 0;
  int32_t frameCount_ = 0;
  IRFrame frame_{};
  std::vector<uint16_t> pixels_;
};

}  // namespace solvane::record
