// `irdex info FILE...`: what a stream file, container or snapshot holds.
#include "arguments.h"
#include "cli_error.h"
#include "commands.h"
#include "ir_source.h"
#include "json_writer.h"

#include <cstdio>

namespace irdexcli {
namespace {

std::string fixed(double value, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string describeText(const InputDescription& d) {
  std::string text = d.path + "\n";
  const auto row = [&text](const std::string& name, const std::string& value) {
    text += "  " + name + std::string(name.size() < 14 ? 14 - name.size() : 1, ' ') + value + "\n";
  };
  row("kind", inputKindName(d.kind));
  row("version", std::to_string(d.version));
  if (d.kind != InputKind::Container) {
    row("camera", d.family + ", " + d.modelName + " (header version " +
                      std::to_string(d.headerVersion) + ")");
  }
  row("size", std::to_string(d.width) + " x " + std::to_string(d.height));
  row("frames", std::to_string(d.frameCount));
  if (d.durationSeconds) row("duration", fixed(*d.durationSeconds, 3) + " s");
  if (d.frameRate) row("frame rate", fixed(*d.frameRate, 0) + " fps");
  if (d.started) row("started", *d.started);
  if (d.firstFrameTime) row("first frame", *d.firstFrameTime);
  if (d.lastFrameTime) row("last frame", *d.lastFrameTime);
  if (d.env) {
    row("emissivity", fixed(d.env->emissivity, 3));
    row("atmosphere", fixed(d.env->atmosphericTemp, 2) +
                          " \xC2\xB0"
                          "C");
    row("transmission", fixed(d.env->transmission, 3));
  }
  if (d.kind != InputKind::Container) {
    std::string range = std::to_string(d.range);
    if (d.rangeLimits)
      range += " (" + std::to_string(d.rangeLimits->first) + " to " +
               std::to_string(d.rangeLimits->second) +
               " \xC2\xB0"
               "C)";
    row("range", range);
  }
  row("file size", std::to_string(d.fileBytes) + " bytes");
  return text;
}

std::string describeJson(const InputDescription& d, int indent) {
  JsonObject o;
  o.add("path", d.path).add("kind", inputKindName(d.kind)).add("version", d.version);
  if (d.kind != InputKind::Container) {
    o.add("headerVersion", d.headerVersion).add("model", d.model).add("modelName", d.modelName);
    o.add("family", d.family);
  }
  o.add("width", int64_t{d.width}).add("height", int64_t{d.height}).add("frames", d.frameCount);
  d.durationSeconds ? o.add("durationSeconds", *d.durationSeconds) : o.addNull("durationSeconds");
  d.started ? o.add("started", *d.started) : o.addNull("started");
  if (d.frameRate) o.add("frameRate", *d.frameRate);
  if (d.firstFrameTime) o.add("firstFrameTime", *d.firstFrameTime);
  if (d.lastFrameTime) o.add("lastFrameTime", *d.lastFrameTime);
  if (d.env) {
    o.add("emissivity", double{d.env->emissivity});
    o.add("atmosphericTemp", double{d.env->atmosphericTemp});
    o.add("transmission", double{d.env->transmission});
  }
  if (d.kind != InputKind::Container) {
    o.add("range", d.range);
    if (d.rangeLimits) {
      o.add("rangeLow", int64_t{d.rangeLimits->first})
          .add("rangeHigh", int64_t{d.rangeLimits->second});
    }
  }
  o.add("fileBytes", d.fileBytes);
  return o.text(indent);
}

}  // namespace

int runInfo(const Words& words, Context& context) {
  const Arguments args = Arguments::parse(words, {{"json", false}}, "info");
  if (args.helpRequested()) {
    context.out << commandHelp("info");
    return kExitOk;
  }
  args.expectAtLeast(1, "irdex info [--json] FILE...");
  const bool json = args.has("json");
  // Every file is described even when one fails; the status says whether any failed.
  std::vector<std::string> described;
  int status = kExitOk;
  for (const std::string& path : args.positional()) {
    if (context.stopRequested()) return kExitInterrupted;
    try {
      auto source = IrSource::open(path);
      const InputDescription d = source->describe(true);
      if (json) {
        described.push_back(describeJson(d, args.positional().size() > 1 ? 2 : 0));
      } else {
        context.out << (described.empty() ? "" : "\n") << describeText(d);
        described.push_back(path);
      }
    } catch (const CliError& error) {
      context.err << "irdex: " << error.what() << "\n";
      status = kExitFailure;
    }
  }
  if (json) {
    if (args.positional().size() > 1)
      context.out << jsonArray(described) << "\n";
    else if (!described.empty())
      context.out << described.front() << "\n";
  }
  return status;
}

}  // namespace irdexcli
