// The IR stream file: an IRHeader, for later versions an IRHeaderExt, then frames back to
// back, each opened by the frame mark. There is no index; readers walk with the fixed frame
// size from the first frame position.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "stream/frame_layout.h"
#include "stream/stream_file.h"

namespace irdex::stream {

using Status = int32_t;

// Creates (truncating) a stream file and writes its header, and the extension when given.
Status createStreamFile(const std::string& name, const IRHeader& header, const IRHeaderExt* ext,
                        std::unique_ptr<IRStream>& out);
// Opens an existing stream file for reading; its length saturates at the largest 32-bit
// offset, so longer files play as far as the offsets reach.
Status openStreamFile(const std::string& name, std::unique_ptr<IRStream>& out, int32_t& fileLength);
Status closeStream(std::unique_ptr<IRStream> stream);

// Appends one frame at the end of the file. A frame that cannot be written whole is taken
// back, so the file keeps only whole frames.
Status appendStreamFrame(IRStream& stream, const FrameLayout& layout,
                         std::span<const uint16_t> pixels, int32_t timing, int64_t now);

// The rules of the two writing exports around appendStreamFrame: their counters, limits and
// the order in which those are checked.
// `pixels` holds the frame's whole pixel count: N, or N + W from version 32 on.
Status writePlainFrame(IRStream& stream, const uint16_t* pixels, int64_t pixelCount, int32_t timing,
                       uint16_t& frameCounter, int64_t now);
Status writeVersionedFrame(IRStream& stream, const uint16_t* pixels, int64_t pixelCount,
                           int32_t timing, uint32_t& frameCounter, int32_t version, int64_t now);

Status readHeader(IRStream& stream, IRHeader& header, int32_t& offset);
Status readHeaders(IRStream& stream, IRHeader& header, IRHeaderExt& ext, int32_t& offset);

struct FrameStamp {
  int32_t timing = 0;
  int64_t time = 0;  // only in layouts with time stamps
};

// Reads the frame at the offset and moves the offset to the next one. The last whole frame
// comes with -6 (or, wrapping, with 1 and the offset on the first frame).
Status readForward(IRStream& stream, const FrameLayout& layout, std::span<uint16_t> pixels,
                   int64_t fileLength, int32_t& offset, FrameStamp& stamp, bool wrap,
                   int32_t firstFrame);
// Reads the frame at the offset and moves the offset one frame back; -7 once the frame
// before would be the first one.
Status readBackward(IRStream& stream, const FrameLayout& layout, std::span<uint16_t> pixels,
                    int32_t& offset, FrameStamp& stamp, int32_t firstFrame);

}  // namespace irdex::stream
