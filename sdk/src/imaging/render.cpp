#include "imaging/render.h"

#include <memory>

#include "imaging/plateau.h"
#include "imaging/render_mapping.h"

namespace irdex::imaging {
namespace {

struct ScratchStore {
  std::unique_ptr<uint32_t[]> pixelBins{new uint32_t[kCountBins]};
  std::unique_ptr<uint32_t[]> windowBins{new uint32_t[kCountBins]};
  std::unique_ptr<uint16_t[]> countMap{new uint16_t[kCountBins]};
  std::unique_ptr<uint8_t[]> greyTable{new uint8_t[kCountBins]};
  RenderScratch view{pixelBins.get(), windowBins.get(), countMap.get(), greyTable.get()};
};

}  // namespace

RenderScratch& renderScratch() {
  thread_local ScratchStore store;
  return store.view;
}

void renderGrey(uint8_t* out, const RenderJob& job, const CountScale& scale, AgcParams& agc,
                float& level, float& span) {
  AgcSettings settings = readAgcParams(agc);
  const CountWindow window = chooseWindow(job.windowHistogram, settings, scale, level, span,
                                          job.allowCoreWindow, job.transform);

  const CountHistogram& pixels = *job.pixelHistogram;
  if (pixels.empty()) return;
  uint8_t* grey = renderScratch().greyTable;
  const GreyMapping mapping(window, settings);
  for (int32_t n = pixels.lowest; n <= pixels.highest; ++n) {
    // Counts that do not occur need no grey level.
    if (pixels.bins[n] == 0) continue;
    grey[n] = mapping(job.countMap ? job.countMap[n] : n);
  }

  if (settings.outputMethod == kTPE || settings.outputMethod == kAPE ||
      settings.outputMethod == kSAPE) {
    GreyHistogram levels{};
    for (int32_t n = pixels.lowest; n <= pixels.highest; ++n) {
      if (pixels.bins[n] != 0) levels[grey[n]] += pixels.bins[n];
    }
    std::optional<GreyMap> map;
    float prevPlateau = settings.prevPlateau;
    switch (settings.outputMethod) {
      case kTPE: map = plateauMapTPE(levels, settings.plateau); break;
      case kAPE: map = plateauMapAPE(levels, settings.epsilon, settings.psi, prevPlateau); break;
      default: map = plateauMapSAPE(levels, settings.psi, prevPlateau); break;
    }
    agc.prevPlateau = prevPlateau;
    if (map) {
      for (int32_t n = pixels.lowest; n <= pixels.highest; ++n) {
        if (pixels.bins[n] != 0) grey[n] = (*map)[grey[n]];
      }
    }
  }

  const uint16_t* source = job.pixels.data();
  const size_t count = job.pixels.size();
  for (size_t k = 0; k < count; ++k) out[k] = grey[source[k]];
}

}  // namespace irdex::imaging
