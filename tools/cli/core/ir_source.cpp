#include "ir_source.h"

#include "acquisition/camera_facts.h"
#include "cli_error.h"
#include "record/stream_geometry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace irdexcli {
namespace {

constexpr char kContainerSignature[] = "HXR";
constexpr uint8_t kJpegStart[] = {0xFF, 0xD8};
// Stream files carry a wall-clock time stamp with every frame from this version on.
constexpr int32_t kTimeStampVersion = 20;

std::string utcText(int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (!gmtime_r(&time, &parts)) return "invalid time " + std::to_string(seconds);
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
  return text;
}

std::string startText(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                      int32_t second) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                second);
  return text;
}

std::string familyOf(int32_t headerVersion) {
  if (headerVersion <= 16) return "first generation";
  if (headerVersion <= 31) return "KT";
  return "KS";
}

std::string modelNameOf(int32_t headerVersion, int32_t model) {
  if (headerVersion >= 32 && model == 0x20) return "VA320";
  if (headerVersion >= 32 && model == 0x21) return "VI640";
  char text[32];
  std::snprintf(text, sizeof text, "model 0x%02X", static_cast<unsigned>(model));
  return text;
}

}  // namespace

std::string inputKindName(InputKind kind) {
  switch (kind) {
    case InputKind::Stream: return "stream";
    case InputKind::Container: return "container";
    case InputKind::Snapshot: return "snapshot";
  }
  return "unknown";
}

IrSource::~IrSource() {
  if (stillSlot_) CloseIRCamDataKS(&still_);
}

std::unique_ptr<IrSource> IrSource::open(const std::string& path) {
  std::unique_ptr<IrSource> source(new IrSource);
  source->path_ = path;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) throw CliError(path + ": no such file");
  if (std::filesystem::is_directory(path, error))
    throw CliError(path + ": is a folder, not a file");
  std::ifstream file(path, std::ios::binary);
  if (!file) throw CliError(path + ": cannot be read");
  char head[3] = {0, 0, 0};
  file.read(head, sizeof head);
  const std::streamsize got = file.gcount();
  file.close();

  const std::string extension = std::filesystem::path(path).extension().string();
  std::string lower = extension;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (got >= 2 && static_cast<uint8_t>(head[0]) == kJpegStart[0] &&
      static_cast<uint8_t>(head[1]) == kJpegStart[1]) {
    source->openSnapshot();
  } else if (lower == ".hxr" && got == 3 && std::memcmp(head, kContainerSignature, 3) == 0) {
    source->openContainer();
  } else if (lower == ".hxr") {
    source->openStream();
  } else {
    throw CliError(path + ": not a stream file (.hxr) or a radiometric snapshot (.jpg)");
  }
  return source;
}

void IrSource::openStream() {
  kind_ = InputKind::Stream;
  std::string error;
  if (!play_.open(path_, error))
    throw CliError(path_ + ": not a readable stream file (" + error + ")");
  const IRHeader& header = play_.header();
  width_ = header.width;
  height_ = header.height;
  frameCount_ = play_.frameCount();
  range_ = play_.rangeIndex();
  env_ = play_.env();
  header_ = play_.frame().header;
  streamVersion_ = header.version;
}

void IrSource::openSnapshot() {
  kind_ = InputKind::Snapshot;
  snapshot::ReadResult result = snapshot::readSnapshotFile(path_);
  if (!result.ok()) {
    const std::string_view why = snapshot::messageFor(result.error);
    throw CliError(path_ + ": not a radiometric snapshot" +
                   (why.empty() ? std::string(" (a plain JPEG)") : " (" + std::string(why) + ")"));
  }
  const snapshot::InfoFields info = snapshot::decodeInfo(result.data.info);
  const std::size_t imagePixels = std::size_t{info.width} * info.height;
  if (imagePixels == 0 || result.data.pixels.size() < imagePixels)
    throw CliError(path_ + ": the snapshot's frame does not fit its stated size");
  width_ = info.width;
  height_ = info.height;
  frameCount_ = 1;
  range_ = info.dynamicRange;
  env_ = EnvParams{info.emissivityThousandths * 0.001f, info.atmTempThousandths * 0.001f,
                   info.transmissionThousandths * 0.001f, 0.0f};
  std::memcpy(header_.bytes, result.data.camHeader.data(), sizeof header_.bytes);
  // KS frames of version 33 and above are converted from a smoothed copy with the extra row
  // behind the image; a snapshot carries none, so it stays zero.
  stillPixels_ = std::move(result.data.pixels);
  stillPixels_.resize(imagePixels + width_, 0);
  still_ = IRFrame{};
  still_.pixels = stillPixels_.data();
  still_.pixelCapacity = static_cast<uint32_t>(stillPixels_.size());
  still_.header = header_;
  if (CreateIRCamDataKS(&still_) != SDK_SUCCESS)
    throw CliError(path_ + ": no calibration slot is free for the snapshot's frame");
  stillSlot_ = true;
  LoadIRCamDataKS(&still_, stillPixels_.data(), static_cast<int32_t>(imagePixels));
  streamVersion_ = header_.bytes[IRDEX_HEADER_VERSION] >= 32 ? 32 : 17;
}

