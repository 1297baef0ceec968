// `irdex convert IN OUT`: frames of a stream file or snapshot into another kind of file.
#include "cli_error.h"
#include "commands.h"
#include "convert_options.h"
#include "frame_selection.h"
#include "frame_sinks.h"
#include "ir_source.h"
#include "progress.h"

#include <algorithm>
#include <filesystem>

namespace irdexcli {

namespace {

constexpr double kDefaultMovieRate = 30.0;

// A movie plays at the pace the frames were recorded (every n-th frame kept: n times
// slower), so a 9 Hz camera's recording does not run three times too fast.
double moviePace(IrSource& source, int64_t every) {
  if (source.kind() != InputKind::Stream || source.frameCount() < 2) return kDefaultMovieRate;
  const auto duration = source.describe(true).durationSeconds;
  if (!duration || *duration <= 0) return kDefaultMovieRate;
  const double rate = (source.frameCount() - 1) / *duration / static_cast<double>(every);
  return std::clamp(rate, 0.001, 1000.0);
}

}  // namespace

int runConvert(const Words& words, Context& context) {
  std::vector<OptionRule> options = {
      {"frames", true}, {"every", true}, {"fourcc", true}, {"fps", true}, {"quiet", false}};
  for (const auto& more : {environmentOptions(), renderOptions()})
    options.insert(options.end(), more.begin(), more.end());
  const Arguments args = Arguments::parse(words, options, "convert");
  if (args.helpRequested()) {
    context.out << commandHelp("convert");
    return kExitOk;
  }
  args.expectPositional(2, "irdex convert [options] IN OUT");
  const std::string& input = args.positional()[0];
  const std::string& output = args.positional()[1];
  const auto kind = outputKindOf(output);
  if (!kind) {
    throw usageError(output + ": unknown output kind (use .csv, .tiff, .png, .jpg, .hxr or .avi)");
  }
  const FrameRange range =
      args.has("frames") ? parseFrameRange(*args.value("frames")) : FrameRange{};
  const int64_t every = args.integer("every", 1, 1, 1'000'000'000);
  const EnvOverrides env = environmentFrom(args);
  const RenderOptions render = renderFrom(args);

  auto source = IrSource::open(input);
  std::error_code same;
  if (std::filesystem::exists(output, same) && std::filesystem::equivalent(input, output, same))
    throw usageError(output + ": is the input file");
  const std::vector<int32_t> frames = selectFrames(source->frameCount(), range, every);

  SinkSetup setup;
  setup.kind = *kind;
  setup.output = output;
  setup.frameCount = static_cast<int32_t>(frames.size());
  setup.format =
      FrameFormat{source->width(), source->height(), source->cameraHeader(), source->range()};
  setup.env = env.applyTo(source->env());
  setup.render = render;
  setup.fourcc = args.value("fourcc").value_or("MJPG");
  if (setup.fourcc.size() != 4) throw usageError("--fourcc wants four characters, such as MJPG");
  setup.framesPerSecond = args.number("fps", kDefaultMovieRate, 0.001, 1000);
  if (*kind == OutputKind::Movie && !args.has("fps"))
    setup.framesPerSecond = moviePace(*source, every);
  if (const auto started = source->describe(false).started) {
    std::array<int32_t, 6> parts{};
    if (std::sscanf(started->c_str(), "%d-%d-%d %d:%d:%d", &parts[0], &parts[1], &parts[2],
                    &parts[3], &parts[4], &parts[5]) == 6)
      setup.started = parts;
  }
  auto sink = makeFrameSink(setup);

  Progress progress(context.err, context.errIsTerminal && !args.has("quiet"), "converting");
  int64_t done = 0;
  int32_t previous = -1;
  for (const int32_t index : frames) {
    if (context.stopRequested()) {
      progress.finish();
      throw CliError("interrupted: " + std::to_string(done) + " of " +
                         std::to_string(frames.size()) + " frames converted",
                     kExitInterrupted);
    }
    int32_t timing = 0;
    if (*kind == OutputKind::Stream && previous >= 0) {
      // A cut keeps the time between the frames it keeps: skipped frames add theirs.
      for (int32_t k = previous + 1; k < index; ++k) timing += source->read(k).timing;
    }
    const IrSource::Frame frame = source->read(index);
    timing = previous < 0 ? 0 : timing + frame.timing;
    sink->write(index, *frame.frame, timing);
    previous = index;
    progress.update(++done, static_cast<int64_t>(frames.size()));
  }
  sink->finish();
  progress.finish();
  if (context.errIsTerminal && !args.has("quiet")) {
    const std::vector<std::string> files = sink->files();
    context.err << "converted " << done << " frames to "
                << (files.size() == 1 ? files.front() : std::to_string(files.size()) + " files")
                << "\n";
  }
  return kExitOk;
}

}  // namespace irdexcli
