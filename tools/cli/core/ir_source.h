// An input file as the tool reads it: a stream file (through the analyzer's play file, so
// the frames, their count and the calibration slot are the ones the analyzer shows), a
// radiometric snapshot (one frame), or a signed container (described, not converted: its
// frames carry no camera header to convert them with).
#pragma once

#include <irdex.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "record/play_file.h"
#include "snapshot/snapshot.h"

namespace irdexcli {

enum class InputKind { Stream, Container, Snapshot };
std::string inputKindName(InputKind kind);

// What `irdex info` tells about a file.
struct InputDescription {
  InputKind kind = InputKind::Stream;
  std::string path;
  int64_t fileBytes = 0;
  int32_t version = 0;        // stream version, container version or camera header version
  int32_t headerVersion = 0;  // the camera header's version (0: none)
  int32_t model = 0;
  std::string family;  // "first generation", "KT", "KS", or "" when unknown
  std::string modelName;
  uint16_t width = 0;
  uint16_t height = 0;
  int32_t frameCount = 0;
  std::optional<double> durationSeconds;  // from the frames' time values
  std::optional<std::string> started;     // "YYYY-MM-DD hh:mm:ss" of the recording start
  std::optional<double> frameRate;        // the container's own frame rate
  // Wall-clock time stamps of the first and last frame (stream version 20 and above), UTC.
  std::optional<std::string> firstFrameTime;
  std::optional<std::string> lastFrameTime;
  std::optional<EnvParams> env;
  int32_t range = 0;
  std::optional<std::pair<int32_t, int32_t>> rangeLimits;  // degrees Celsius
};

class IrSource {
 public:
  // Throws a run error naming the file and what is wrong with it.
  static std::unique_ptr<IrSource> open(const std::string& path);
  ~IrSource();
  IrSource(const IrSource&) = delete;
  IrSource& operator=(const IrSource&) = delete;

  InputKind kind() const { return kind_; }
  const std::string& path() const { return path_; }
  uint16_t width() const { return width_; }
  uint16_t height() const { return height_; }
  int32_t frameCount() const { return frameCount_; }
  // The KS family (header version 32 and above) converts through its calibration.
  bool ks() const;
  uint8_t range() const { return range_; }
  EnvParams env() const { return env_; }
  const CamHeaderBlock& cameraHeader() const { return header_; }

  // Reads frame `index`; the record holds its pixels (with the extra row where the file's
  // layout has one) until the next read. Throws a run error when the frame cannot be read.
  struct Frame {
    const IRFrame* frame = nullptr;
    int32_t timing = 0;     // the time value stored with the frame (10 us steps)
    int64_t timeStamp = 0;  // seconds since 1970 UTC (stream version 20 and above)
  };
  Frame read(int32_t index);

  // Everything `irdex info` shows; `withDuration` reads every frame's time value.
  InputDescription describe(bool withDuration);

 private:
  IrSource() = default;
  void openStream();
  void openSnapshot();
  void openContainer();

  InputKind kind_ = InputKind::Stream;
  std::string path_;
  uint16_t width_ = 0;
  uint16_t height_ = 0;
  int32_t frameCount_ = 0;
  uint8_t range_ = 0;
  EnvParams env_{};
  CamHeaderBlock header_{};
  int32_t streamVersion_ = 17;
  solvane::record::PlayFile play_;
  // A snapshot's frame (and its calibration slot) or nothing.
  std::vector<uint16_t> stillPixels_;
  IRFrame still_{};
  bool stillSlot_ = false;
  HXRFileHeader container_{};
};

}  // namespace irdexcli
