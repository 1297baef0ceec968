#include "record/ir_file_session.h"

#include "record/record_rules.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace solvane::record {

namespace {
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
int32_t le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}
}  // namespace

SnapshotParams snapshotParamsOf(const std::array<uint8_t, kInfoBlockBytes>& info) {
  SnapshotParams p;
  p.width = le16(&info[0]);
  p.height = le16(&info[2]);
  p.agcMode = info[4];
  p.level = static_cast<float>(static_cast<int16_t>(le16(&info[6]))) * 0.1f;
  p.span = static_cast<float>(static_cast<int16_t>(le16(&info[8]))) * 0.1f;
  p.atmosphericTemp = static_cast<float>(le32(&info[12])) * 0.001f;
  p.transmission = static_cast<float>(le16(&info[16])) * 0.001f;
  p.emissivity = static_cast<float>(le16(&info[18])) * 0.001f;
  p.range = info[20];
  p.palette = info[21];
  p.zoom = static_cast<float>(info[22]) * 0.1f;
  p.invert = info[23] == 1;
  p.mirror = info[24] == 1;
  p.flip = info[25] == 1;
  return p;
}

std::optional<IrFileKind> irFileKindOf(const std::string& path) {
  const std::string extension = std::filesystem::path(path).extension().string();
  if (extension == std::string(".") + kStreamExtension) return IrFileKind::Stream;
  if (extension == std::string(".") + kSnapshotExtension) return IrFileKind::Snapshot;
  return std::nullopt;
}

std::string fileTitleOf(const std::string& path) {
  return std::filesystem::path(path).stem().string();
}

IrFileSession::IrFileSession(PlaybackEngine::FrameHandler frames, PlaybackEngine::EventSink events,
                             SnapshotReader* snapshots, std::unique_ptr<Pacer> pacer,
                             std::function<PlaybackEngine::Clock::time_point()> now)
    : engine_(file_, std::move(frames), std::move(events), std::move(now)),
      thread_(engine_, std::move(pacer)),
      snapshots_(snapshots) {}

IrFileSession::~IrFileSession() {
  thread_.stop();
  releaseStill();
}

void IrFileSession::releaseStill() {
  if (still_) CloseIRCamDataKS(&stillFrame_);
  still_ = false;
  stillPath_.clear();
  stillPixels_.clear();
  stillFrame_ = IRFrame{};
}

bool IrFileSession::close(std::string* message) {
  thread_.stop();
  const bool closed = file_.close();
  releaseStill();
  if (!closed && message) *message = kFileCloseError;
  return closed;
}

LoadOutcome IrFileSession::load(const std::string& path) {
  LoadOutcome out;
  const auto kind = irFileKindOf(path);
  if (!kind) {
    out.message = kLoadRefused;
    return out;
  }
  out.kind = *kind;
  std::string closeMessage;
  if (!close(&closeMessage)) out.message = closeMessage;

  if (*kind == IrFileKind::Snapshot) {
    if (!snapshots_) {
      out.message = kLoadRefused;
      return out;
    }
    auto image = snapshots_->read(path);
    if (!image) return out;  // the reader has said why
    const SnapshotParams params = snapshotParamsOf(image->info);
    const std::size_t imagePixels = std::size_t{params.width} * params.height;
    if (imagePixels == 0 || image->pixels.size() < imagePixels) {
      out.message = kLoadRefused;
      return out;
    }
    still_ = true;
    stillPath_ = path;
    stillPixels_ = std::move(image->pixels);
    // KS frames of version 33 and above are converted from a smoothed copy with the extra
    // row behind the image; the snapshot has none, so it is zero.
    stillPixels_.resize(imagePixels + params.width, 0);
    stillFrame_ = IRFrame{};
    stillFrame_.pixels = stillPixels_.data();
    stillFrame_.pixelCapacity = static_cast<uint32_t>(stillPixels_.size());
    stillFrame_.header = image->header;
    CreateIRCamDataKS(&stillFrame_);
    LoadIRCamDataKS(&stillFrame_, stillPixels_.data(), static_cast<int32_t>(imagePixels));
    out.width = params.width;
    out.height = params.height;
    out.range = static_cast<uint8_t>(params.range);
    out.env = EnvParams{params.emissivity, params.atmosphericTemp, params.transmission, 0.0f};
    out.header = image->header;
    out.ksFamily = IRFrameVersion(&stillFrame_) >= 32;
    out.snapshot = params;
  } else {
    std::string error;
    if (!file_.open(path, error)) {
      out.message = error;
      return out;
    }
    const IRHeader& header = file_.header();
    out.width = header.width;
    out.height = header.height;
    out.range = file_.rangeIndex();
    out.env = file_.env();
    out.ksFamily = header.version > 16;
    out.header = file_.frame().header;
    out.frameCount = file_.frameCount();
    engine_.showFirstFrame();
  }
  out.loaded = true;
  out.statusPane = imageSizeText(out.width, out.height);
  out.cameraName = fileTitleOf(path);
  out.windowTitle = fileWindowTitle(out.cameraName);
  return out;
}

void IrFileSession::play() {
  engine_.play();
  if (file_.isOpen()) thread_.ensureRunning();
}
void IrFileSession::pause() { engine_.pause(); }
void IrFileSession::stop() { engine_.stop(); }
void IrFileSession::rewind() {
  engine_.rewind();
  if (file_.isOpen()) thread_.ensureRunning();
}
void IrFileSession::fastForward() {
  engine_.fastForward();
  if (file_.isOpen()) thread_.ensureRunning();
}
void IrFileSession::stepBackward() {
  engine_.stepBackward();
  if (file_.isOpen()) thread_.ensureRunning();
}
void IrFileSession::stepForward() {
  engine_.stepForward();
  if (file_.isOpen()) thread_.ensureRunning();
}

}  // namespace solvane::record
