#include "export/codec_choice.h"

#include <cctype>
#include <cstring>

namespace solvane::exports::detail {
namespace {

struct KnownCode {
  const char* fourcc;
  AVCodecID id;
};

// Codes the old installed compressors answered to; MPG4 and DIVX named MPEG-4 part 2
// compressors there, whatever the AVI tag tables say about them.
constexpr KnownCode kKnownCodes[] = {
    {"MSVC", AV_CODEC_ID_MSVIDEO1}, {"CRAM", AV_CODEC_ID_MSVIDEO1}, {"WHAM", AV_CODEC_ID_MSVIDEO1},
    {"XVID", AV_CODEC_ID_MPEG4},    {"MPG4", AV_CODEC_ID_MPEG4},    {"DIVX", AV_CODEC_ID_MPEG4},
    {"DX50", AV_CODEC_ID_MPEG4},    {"FMP4", AV_CODEC_ID_MPEG4},    {"MP4V", AV_CODEC_ID_MPEG4},
    {"MJPG", AV_CODEC_ID_MJPEG},
};

}  // namespace

const AVCodecTag* const* aviCodecTags() {
  const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
  return avi ? avi->codec_tag : nullptr;
}

uint32_t fourccTag(const std::string& fourcc) {
  char c[4] = {' ', ' ', ' ', ' '};
  std::memcpy(c, fourcc.data(), std::min<std::size_t>(fourcc.size(), 4));
  return MKTAG(c[0], c[1], c[2], c[3]);
}

AVCodecID codecIdForFourcc(const std::string& fourcc) {
  if (fourcc.size() != 4) return AV_CODEC_ID_NONE;
  std::string upper = fourcc;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto& known : kKnownCodes) {
    if (upper == known.fourcc) return known.id;
  }
  const AVCodecTag* const* tags = aviCodecTags();
  if (!tags) return AV_CODEC_ID_NONE;
  return av_codec_get_id(tags, fourccTag(fourcc));
}

const AVCodec* softwareEncoderFor(AVCodecID id) {
  if (id == AV_CODEC_ID_NONE) return nullptr;
  void* iterator = nullptr;
  while (const AVCodec* codec = av_codec_iterate(&iterator)) {
    if (codec->id != id || !av_codec_is_encoder(codec)) continue;
    if (codec->capabilities &
        (AV_CODEC_CAP_HARDWARE | AV_CODEC_CAP_HYBRID | AV_CODEC_CAP_EXPERIMENTAL)) {
      continue;
    }
    return codec;
  }
  return nullptr;
}

}  // namespace solvane::exports::detail
