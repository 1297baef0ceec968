// Exports of the image filters: pointer and window-size checks, then the C++ filters.
#include <irdex.h>

#include "records/boundary.h"

#include <cstddef>
#include <span>

#include "imaging/filters.h"

namespace {

namespace img = irdex::imaging;

std::span<uint8_t> greyImage(uint8_t* image, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  return {image, static_cast<std::size_t>(width) * static_cast<std::size_t>(height)};
}

// Nothing may escape into a C caller.
template <typename Work>
SdkStatus guarded(Work work) noexcept {
  return irdex::guarded([&] {
    work();
    return SDK_SUCCESS;
  });
}

}  // namespace

extern "C" {

IRDEX_API SdkStatus ApplyImageFilter(uint8_t* image, uint16_t width, uint16_t height,
                                     int32_t type) {
  if (!image) return SDK_ERR_BUFFER;
  if (!img::isKernelType(type)) return SDK_ERR_UNSUPPORTED_FILTER;
  return guarded([&] {
    img::applyKernel(greyImage(image, width, height), width, height,
                     static_cast<img::KernelType>(type));
  });
}

IRDEX_API SdkStatus ApplyColorImageFilter(uint8_t* image, uint16_t width, uint16_t height,
                                          int32_t type, int32_t bitsPerPixel) {
  if (!image) return SDK_ERR_BUFFER;
  if (!img::isKernelType(type)) return SDK_ERR_UNSUPPORTED_FILTER;
  // A depth the filter cannot split is refused like an unknown kind, image untouched,
  // rather than reported as filtered.
  if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) {
    return SDK_ERR_UNSUPPORTED_FILTER;
  }
  const std::size_t bytes =
      static_cast<std::size_t>(width) * height * static_cast<std::size_t>(bitsPerPixel / 8);
  return guarded([&] {
    img::applyColorKernel({image, bytes}, width, height, static_cast<img::KernelType>(type),
                          bitsPerPixel);
  });
}

IRDEX_API void BilateralFilter(uint8_t* image, uint16_t width, uint16_t height, float sigmaSpatial,
                               float sigmaRange, int32_t radius) {
  if (!image) return;
  guarded([&] {
    img::bilateralFilter(greyImage(image, width, height), width, height, sigmaSpatial, sigmaRange,
                         radius);
  });
}

IRDEX_API SdkStatus BoxBlur(uint8_t* image, int32_t width, int32_t height, int32_t radius) {
  if (!image) return SDK_ERR_BUFFER;
  if (radius < 0) return SDK_ERR_FILTER_SIZE;
  return guarded([&] { img::boxBlur(greyImage(image, width, height), width, height, radius); });
}

IRDEX_API SdkStatus FastStackBlur(uint8_t* image, int32_t width, int32_t height, int32_t radius) {
  if (!image) return SDK_ERR_BUFFER;
  // Above the limit the weighted sums outgrow 64 bits; no image needs such a window.
  if (radius < 1 || radius > img::kMaxStackRadius) return SDK_ERR_FILTER_SIZE;
  return guarded([&] { img::stackBlur(greyImage(image, width, height), width, height, radius); });
}

IRDEX_API int32_t GetGaussianKernel(int32_t* weights, int32_t* products, int32_t radius) {
  if (!weights || !products) return SDK_ERR_BUFFER;
  const std::size_t taps = 2 * static_cast<std::size_t>(img::clampGaussianRadius(radius)) + 1;
  return img::makeGaussianKernel({weights, taps}, {products, taps * 256}, radius);
}

IRDEX_API SdkStatus FastGaussianBlur(uint8_t* image, int32_t width, int32_t height,
                                     int32_t* weights, int32_t* products, int32_t radius) {
  if (radius < 1) return SDK_ERR_FILTER_SIZE;
  if (!weights || !products || !image) return SDK_ERR_BUFFER;
  // No kernel wider than GetGaussianKernel makes can exist in the caller's tables.
  if (radius > img::kMaxGaussianRadius) return SDK_ERR_FILTER_SIZE;
  const std::size_t taps = 2 * static_cast<std::size_t>(radius) + 1;
  return guarded([&] {
    img::gaussianBlur(greyImage(image, width, height), width, height, {weights, taps},
                      {products, taps * 256}, radius);
  });
}

}  // extern "C"
