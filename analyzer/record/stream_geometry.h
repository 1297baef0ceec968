// Where the frames of a stream file lie, from its header and length. The frame sizes are the
// stream files' own for every version, so the slider, the frame count and the positions
// agree with what the reading exports step over.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <optional>

namespace solvane::record {

struct StreamGeometry {
  int32_t version = 0;      // byte 0 of the IRHeader
  int32_t readVersion = 0;  // the version the reading exports are given
  int32_t width = 0;
  int32_t height = 0;
  int64_t firstFrame = 0;      // byte of the first frame
  int64_t frameBytes = 0;      // bytes of one frame, head included
  int64_t pixelsPerFrame = 0;  // pixels one read delivers (the extra row included)

  int32_t imagePixels() const { return width * height; }
  int32_t frameCount(int64_t fileLength) const;
  int64_t positionOf(int32_t frame) const { return firstFrame + frame * frameBytes; }
  // The frame that starts at or before `offset` (0 before the first frame).
  int32_t frameAt(int64_t offset) const;
};

// Nothing for a header whose image the stream exports cannot read: a width or height of
// zero, or a pixel count from which they would derive another width than the header's.
std::optional<StreamGeometry> streamGeometryOf(const IRHeader& header);

// Version 33 and above are read as 32: their frames have the same layout.
int32_t readVersionFor(int32_t version);
int64_t frameBytesFor(int32_t version, int32_t width, int32_t height);
int64_t firstFrameFor(int32_t version);

}  // namespace solvane::record
