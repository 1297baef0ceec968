#include "export/movie_writer.h"

#include "export/codec_choice.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <filesystem>
#include <new>

namespace solvane::exports {
namespace {

constexpr int kKeyFrameInterval = 10;
// The best and worst quantiser of the codecs that take a fixed one.
constexpr int kBestQuantiser = 2;
constexpr int kWorstQuantiser = 31;

int quantiserFor(int quality) {
  const int q = std::clamp(quality, 0, kMaxMovieQuality);
  return kBestQuantiser +
         (kMaxMovieQuality - q) * (kWorstQuantiser - kBestQuantiser) / kMaxMovieQuality;
}

// The encoder's first pixel format the scaler can produce.
AVPixelFormat pixelFormatFor(const AVCodec* codec) {
  if (!codec->pix_fmts) return AV_PIX_FMT_YUV420P;
  for (const AVPixelFormat* f = codec->pix_fmts; *f != AV_PIX_FMT_NONE; ++f) {
    if (sws_isSupportedOutput(*f)) return *f;
  }
  return AV_PIX_FMT_NONE;
}

// Sizes the encoder accepts: Microsoft Video 1 codes 4 x 4 blocks, subsampled chroma
// needs even sizes. The picture is scaled to the rounded size.
int alignmentFor(AVCodecID id, AVPixelFormat format) {
  if (id == AV_CODEC_ID_MSVIDEO1) return 4;
  const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
  if (d && (d->log2_chroma_w > 0 || d->log2_chroma_h > 0)) return 2;
  return 1;
}

int roundUp(int value, int alignment) { return (value + alignment - 1) / alignment * alignment; }

bool frameIsUsable(const MovieFrame& frame) {
  if (frame.width <= 0 || frame.height <= 0) return false;
  const std::size_t row = static_cast<std::size_t>(frame.width) * 4;
  if (frame.stride < 0 || static_cast<std::size_t>(frame.stride) < row) return false;
  return frame.pixels.size() >=
         static_cast<std::size_t>(frame.stride) * static_cast<std::size_t>(frame.height - 1) + row;
}

}  // namespace

struct MovieWriter::Encoder {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* picture = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  bool headerWritten = false;
  bool anyFrame = false;
  std::string path;

  ~Encoder() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&picture);
    avcodec_free_context(&codec);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }

  // Hands every packet the encoder has ready to the file.
  bool drain() {
    while (true) {
      const int got = avcodec_receive_packet(codec, packet);
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0) return false;
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      const int written = av_interleaved_write_frame(format, packet);
      av_packet_unref(packet);
      if (written < 0) return false;
    }
  }

  bool finish() {
    bool ok = true;
    if (headerWritten) {
      ok = avcodec_send_frame(codec, nullptr) >= 0 && drain();
      ok = av_write_trailer(format) == 0 && ok;
    }
    if (format && format->pb) ok = avio_closep(&format->pb) == 0 && ok;
    return ok;
  }
};

MovieWriter::MovieWriter() = default;

MovieWriter::~MovieWriter() { close(); }

void MovieWriter::open(std::string path, std::string fourcc, int step, int rate, int quality) {
  close();
  path_ = std::move(path);
  fourcc_ = std::move(fourcc);
  step_ = step;
  rate_ = rate;
  quality_ = quality;
  frameCounter_ = 0;
  lastError_ = movie_text::kSucceeded;
  state_ = MovieState::Open;
}

void MovieWriter::fail(const char* text) {
  lastError_ = text;
  if (encoder_) {
    encoder_->finish();
    // A file that never got a picture is no movie; do not leave it behind.
    if (!encoder_->anyFrame) {
      std::error_code ignored;
      std::filesystem::remove(encoder_->path, ignored);
    }
  }
  encoder_.reset();
  state_ = MovieState::Closed;
}

bool MovieWriter::appendFrame(const MovieFrame& frame) {
  if (state_ == MovieState::Closed) return false;
  if (state_ == MovieState::Open) {
    if (!startFile(frame)) return false;
    state_ = MovieState::Writing;
  }
  if (!frameIsUsable(frame) || !encode(frame)) {
    fail(movie_text::kWriteFailed);
    return false;
  }
  ++frameCounter_;
  return true;
}

