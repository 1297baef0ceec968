// `irdex record`, `irdex snapshot` and `irdex grab`: headless capture from a camera.
#include "camera_capture.h"
#include "cli_error.h"
#include "commands.h"
#include "convert_options.h"
#include "frame_sinks.h"
#include "progress.h"
#include "stream_recording.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace irdexcli {
namespace {

using Clock = std::chrono::steady_clock;

// The analyzer's measurement parameters before the user changes them.
constexpr EnvParams kDefaultEnv{0.95f, 20.0f, 1.0f, 0.0f};

std::vector<OptionRule> connectionOptions() {
  return {{"attempts", true}, {"retry-delay", true}, {"timeout", true}, {"quiet", false}};
}

CaptureSettings captureSettingsFrom(const Arguments& args, const std::string& address) {
  CaptureSettings settings;
  settings.address = parseCameraAddress(address);
  settings.attempts = static_cast<int32_t>(args.integer("attempts", 3, 1, 1000));
  settings.retryDelay = std::chrono::milliseconds(
      static_cast<int64_t>(args.number("retry-delay", 2, 0, 3600) * 1000));
  settings.frameTimeout =
      std::chrono::milliseconds(static_cast<int64_t>(args.number("timeout", 20, 0.1, 3600) * 1000));
  return settings;
}

std::vector<OptionRule> joined(std::initializer_list<std::vector<OptionRule>> lists) {
  std::vector<OptionRule> all;
  for (const auto& list : lists) all.insert(all.end(), list.begin(), list.end());
  return all;
}

// One frame kept beyond the acquisition's next frame: its pixels and its record.
struct HeldFrame {
  std::vector<uint16_t> pixels;
  IRFrame frame{};
  solvane::CameraState camera;
};

// Takes one frame from the camera and writes it through a sink of `kind`.
int captureOneFrame(const Words& words, Context& context, const std::string& command,
                    const std::vector<OutputKind>& kinds, const std::string& usage) {
  const Arguments args = Arguments::parse(
      words, joined({connectionOptions(), environmentOptions(), renderOptions()}), command);
  if (args.helpRequested()) {
    context.out << commandHelp(command);
    return kExitOk;
  }
  args.expectPositional(2, usage);
  const CaptureSettings settings = captureSettingsFrom(args, args.positional()[0]);
  const std::string& output = args.positional()[1];
  const auto kind = outputKindOf(output);
  if (!kind || std::find(kinds.begin(), kinds.end(), *kind) == kinds.end())
    throw usageError(output + ": wrong output kind: usage: " + usage);
  const EnvOverrides env = environmentFrom(args);
  const RenderOptions render = renderFrom(args);

  std::mutex heldMutex;  // guards held (written on the acquisition thread)
  std::optional<HeldFrame> held;
  CamHeaderBlock header{};
  CameraCapture capture(
      settings,
      [&](const IRFrame& frame, const solvane::CameraState& camera) {
        std::lock_guard lock(heldMutex);
        if (held) return false;
        HeldFrame copy;
        copy.pixels.assign(frame.pixels, frame.pixels + frame.pixelCapacity);
        copy.frame = frame;
        copy.frame.pixels = copy.pixels.data();
        copy.camera = camera;
        held = std::move(copy);
        return false;
      },
      [&](const CamHeaderBlock& block, const solvane::CameraState&, bool) { header = block; });
  const auto end = capture.run(
      context,
      [&] {
        std::lock_guard lock(heldMutex);
        return held.has_value();
      },
      [] {});
  if (end == CameraCapture::End::Interrupted) throw CliError("interrupted", kExitInterrupted);

  // Written while the connection (and the KS calibration slot the frame refers to) is open.
  SinkSetup setup;
  setup.kind = *kind;
  setup.output = output;
  setup.frameCount = 1;
  setup.format = FrameFormat{held->camera.width, held->camera.height, header,
                             header.bytes[IRDEX_HEADER_RANGE_INDEX]};
  setup.env = env.applyTo(kDefaultEnv);
  setup.render = render;
  auto sink = makeFrameSink(setup);
  sink->write(0, held->frame, 0);
  sink->finish();
  capture.stop();
  return kExitOk;
}

}  // namespace

int runSnapshot(const Words& words, Context& context) {
  return captureOneFrame(words, context, "snapshot", {OutputKind::Jpeg},
                         "irdex snapshot [options] ADDRESS OUT.jpg");
}

int runGrab(const Words& words, Context& context) {
  return captureOneFrame(words, context, "grab",
                         {OutputKind::Csv, OutputKind::Tiff, OutputKind::Png},
                         "irdex grab [options] ADDRESS OUT.csv|OUT.tiff|OUT.png");
}

