// Internal: from a four-character code to an FFmpeg encoder, shared by the writer and the
// codec list.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <string>

namespace solvane::exports::detail {

// The AVI muxer's table of codec tags.
const AVCodecTag* const* aviCodecTags();

uint32_t fourccTag(const std::string& fourcc);

// The codec a code stands for: the well-known codes of the old compressors first, then the
// AVI muxer's own table. AV_CODEC_ID_NONE when unknown.
AVCodecID codecIdForFourcc(const std::string& fourcc);

// A software encoder of that codec (hardware wrappers need devices a recording cannot count
// on), or null.
const AVCodec* softwareEncoderFor(AVCodecID id);

}  // namespace solvane::exports::detail
