// Exports of the overlays. The canvas stands for both the window (its size) and the device
// context; a canvas cairo cannot draw into, or a missing palette, draws nothing and returns 0.
#include <irdex.h>

#include <span>

#include "imaging/overlays.h"
#include "records/boundary.h"

namespace img = irdex::imaging;

extern "C" {

IRDEX_API int32_t DrawColorBar(const IrdexCanvas* canvas, const uint8_t* palette, float level,
                               float span, int32_t unit, int32_t noBar) {
  if (!canvas || !palette) return 0;
  return irdex::guarded(
      [&] {
        // Only the low byte of the flag counts.
        return img::drawColorBar(*canvas, std::span<const uint8_t, 768>(palette, 768), level, span,
                                 unit, (noBar & 0xFF) != 0)
                   ? 1
                   : 0;
      },
      0);
}

IRDEX_API int32_t DrawMinMaxPos(const IrdexCanvas* canvas, int32_t minX, int32_t minY, int32_t maxX,
                                int32_t maxY, int32_t size) {
  if (!canvas) return 0;
  return irdex::guarded(
      [&] { return img::drawMinMaxMarkers(*canvas, minX, minY, maxX, maxY, size) ? 1 : 0; }, 0);
}

}  // extern "C"