int runRecord(const Words& words, Context& context) {
  const Arguments args = Arguments::parse(
      words,
      joined({connectionOptions(), environmentOptions(), {{"seconds", true}, {"frames", true}}}),
      "record");
  if (args.helpRequested()) {
    context.out << commandHelp("record");
    return kExitOk;
  }
  const std::string usage = "irdex record [options] ADDRESS OUT.hxr [--seconds S | --frames N]";
  args.expectPositional(2, usage);
  CaptureSettings settings = captureSettingsFrom(args, args.positional()[0]);
  settings.waitOutRefusals = true;
  const std::string& output = args.positional()[1];
  if (outputKindOf(output) != OutputKind::Stream)
    throw usageError(output + ": a recording is a stream file (.hxr): usage: " + usage);
  if (args.has("seconds") && args.has("frames"))
    throw usageError("--seconds and --frames exclude each other");
  const std::optional<double> seconds =
      args.has("seconds") ? std::optional(args.number("seconds", 0, 0.001, 1e7)) : std::nullopt;
  const std::optional<int64_t> frameLimit =
      args.has("frames") ? std::optional(args.integer("frames", 0, 1, 1'000'000'000))
                         : std::nullopt;
  const EnvParams env = environmentFrom(args).applyTo(kDefaultEnv);

  std::unique_ptr<StreamRecording> recording;
  std::atomic<StreamRecording*> target{nullptr};
  uint16_t width = 0, height = 0;
  std::atomic<bool> sizeChanged{false};
  std::atomic<int64_t> recorded{0};
  const auto enough = [&](int64_t frames) {
    if (frameLimit) return frames >= *frameLimit;
    return false;
  };

  CameraCapture capture(
      settings,
      [&](const IRFrame& frame, const solvane::CameraState& camera) {
        StreamRecording* into = target.load();
        if (!into || enough(recorded.load())) return false;
        if (camera.width != width || camera.height != height) {
          sizeChanged = true;
          return false;
        }
        const std::size_t rows = camera.height + (camera.headerVersion > 32 ? 1 : 0);
        const std::size_t count =
            std::min<std::size_t>(std::size_t{camera.width} * rows, frame.pixelCapacity);
        into->recorder().onReceivedFrame(std::span(frame.pixels, count));
        return !enough(++recorded);
      },
      [&](const CamHeaderBlock& header, const solvane::CameraState& camera, bool first) {
        // A reconnection keeps recording into the same file: the gap is the time value of the
        // first frame after it.
        if (!first) return;
        solvane::record::CameraSnapshot snapshot;
        snapshot.cameraType = camera.cameraType;
        snapshot.width = camera.width;
        snapshot.height = camera.height;
        snapshot.env = env;
        snapshot.rangeIndex = header.bytes[IRDEX_HEADER_RANGE_INDEX];
        snapshot.header = header;
        width = camera.width;
        height = camera.height;
        recording = std::make_unique<StreamRecording>(output, snapshot);
        target = recording.get();
      });

  Progress progress(context.err, context.errIsTerminal && !args.has("quiet"), "recording");
  const auto elapsed = [&]() -> double {
    const auto first = capture.firstFrameAt();
    return first ? std::chrono::duration<double>(Clock::now() - *first).count() : 0.0;
  };
  const auto runCapture = [&] {
    return capture.run(
        context,
        [&] {
          if (sizeChanged || (recording && !recording->failure().empty())) return true;
          if (frameLimit) return enough(recorded.load());
          return seconds && capture.firstFrameAt() && elapsed() >= *seconds;
        },
        [&] {
          std::optional<double> left;
          if (seconds) left = std::max(0.0, *seconds - elapsed());
          progress.update(recorded.load(), frameLimit.value_or(0), left);
        });
  };
  CameraCapture::End end = CameraCapture::End::Done;
  try {
    end = runCapture();
  } catch (const CliError& error) {
    // A camera lost for good ends the recording, not what it recorded: the whole frames
    // received stay in the file.
    target = nullptr;
    capture.stop();
    progress.finish();
    if (!recording || recorded.load() == 0 || !recording->failure().empty()) throw;
    recording->finish();
    throw CliError(std::string(error.what()) + "; " + std::to_string(recorded.load()) +
                   " frames kept in " + output);
  }
  // Frames stop reaching the recorder before the file is closed.
  target = nullptr;
  capture.stop();
  progress.finish();
  if (sizeChanged) throw CliError(settings.address.text() + ": the camera changed its image size");
  if (!recording) throw CliError("interrupted before the camera sent its header", kExitInterrupted);
  if (const std::string why = recording->failure(); !why.empty())
    throw CliError(output + ": " + why);
  if (recorded.load() == 0 && end == CameraCapture::End::Interrupted)
    throw CliError("interrupted before the first frame: nothing recorded", kExitInterrupted);
  const std::vector<std::string> files = recording->finish();
  if (context.errIsTerminal && !args.has("quiet")) {
    context.err << "recorded " << recorded.load() << " frames to " << output
                << (files.size() > 1 ? " (and " + std::to_string(files.size() - 1) + " more files)"
                                     : std::string())
                << (end == CameraCapture::End::Interrupted ? ", ended by interrupt" : "") << "\n";
  }
  return kExitOk;
}

}  // namespace irdexcli
