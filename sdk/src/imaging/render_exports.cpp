// Exports of the rendering: check the pointers, hand over to the C++ inside, and let no
// exception cross the boundary.
#include <irdex.h>

#include <exception>
#include <span>

#include "imaging/histogram.h"
#include "imaging/palette.h"
#include "imaging/render_frame.h"
#include "records/data_files.h"

namespace {

using irdex::imaging::RenderCall;

RenderCall makeCall(uint8_t* out, int32_t pixelCount, const float* table, float* level, float* span,
                    AgcParams* agc) {
  RenderCall call;
  call.out = out;
  call.pixelCount = pixelCount;
  call.table = table;
  call.level = level;
  call.span = span;
  call.agc = agc;
  return call;
}

template <typename Render>
SdkStatus guarded(Render&& render) {
  try {
    return render();
  } catch (const std::exception&) {
    return SDK_ERR_BUFFER;  // working memory could not be had
  }
}

}  // namespace

extern "C" {

IRDEX_API SdkStatus GetImage(uint8_t* out, const IRFrame* frame, int32_t pixelCount,
                             const float* table, float* level, float* span, AgcParams* agc) {
  const RenderCall call = makeCall(out, pixelCount, table, level, span, agc);
  if (const SdkStatus status = irdex::imaging::checkRenderCall(frame, call, false);
      status != SDK_SUCCESS) {
    return status;
  }
  return guarded([&] { return irdex::imaging::renderImage(*frame, call); });
}

IRDEX_API SdkStatus GetImageKS(uint8_t* out, const IRFrame* frame, int32_t pixelCount, float* level,
                               float* span, AgcParams* agc) {
  const RenderCall call = makeCall(out, pixelCount, nullptr, level, span, agc);
  if (out == nullptr || frame == nullptr) return SDK_ERR_BUFFER;
  if (IRFrameVersion(frame) < 32) return SDK_ERR_INVALID_HANDLE;
  if (const SdkStatus status = irdex::imaging::checkRenderCall(frame, call, false);
      status != SDK_SUCCESS) {
    return status;
  }
  return guarded([&] { return irdex::imaging::renderImageKS(*frame, call); });
}

IRDEX_API SdkStatus GetCorrectedImage(uint8_t* out, const IRFrame* frame, int32_t pixelCount,
                                      const float* table, EnvParams params, float* level,
                                      float* span, AgcParams* agc) {
  RenderCall call = makeCall(out, pixelCount, table, level, span, agc);
  call.params = params;
  if (const SdkStatus status = irdex::imaging::checkRenderCall(frame, call, true);
      status != SDK_SUCCESS) {
    return status;
  }
  return guarded([&] { return irdex::imaging::renderCorrectedImage(*frame, call); });
}

IRDEX_API SdkStatus GetCorrectedImageKS(uint8_t* out, const IRFrame* frame, int32_t pixelCount,
                                        EnvParams params, float* level, float* span,
                                        AgcParams* agc) {
  RenderCall call = makeCall(out, pixelCount, nullptr, level, span, agc);
  call.params = params;
  if (out == nullptr || frame == nullptr || frame->pixels == nullptr) return SDK_ERR_BUFFER;
  if (IRFrameVersion(frame) < 32) return SDK_ERR_INVALID_HANDLE;
  if (const SdkStatus status = irdex::imaging::checkRenderCall(frame, call, true);
      status != SDK_SUCCESS) {
    return status;
  }
  return guarded([&] { return irdex::imaging::renderCorrectedImageKS(*frame, call); });
}

IRDEX_API SdkStatus GetImageLUT(uint8_t* palette, int32_t index, int32_t invert) {
  if (palette == nullptr) return SDK_ERR_BUFFER;
  namespace img = irdex::imaging;
  return guarded([&] {
    return img::loadPalette(irdex::records::findDataFile(img::kPaletteFileName),
                            std::span<uint8_t, img::kPaletteBytes>(palette, img::kPaletteBytes),
                            index, (invert & 0xFF) != 0);
  });
}

IRDEX_API SdkStatus GetGrayToPaletteImage(const uint8_t* grey, void* dest, uint16_t width,
                                          uint16_t height, const uint8_t* palette,
                                          int32_t bitsPerPixel, int32_t mirror, int32_t flip) {
  // A missing palette would be read as well, so it is refused like the images.
  if (grey == nullptr || dest == nullptr || palette == nullptr) return SDK_ERR_BUFFER;
  irdex::imaging::greyToColour(grey, dest, width, height, palette,
                               {bitsPerPixel, mirror != 0, flip != 0});
  return SDK_SUCCESS;
}

IRDEX_API SdkStatus GetIRHistogram(int32_t* histogram, const uint16_t* pixels, int32_t count) {
  if (histogram == nullptr || pixels == nullptr) return SDK_ERR_BUFFER;
  if (count > 0) {
    irdex::imaging::accumulateHistogram(histogram, {pixels, static_cast<size_t>(count)});
  }
  return SDK_SUCCESS;
}

}  // extern "C"
