#include "convert_options.h"

#include "cli_error.h"

namespace irdexcli {

std::vector<OptionRule> environmentOptions() {
  return {{"emissivity", true}, {"atm-temp", true}, {"transmission", true}};
}

std::vector<OptionRule> renderOptions() {
  return {{"palette", true}, {"invert", false}, {"agc", false}, {"level", true}, {"span", true}};
}

EnvOverrides environmentFrom(const Arguments& args) {
  EnvOverrides env;
  // A zero emissivity or transmission would divide the radiation by nothing.
  if (args.has("emissivity"))
    env.emissivity = static_cast<float>(args.number("emissivity", 1, 0.01, 1));
  if (args.has("atm-temp"))
    env.atmosphericTemp = static_cast<float>(args.number("atm-temp", 20, -273.15, 2000));
  if (args.has("transmission"))
    env.transmission = static_cast<float>(args.number("transmission", 1, 0.01, 1));
  return env;
}

RenderOptions renderFrom(const Arguments& args) {
  RenderOptions render;
  if (const auto palette = args.value("palette")) render.palette = parsePalette(*palette);
  render.invert = args.has("invert");
  const bool manual = args.has("level") || args.has("span");
  if (manual && args.has("agc")) throw usageError("--agc and --level/--span exclude each other");
  if (manual) {
    if (!args.has("level") || !args.has("span"))
      throw usageError("a manual window needs both --level and --span");
    render.level = static_cast<float>(args.number("level", 0, -273.15, 3000));
    render.span = static_cast<float>(args.number("span", 0, 0.1, 3000));
  }
  return render;
}

}  // namespace irdexcli
