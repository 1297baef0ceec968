// Smoothing and sharpening filters for 8-bit images, worked in place. Images are row-major,
// width x height bytes (colour images 2, 3 or 4 bytes per pixel), rows without padding.
#pragma once

#include <cstdint>
#include <span>

#include "records/cpu_dispatch.h"

namespace irdex::imaging {

// The fixed 3x3 kernels, by the type number the analyzer's filter setting uses.
enum class KernelType : int32_t {
  StrongSmooth = 2,
  LightSmooth = 3,
  LightSharpen = 4,
  StrongSharpen = 5,
};

bool isKernelType(int32_t type);

// Whole-image 3x3 kernel filter; neighbours outside the image count as the centre pixel.
void applyKernel(std::span<uint8_t> image, int width, int height, KernelType type);

// Colour variant: splits the pixels into three 8-bit planes, filters each, packs them back.
// False (image untouched) for a depth other than 16, 24 or 32 bits.
bool applyColorKernel(std::span<uint8_t> image, int width, int height, KernelType type,
                      int bitsPerPixel);

// Separable edge-preserving smoothing, horizontal pass first, on the fastest path this
// processor has.
void bilateralFilter(std::span<uint8_t> image, int width, int height, float sigmaSpatial,
                     float sigmaRange, int radius);
// The same on the path of `level` (the baseline where the processor cannot run it), for tests.
void bilateralFilter(CpuLevel level, std::span<uint8_t> image, int width, int height,
                     float sigmaSpatial, float sigmaRange, int radius);

// Box mean over (2r+1)^2 by summed areas, with the historical border: the lower corners are
// limited to the image like the upper ones, so the first row and column of the image are
// left out of every box that would reach beyond them. radius >= 0.
void boxBlur(std::span<uint8_t> image, int width, int height, int radius);

// Triangular-kernel stack blur with repeated edge pixels. 1 <= radius <= kMaxStackRadius.
inline constexpr int kMaxStackRadius = 1 << 24;
void stackBlur(std::span<uint8_t> image, int width, int height, int radius);

// Integer Gaussian-like kernel: weights (r - |k|)^2 and their products with every byte value.
inline constexpr int kMaxGaussianRadius = 248;
int32_t makeGaussianKernel(std::span<int32_t> weights, std::span<int32_t> products, int radius);
int clampGaussianRadius(int radius);

// Separable blur with a caller-made kernel (2r+1 weights, (2r+1) x 256 products), weights
// renormalised at the borders. 1 <= radius <= kMaxGaussianRadius.
void gaussianBlur(std::span<uint8_t> image, int width, int height, std::span<const int32_t> weights,
                  std::span<const int32_t> products, int radius);

}  // namespace irdex::imaging
