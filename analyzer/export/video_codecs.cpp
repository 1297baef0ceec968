#include "export/video_codecs.h"

#include "export/codec_choice.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace solvane::exports {
namespace {

constexpr const char* kExcluded[] = {"MRLE", "UYVY", "YUY2", "YVYU", "IYUV", "I420",
                                     "YVU9", "MJPG", "MPEG", "YV12", "CVID"};

// The code the list shows for a codec: the one users know from the old compressors.
std::string preferredCode(AVCodecID id) {
  switch (id) {
    case AV_CODEC_ID_MPEG4: return "XVID";
    case AV_CODEC_ID_MSVIDEO1: return "MSVC";
    case AV_CODEC_ID_MJPEG: return "MJPG";
    default: break;
  }
  const AVCodecTag* const* tags = detail::aviCodecTags();
  const unsigned tag = tags ? av_codec_get_tag(tags, id) : 0;
  std::string code;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((tag >> (8 * i)) & 0xFF);
    if (!std::isprint(static_cast<unsigned char>(c))) return {};
    code += c;
  }
  return normalisedFourcc(code);
}

// Some encoders take only broadcast or conference sizes; the list offers the ones that
// take a camera's picture.
constexpr int kProbeWidth = 320;
constexpr int kProbeHeight = 240;

bool encoderTakesCameraPictures(const AVCodec* codec) {
  AVCodecContext* context = avcodec_alloc_context3(codec);
  if (!context) return false;
  context->width = kProbeWidth;
  context->height = kProbeHeight;
  context->time_base = AVRational{1, 25};
  context->framerate = AVRational{25, 1};
  context->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
  context->thread_count = 1;
  const bool opened = avcodec_open2(context, codec, nullptr) >= 0;
  avcodec_free_context(&context);
  return opened;
}

}  // namespace

std::string normalisedFourcc(const std::string& fourcc) {
  std::string upper = fourcc;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool isExcludedFromCodecList(const std::string& fourcc) {
  const std::string upper = normalisedFourcc(fourcc);
  return std::any_of(std::begin(kExcluded), std::end(kExcluded),
                     [&](const char* code) { return upper == code; });
}

std::vector<VideoCodec> availableVideoCodecs() {
  std::vector<VideoCodec> codecs;
  std::set<AVCodecID> seen;
  void* iterator = nullptr;
  while (const AVCodec* codec = av_codec_iterate(&iterator)) {
    if (!av_codec_is_encoder(codec) || codec->type != AVMEDIA_TYPE_VIDEO) continue;
    if (seen.count(codec->id) != 0) continue;
    const AVCodec* encoder = detail::softwareEncoderFor(codec->id);
    if (encoder == nullptr) continue;
    const std::string code = preferredCode(codec->id);
    if (code.size() != 4 || code == "    " || isExcludedFromCodecList(code)) continue;
    // The writer must come back to the same codec from the code shown.
    if (detail::codecIdForFourcc(code) != codec->id) continue;
    seen.insert(codec->id);
    if (!encoderTakesCameraPictures(encoder)) continue;
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec->id);
    std::string name = descriptor && descriptor->long_name ? descriptor->long_name : code;
    codecs.push_back(VideoCodec{code, name.empty() ? code : name});
  }
  std::sort(codecs.begin(), codecs.end(),
            [](const VideoCodec& a, const VideoCodec& b) { return a.fourcc < b.fourcc; });
  return codecs;
}

int defaultCodecIndex(const std::vector<VideoCodec>& codecs, int storedIndex) {
  if (storedIndex >= 0 && storedIndex < static_cast<int>(codecs.size())) return storedIndex;
  for (const char* wanted : {"XVID", "MSVC"}) {
    for (std::size_t i = 0; i < codecs.size(); ++i) {
      if (codecs[i].fourcc == wanted) return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace solvane::exports
