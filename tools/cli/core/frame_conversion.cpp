#include "frame_conversion.h"

#include "acquisition/camera_facts.h"
#include "view/display_choices.h"
#include "app/analyzer_settings.h"
#include "app/ir_info_block.h"
#include "arguments.h"
#include "cli_error.h"

#include <algorithm>
#include <cctype>

namespace irdexcli {
namespace {

// The analyzer's palette menu names the palettes, in the palette file's record order.
static_assert(solvane::kPalettes.size() == static_cast<std::size_t>(kPaletteCount));
const char* paletteNameAt(int32_t index) {
  return solvane::kPalettes[static_cast<std::size_t>(index)].name;
}

constexpr std::size_t kTableEntries = 65536;

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

EnvParams EnvOverrides::applyTo(EnvParams env) const {
  if (emissivity) env.emissivity = *emissivity;
  if (atmosphericTemp) env.atmosphericTemp = *atmosphericTemp;
  if (transmission) env.transmission = *transmission;
  return env;
}

int32_t FrameFormat::cameraType() const {
  return solvane::cameraTypeOf(header.bytes[IRDEX_HEADER_VERSION],
                               header.bytes[IRDEX_HEADER_MODEL]);
}

bool FrameFormat::ks() const { return solvane::isKsCameraType(cameraType()); }

TemperatureConverter::TemperatureConverter(const FrameFormat& format) : format_(format) {
  int16_t low = 0, high = 0;
  if (format_.ks()) {
    IRFrame probe{};
    probe.header = format_.header;
    if (GetTempRangeValueKS(&probe, format_.range, &low, &high) == SDK_SUCCESS && high > low) {
      rangeMin_ = low;
      rangeMax_ = high;
    }
    return;
  }
  table_.assign(kTableEntries, 0.0f);
  if (GetTempMapTable(table_.data(), format_.range) != SDK_SUCCESS) {
    throw CliError("the temperature table of range " + std::to_string(format_.range) +
                   " cannot be read (TempMapTable files beside the program)");
  }
  if (GetTempRangeValue(format_.range, &low, &high) == SDK_SUCCESS && high > low) {
    rangeMin_ = low;
    rangeMax_ = high;
  }
}

void TemperatureConverter::convert(const IRFrame& frame, EnvParams env,
                                   std::vector<float>& out) const {
  out.resize(std::size_t{format_.width} * format_.height);
  const uint32_t size = IrdexImageSize(format_.width, format_.height);
  const SdkStatus status = format_.ks() ? GetRawToTempKS(&frame, size, env, out.data())
                                        : GetRawToTemp(&frame, size, table(), env, out.data());
  if (status != SDK_SUCCESS)
    throw CliError("the frame cannot be converted to temperatures (status " +
                   std::to_string(status) + ")");
}

const char* paletteName(int32_t index) {
  return index >= 0 && index < kPaletteCount ? paletteNameAt(index) : "";
}

int32_t parsePalette(const std::string& text) {
  if (const auto index = parseInteger(text); index && *index >= 0 && *index < kPaletteCount)
    return static_cast<int32_t>(*index);
  for (int32_t i = 0; i < kPaletteCount; ++i)
    if (lowered(paletteNameAt(i)) == lowered(text)) return i;
  std::string names;
  for (int32_t i = 0; i < kPaletteCount; ++i)
    names += (i ? ", " : "") + std::string(paletteNameAt(i));
  throw usageError("unknown palette '" + text + "': use 0 to 12 or one of " + names);
}

FrameRenderer::FrameRenderer(const FrameFormat& format, const RenderOptions& options,
                             const TemperatureConverter& temperatures)
    : format_(format), options_(options), temperatures_(temperatures) {
  if (!pipeline_.setPalette(options_.palette, options_.invert))
    throw CliError("the palette file (colormap.bin beside the program) cannot be read");
  // The analyzer's own AGC record; a manual window is the level and span given.
  agc_ = solvane::agcParamsFrom(solvane::AnalyzerSettings{});
  agc_.manual = options_.level ? 1 : 0;
  level_ = options_.level.value_or(50.0f);
  span_ = options_.span.value_or(10.0f);
}

Picture FrameRenderer::render(const IRFrame& frame, EnvParams env) {
  solvane::CameraState camera;
  camera.width = format_.width;
  camera.height = format_.height;
  camera.headerVersion = format_.header.bytes[IRDEX_HEADER_VERSION];
  camera.cameraType = std::max(format_.cameraType(), 0);
  camera.ks = format_.ks();
  solvane::PipelineInput input;
  input.env = env;
  input.agc = agc_;
  input.table = temperatures_.table();
  input.rangeMin = temperatures_.rangeMin();
  input.rangeMax = temperatures_.rangeMax();
  input.showMouseTemp = false;
  float level = level_;
  float span = span_;
  if (!pipeline_.process(frame, camera, input, level, span))
    throw CliError("the frame cannot be rendered (the image mapping refused it)");
  const std::shared_ptr<const solvane::ComposedFrame> composed = pipeline_.latest();
  if (!composed) throw CliError("the frame cannot be rendered (nothing was composed)");
  Picture picture;
  picture.width = composed->width;
  picture.height = composed->height;
  picture.pixels = composed->picture;
  picture.level = composed->level;
  picture.span = composed->span;
  return picture;
}

}  // namespace irdexcli