bool MovieWriter::startFile(const MovieFrame& first) {
  if (!frameIsUsable(first)) {
    fail(movie_text::kNoDrawingContext);
    return false;
  }
  // An unknown code is refused before the file exists, so it leaves nothing behind.
  const AVCodecID id = detail::codecIdForFourcc(fourcc_);
  const AVCodec* codec = detail::softwareEncoderFor(id);
  const AVPixelFormat pixelFormat = codec ? pixelFormatFor(codec) : AV_PIX_FMT_NONE;
  if (!codec || pixelFormat == AV_PIX_FMT_NONE) {
    fail(movie_text::kBadCodec);
    return false;
  }

  try {
    encoder_ = std::make_unique<Encoder>();
  } catch (const std::bad_alloc&) {
    fail(movie_text::kNoHeap);
    return false;
  }
  Encoder& e = *encoder_;
  e.path = path_;
  if (avformat_alloc_output_context2(&e.format, nullptr, "avi", path_.c_str()) < 0 ||
      avio_open(&e.format->pb, path_.c_str(), AVIO_FLAG_WRITE) < 0) {
    fail(movie_text::kNoFile);
    return false;
  }

  e.stream = avformat_new_stream(e.format, nullptr);
  if (!e.stream || step_ <= 0 || rate_ <= 0) {
    fail(movie_text::kNoStream);
    return false;
  }
  const AVRational timeBase{step_, rate_};
  e.stream->time_base = timeBase;

  e.codec = avcodec_alloc_context3(codec);
  if (!e.codec) {
    fail(movie_text::kNoMemory);
    return false;
  }
  const int alignment = alignmentFor(id, pixelFormat);
  e.codec->width = roundUp(first.width, alignment);
  e.codec->height = roundUp(first.height, alignment);
  e.codec->pix_fmt = pixelFormat;
  e.codec->time_base = timeBase;
  e.codec->framerate = AVRational{rate_, step_};
  e.codec->gop_size = kKeyFrameInterval;
  e.codec->thread_count = 1;
  e.codec->flags |= AV_CODEC_FLAG_QSCALE;
  e.codec->global_quality = FF_QP2LAMBDA * quantiserFor(quality_);
  // The stream carries the user's code when the container knows it for this codec.
  const uint32_t tag = detail::fourccTag(fourcc_);
  const AVCodecTag* const* tags = detail::aviCodecTags();
  if (tags && av_codec_get_id(tags, tag) == id) e.codec->codec_tag = tag;
  if (e.format->oformat->flags & AVFMT_GLOBALHEADER) e.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

  if (avcodec_open2(e.codec, codec, nullptr) < 0 ||
      avcodec_parameters_from_context(e.stream->codecpar, e.codec) < 0 ||
      avformat_write_header(e.format, nullptr) < 0) {
    fail(movie_text::kBadCodec);
    return false;
  }
  e.headerWritten = true;

  e.picture = av_frame_alloc();
  e.packet = av_packet_alloc();
  if (!e.picture || !e.packet) {
    fail(movie_text::kNoMemory);
    return false;
  }
  e.picture->format = pixelFormat;
  e.picture->width = e.codec->width;
  e.picture->height = e.codec->height;
  if (av_frame_get_buffer(e.picture, 0) < 0) {
    fail(movie_text::kNoMemory);
    return false;
  }
  return true;
}

bool MovieWriter::encode(const MovieFrame& frame) {
  Encoder& e = *encoder_;
  // Pictures of another size are scaled to the movie's size.
  e.scaler = sws_getCachedContext(e.scaler, frame.width, frame.height, AV_PIX_FMT_BGR0,
                                  e.codec->width, e.codec->height, e.codec->pix_fmt, SWS_BILINEAR,
                                  nullptr, nullptr, nullptr);
  if (!e.scaler || av_frame_make_writable(e.picture) < 0) return false;
  const uint8_t* source[1] = {frame.pixels.data()};
  const int sourceStride[1] = {frame.stride};
  sws_scale(e.scaler, source, sourceStride, 0, frame.height, e.picture->data, e.picture->linesize);
  e.picture->pts = frameCounter_;
  e.picture->key_frame = 0;
  if (avcodec_send_frame(e.codec, e.picture) < 0 || !e.drain()) return false;
  e.anyFrame = true;
  return true;
}

void MovieWriter::close() {
  if (encoder_) encoder_->finish();
  encoder_.reset();
  state_ = MovieState::Closed;
}

}  // namespace solvane::exports