void IrSource::openContainer() {
  kind_ = InputKind::Container;
  IRStreamHandle stream = nullptr;
  const SdkStatus status = HXRFileOpen(&stream, path_.c_str(), 0, &container_);
  if (status != SDK_SUCCESS || !stream) throw CliError(path_ + ": not a readable container");
  CloseIRStream(stream);
  width_ = container_.width;
  height_ = container_.height;
  // Copied out first: the packed record's field is not aligned for a reference.
  const int32_t count = container_.frameCount;
  frameCount_ = std::max(count, 0);
}

bool IrSource::ks() const {
  return solvane::isKsCameraType(solvane::cameraTypeOf(header_.bytes[IRDEX_HEADER_VERSION],
                                                       header_.bytes[IRDEX_HEADER_MODEL]));
}

IrSource::Frame IrSource::read(int32_t index) {
  if (index < 0 || index >= frameCount_)
    throw CliError(path_ + ": frame " + std::to_string(index) + " out of range");
  switch (kind_) {
    case InputKind::Snapshot: return Frame{&still_, 0, 0};
    case InputKind::Container:
      throw CliError(path_ + ": container frames carry no camera header; they cannot be converted");
    case InputKind::Stream: break;
  }
  const solvane::record::FrameRead got = play_.readForward(index, false);
  if (got.status != SDK_SUCCESS && got.status != SDK_ERR_END_OF_IR_IMAGE)
    throw CliError(path_ + ": frame " + std::to_string(index) + " cannot be read (status " +
                   std::to_string(got.status) + ")");
  return Frame{&play_.frame(), got.timing, got.timeStamp};
}

InputDescription IrSource::describe(bool withDuration) {
  InputDescription d;
  d.kind = kind_;
  d.path = path_;
  std::error_code error;
  d.fileBytes = static_cast<int64_t>(std::filesystem::file_size(path_, error));
  d.width = width_;
  d.height = height_;
  d.frameCount = frameCount_;
  if (kind_ == InputKind::Container) {
    d.version = container_.version;
    d.frameRate = static_cast<double>(container_.frameRate);
    if (container_.year > 0)
      d.started = startText(container_.year, container_.month, container_.day, container_.hour,
                            container_.minute, container_.second);
    return d;
  }
  d.headerVersion = header_.bytes[IRDEX_HEADER_VERSION];
  d.model = header_.bytes[IRDEX_HEADER_MODEL];
  d.family = familyOf(d.headerVersion);
  d.modelName = modelNameOf(d.headerVersion, d.model);
  d.env = env_;
  d.range = range_;
  int16_t low = 0, high = 0;
  const IRFrame* calibrated = kind_ == InputKind::Snapshot ? &still_ : &play_.frame();
  const SdkStatus limits = ks() ? GetTempRangeValueKS(calibrated, range_, &low, &high)
                                : GetTempRangeValue(range_, &low, &high);
  if (limits == SDK_SUCCESS && high > low) d.rangeLimits = std::pair{int32_t{low}, int32_t{high}};
  if (kind_ == InputKind::Snapshot) {
    d.version = d.headerVersion;
    return d;
  }
  d.version = streamVersion_;
  const IRHeaderExt& ext = play_.headerExt();
  if (streamVersion_ > 16 && ext.year > 0)
    d.started = startText(ext.year, ext.month, ext.day, ext.hour, ext.minute, ext.second);
  if (withDuration && frameCount_ > 0) {
    // Each frame's time value is the time since the frame before it, in 10 us steps.
    int64_t units = 0;
    int64_t lastStamp = read(0).timeStamp;
    const int64_t firstStamp = lastStamp;
    for (int32_t k = 1; k < frameCount_; ++k) {
      const Frame frame = read(k);
      units += std::max(frame.timing, 0);
      lastStamp = frame.timeStamp;
    }
    d.durationSeconds = static_cast<double>(units) / 100000.0;
    if (streamVersion_ >= kTimeStampVersion) {
      d.firstFrameTime = utcText(firstStamp);
      d.lastFrameTime = utcText(lastStamp);
    }
  }
  return d;
}

}  // namespace irdexcli
