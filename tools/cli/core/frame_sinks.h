// Where converted or captured frames go, one kind of output per sink: TIFF pages, CSV maps,
// PNG pictures, radiometric snapshots, a re-saved stream file or a movie. Each output file
// appears whole when finished, or not at all.
#pragma once

#include "frame_conversion.h"
#include "output_kind.h"

#include <irdex.h>

#include <memory>
#include <optional>
#include <string>

namespace irdexcli {

struct SinkSetup {
  OutputKind kind = OutputKind::Tiff;
  std::string output;      // the name as given (may hold a number pattern)
  int32_t frameCount = 1;  // frames that will be written
  FrameFormat format;
  EnvParams env{};
  RenderOptions render;
  // Stream files: the recording's start, kept in the new file's header.
  std::optional<std::array<int32_t, 6>> started;
  // Movies.
  std::string fourcc = "MJPG";
  double framesPerSecond = 30.0;
};

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // `number` names the frame in a pattern; `timing` is its time value (10 us steps since
  // the frame before it). Throws a run error when the frame cannot be written.
  virtual void write(int64_t number, const IRFrame& frame, int32_t timing) = 0;
  // Puts the outputs in place; nothing is in place before.
  virtual void finish() = 0;
  // The files made (after finish).
  virtual std::vector<std::string> files() const = 0;
};

// Checks the output name against the kind and frame count (a pattern for several frames of
// a one-frame kind) and makes the sink. Throws usage or run errors naming the problem.
std::unique_ptr<FrameSink> makeFrameSink(const SinkSetup& setup);

// Whether this build has the CSV and movie writers.
bool temperatureMapsAvailable();
bool moviesAvailable();

}  // namespace irdexcli
