// Rendering of whole frames by camera generation: the plain renderings (GetImage,
// GetImageKS) and the corrected ones (GetCorrectedImage, GetCorrectedImageKS).
#pragma once

#include <irdex.h>

#include <cstdint>

namespace irdex::imaging {

// Everything a render call receives besides the frame. `table` is read for versions 0 to
// 16 only; `params` only by the corrected renderings.
struct RenderCall {
  uint8_t* out = nullptr;
  int32_t pixelCount = 0;
  const float* table = nullptr;
  float* level = nullptr;
  float* span = nullptr;
  AgcParams* agc = nullptr;
  EnvParams params{};
};

// The checks every render export makes before any work: out, frame, its pixels, the level,
// span and AGC record, and the table when the rendering of this frame reads it.
SdkStatus checkRenderCall(const IRFrame* frame, const RenderCall& call, bool corrected);

SdkStatus renderImage(const IRFrame& frame, const RenderCall& call);
// Version 32 and above only.
SdkStatus renderImageKS(const IRFrame& frame, const RenderCall& call);
SdkStatus renderCorrectedImage(const IRFrame& frame, const RenderCall& call);
// Version 32 and above only.
SdkStatus renderCorrectedImageKS(const IRFrame& frame, const RenderCall& call);

}  // namespace irdex::imaging
