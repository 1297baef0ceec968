// One render: counts to an 8-bit grey image through the AGC window, the grey mapping and
// the plateau equalisation.
//
// Every step after the one histogram pass works per count, not per pixel: the grey level
// of each count present is put in a table (through the corrected count, when there is one),
// the plateau histogram is gathered from the count histogram through that table, and the
// pixel pass is one look-up. The result is the per-pixel rule's, byte for byte.
#pragma once

#include <irdex.h>

#include <cstdint>
#include <span>

#include "imaging/agc.h"
#include "imaging/histogram.h"

namespace irdex::imaging {

// Per-thread working memory of the renders (histograms and tables of 65536 entries), kept
// between frames so a live stream does not allocate and clear fresh pages every frame.
struct RenderScratch {
  uint32_t* pixelBins;   // histogram of the frame's pixels
  uint32_t* windowBins;  // histogram the window is chosen on, when it is another one
  uint16_t* countMap;    // corrected count of every raw count
  uint8_t* greyTable;    // grey level of every raw count
};
RenderScratch& renderScratch();

struct RenderJob {
  std::span<const uint16_t> pixels;                 // the frame's counts, mapped to grey
  const CountHistogram* pixelHistogram = nullptr;   // of `pixels`
  const CountHistogram* windowHistogram = nullptr;  // null in manual mode
  const uint16_t* countMap = nullptr;               // corrected count of each raw count, or null
  bool allowCoreWindow = false;
  const LevelTransform* transform = nullptr;
};

// Chooses the window, writes level, span and prevPlateau back and fills out[0 .. pixels).
void renderGrey(uint8_t* out, const RenderJob& job, const CountScale& scale, AgcParams& agc,
                float& level, float& span);

}  // namespace irdex::imaging
