#include "frame_sinks.h"

#include "app/analyzer_settings.h"
#include "app/ir_info_block.h"
#include "cli_error.h"
#include "file_output.h"
#include "png_writer.h"
#include "snapshot/snapshot.h"
#include "stream_recording.h"
#include "tiff_writer.h"

#ifdef IRDEX_CLI_HAVE_EXPORTS
#include "export/movie_writer.h"
#include "export/temperature_map.h"
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace irdexcli {
namespace {

namespace fs = std::filesystem;

// Pixels of the frame as the stream layout keeps them: the image, and the extra row where
// the frame record has one. Never more than the record holds: the recorder refuses a frame
// shorter than its image.
std::span<const uint16_t> framePixels(const IRFrame& frame, const FrameFormat& format) {
  const std::size_t withRow = std::size_t{format.width} * (format.height + 1u);
  return {frame.pixels, std::min<std::size_t>(frame.pixelCapacity, withRow)};
}

// Outputs of one frame per file: OUT itself, or OUT's pattern with the frame's number.
class PerFrameNames {
 public:
  PerFrameNames(const std::string& output, int32_t frameCount, OutputKind kind)
      : output_(output), pattern_(parseNamePattern(output)) {
    if (!pattern_ && frameCount > 1) {
      throw usageError(std::to_string(frameCount) + " frames to " + kindName(kind) +
                       " files need a number pattern in the name, such as 'frame%05d" +
                       fs::path(output).extension().string() + "'");
    }
  }
  std::string nameFor(int64_t number) const {
    return pattern_ ? expandNamePattern(*pattern_, number) : literalName(output_);
  }

 private:
  std::string output_;
  std::optional<NamePattern> pattern_;
};

std::string singleName(const std::string& output) {
  if (parseNamePattern(output))
    throw usageError("'" + output + "' holds every frame in one file: no number pattern wanted");
  return literalName(output);
}

// One multi-page file; with a number pattern in the name, one single-page file per frame.
class TiffSink final : public FrameSink {
 public:
  explicit TiffSink(const SinkSetup& setup)
      : setup_(setup), pattern_(parseNamePattern(setup.output)), temperatures_(setup.format) {
    if (!pattern_) {
      file_ = std::make_unique<PendingFile>(literalName(setup.output));
      writer_ = openWriter(*file_, static_cast<uint32_t>(setup.frameCount));
    }
  }
  void write(int64_t number, const IRFrame& frame, int32_t) override {
    temperatures_.convert(frame, setup_.env, values_);
    if (!pattern_) {
      writer_->addPage(values_);
      return;
    }
    PendingFile file(expandNamePattern(*pattern_, number));
    auto writer = openWriter(file, 1);
    writer->addPage(values_);
    writer->close();
    file.commit();
    files_.push_back(file.target().string());
  }
  void finish() override {
    if (!file_) return;
    writer_->close();
    file_->commit();
    files_.push_back(file_->target().string());
  }
  std::vector<std::string> files() const override { return files_; }

 private:
  std::unique_ptr<TiffWriter> openWriter(PendingFile& file, uint32_t pages) const {
    file.releaseStream();
    return std::make_unique<TiffWriter>(file.temporary().string(), setup_.format.width,
                                        setup_.format.height, pages);
  }

  SinkSetup setup_;
  std::optional<NamePattern> pattern_;
  TemperatureConverter temperatures_;
  std::unique_ptr<PendingFile> file_;
  std::unique_ptr<TiffWriter> writer_;
  std::vector<float> values_;
  std::vector<std::string> files_;
};

class PngSink final : public FrameSink {
 public:
  explicit PngSink(const SinkSetup& setup)
      : setup_(setup),
        names_(setup.output, setup.frameCount, setup.kind),
        temperatures_(setup.format),
        renderer_(setup.format, setup.render, temperatures_) {}
  void write(int64_t number, const IRFrame& frame, int32_t) override {
    // Each file is put in place as soon as it is whole: an interrupted run keeps the frames
    // done so far.
    PendingFile file(names_.nameFor(number));
    file.releaseStream();
    writePng(file.temporary().string(), renderer_.render(frame, setup_.env));
    file.commit();
    files_.push_back(file.target().string());
  }
  void finish() override {}
  std::vector<std::string> files() const override { return files_; }

 private:
  SinkSetup setup_;
  PerFrameNames names_;
  TemperatureConverter temperatures_;
  FrameRenderer renderer_;
  std::vector<std::string> files_;
};

class SnapshotSink final : public FrameSink {
 public:
  explicit SnapshotSink(const SinkSetup& setup)
      : setup_(setup),
        names_(setup.output, setup.frameCount, setup.kind),
        temperatures_(setup.format),
        renderer_(setup.format, setup.render, temperatures_) {}
  void write(int64_t number, const IRFrame& frame, int32_t) override {
    const std::string name = names_.nameFor(number);
    // Checked first: the writer would save a frame it cannot carry as a plain JPEG.
    if (setup_.format.width > snapshot::kMaxWidth || setup_.format.height > snapshot::kMaxHeight)
      throw CliError(name + ": a " + std::to_string(setup_.format.width) + " x " +
                     std::to_string(setup_.format.height) +
                     " frame does not fit a radiometric snapshot");
    const Picture picture = renderer_.render(frame, setup_.env);
    solvane::AnalyzerSettings settings;
    settings.emissivity = setup_.env.emissivity;
    settings.atmTemp = setup_.env.atmosphericTemp;
    settings.atmTrans = setup_.env.transmission;
    settings.dynamicRange = setup_.format.range;
    settings.palette = setup_.render.palette;
    settings.invert = setup_.render.invert;
    settings.agcMode = setup_.render.level ? 1 : 0;
    const solvane::IrInfoBlock info = solvane::buildIrInfoBlock(
        settings, {setup_.format.width, setup_.format.height, picture.level, picture.span});
    snapshot::IrData ir;
    std::copy(info.begin(), info.end(), ir.info.begin());
    std::memcpy(ir.camHeader.data(), setup_.format.header.bytes, ir.camHeader.size());
    ir.pixels.assign(frame.pixels,
                     frame.pixels + std::size_t{setup_.format.width} * setup_.format.height);
    snapshot::Picture jpeg;
    jpeg.width = picture.width;
    jpeg.height = picture.height;
    jpeg.stride = picture.width * 4;
    jpeg.format = snapshot::PixelFormat::Bgrx;
    jpeg.pixels = std::span(reinterpret_cast<const uint8_t*>(picture.pixels.data()),
                            picture.pixels.size() * 4);
    // The snapshot writer puts each file in place whole by itself.
    const snapshot::WriteResult result = snapshot::writeSnapshotFile(name, jpeg, &ir);
    if (!result.ok()) throw CliError(name + ": the snapshot could not be written");
    if (!result.irInserted) {
      std::error_code ignored;
      fs::remove(name, ignored);
      throw CliError(name + ": the frame could not be carried in the snapshot");
    }
    files_.push_back(name);
  }
  void finish() override {}
  std::vector<std::string> files() const override { return files_; }

 private:
  SinkSetup setup_;
  PerFrameNames names_;
  TemperatureConverter temperatures_;
  FrameRenderer renderer_;
  std::vector<std::string> files_;
};

// Stream files are written by the analyzer's recorder, which keeps its safety rules (size
// limit and roll-over, whole frames, frames without their extra row padded).
class StreamSink final : public FrameSink {
 public:
  explicit StreamSink(const SinkSetup& setup)
      : setup_(setup), recording_(singleName(setup.output), cameraOf(setup), setup.started) {}
  void write(int64_t, const IRFrame& frame, int32_t timing) override {
    recording_.recorder().onPlaybackFrame(framePixels(frame, setup_.format), timing);
    if (const std::string why = recording_.failure(); !why.empty())
      throw CliError(setup_.output + ": " + why);
  }
  void finish() override { files_ = recording_.finish(); }
  std::vector<std::string> files() const override { return files_; }

 private:
  static solvane::record::CameraSnapshot cameraOf(const SinkSetup& setup) {
    solvane::record::CameraSnapshot camera;
    camera.cameraType = std::max(setup.format.cameraType(), 0);
    camera.width = setup.format.width;
    camera.height = setup.format.height;
    camera.env = setup.env;
    camera.rangeIndex = setup.format.range;
    camera.header = setup.format.header;
    return camera;
  }

  SinkSetup setup_;
  StreamRecording recording_;
  std::vector<std::string> files_;
};

#ifdef IRDEX_CLI_HAVE_EXPORTS
class CsvSink final : public FrameSink {
 public:
  explicit CsvSink(const SinkSetup& setup)
      : setup_(setup),
        names_(setup.output, setup.frameCount, setup.kind),
        temperatures_(setup.format) {}
  void write(int64_t number, const IRFrame& frame, int32_t) override {
    temperatures_.convert(frame, setup_.env, values_);
    const std::string text =
        solvane::exports::formatTemperatureMap(values_, setup_.format.width, setup_.format.height);
    PendingFile file(names_.nameFor(number));
    file.write(text);
    file.commit();
    files_.push_back(file.target().string());
  }
  void finish() override {}
  std::vector<std::string> files() const override { return files_; }

 private:
  SinkSetup setup_;
  PerFrameNames names_;
  TemperatureConverter temperatures_;
  std::vector<float> values_;
  std::vector<std::string> files_;
};

class MovieSink final : public FrameSink {
 public:
  explicit MovieSink(const SinkSetup& setup)
      : setup_(setup),
        file_(singleName(setup.output)),
        temperatures_(setup.format),
        renderer_(setup.format, setup.render, temperatures_) {
    file_.releaseStream();
    // The movie's rate is rate / step frames per second: thousandths keep fractional rates.
    const int rate = static_cast<int>(std::lround(setup.framesPerSecond * 1000.0));
    writer_.open(file_.temporary().string(), setup.fourcc, 1000, std::max(rate, 1),
                 solvane::exports::kMaxMovieQuality);
  }
  ~MovieSink() override { writer_.close(); }
  void write(int64_t, const IRFrame& frame, int32_t) override {
    const Picture picture = renderer_.render(frame, setup_.env);
    solvane::exports::MovieFrame movie;
    movie.width = picture.width;
    movie.height = picture.height;
    movie.stride = picture.width * 4;
    movie.pixels = std::span(reinterpret_cast<const uint8_t*>(picture.pixels.data()),
                             picture.pixels.size() * 4);
    if (!writer_.appendFrame(movie))
      throw CliError(file_.target().string() + ": " + writer_.lastError());
  }
  void finish() override {
    writer_.close();
    file_.commit();
    files_.push_back(file_.target().string());
  }
  std::vector<std::string> files() const override { return files_; }

 private:
  SinkSetup setup_;
  PendingFile file_;
  TemperatureConverter temperatures_;
  FrameRenderer renderer_;
  solvane::exports::MovieWriter writer_;
  std::vector<std::string> files_;
};
#endif

}  // namespace

bool temperatureMapsAvailable() {
#ifdef IRDEX_CLI_HAVE_EXPORTS
  return true;
#else
  return false;
#endif
}

bool moviesAvailable() { return temperatureMapsAvailable(); }

std::unique_ptr<FrameSink> makeFrameSink(const SinkSetup& setup) {
  if (setup.format.width == 0 || setup.format.height == 0)
    throw CliError("the frames have no size to write");
  switch (setup.kind) {
    case OutputKind::Tiff: return std::make_unique<TiffSink>(setup);
    case OutputKind::Png: return std::make_unique<PngSink>(setup);
    case OutputKind::Jpeg: return std::make_unique<SnapshotSink>(setup);
    case OutputKind::Stream: return std::make_unique<StreamSink>(setup);
    case OutputKind::Csv:
    case OutputKind::Movie:
#ifdef IRDEX_CLI_HAVE_EXPORTS
      if (setup.kind == OutputKind::Csv) return std::make_unique<CsvSink>(setup);
      return std::make_unique<MovieSink>(setup);
#else
      throw CliError(kindName(setup.kind) + " output is not available in this build");
#endif
  }
  throw CliError("unknown output kind");
}

}  // namespace irdexcli
