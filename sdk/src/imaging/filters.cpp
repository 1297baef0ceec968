// The 3x3 kernel filters (grey and colour) and the bilateral filter.
#include "imaging/filters.h"
#include "imaging/filter_math.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "records/byte_order.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace irdex::imaging {

namespace {

// Every kernel has one weight for the four corners, one for the four edge neighbours and one
// for the centre.
template <int Corner, int Edge, int Centre, int Divisor>
struct Kernel3x3 {
  // The quotient is taken in single precision and truncated; then as a signed 16-bit value,
  // stored as 0 when not positive and 255 from 255 up.
  static uint8_t finish(int sum) {
    const auto quotient =
        static_cast<int16_t>(static_cast<int>(static_cast<float>(sum) / float{Divisor}));
    if (quotient <= 0) return 0;
    return quotient >= 255 ? 255 : static_cast<uint8_t>(quotient);
  }

  static int weigh(int corners, int edges, int centre) {
    return Corner * corners + Edge * edges + Centre * centre;
  }

  // One sample with the border rule: a neighbour outside the image is the centre pixel.
  // Images hold `step` interleaved samples per pixel, filtered each on its own.
  static uint8_t borderSample(const uint8_t* src, int width, int height, int step, int x, int y,
                              int channel) {
    auto sample = [&](int xx, int yy) {
      return static_cast<int>(src[(static_cast<std::size_t>(yy) * width + xx) * step +
                                  static_cast<std::size_t>(channel)]);
    };
    const int c = sample(x, y);
    auto at = [&](int dx, int dy) {
      const int xx = x + dx, yy = y + dy;
      return (xx < 0 || xx >= width || yy < 0 || yy >= height) ? c : sample(xx, yy);
    };
    const int corners = at(-1, -1) + at(1, -1) + at(-1, 1) + at(1, 1);
    const int edges = at(0, -1) + at(-1, 0) + at(1, 0) + at(0, 1);
    return finish(weigh(corners, edges, c));
  }

  template <int step>
  static void run(const uint8_t* src, uint8_t* dst, int width, int height) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * step;
    const std::size_t pixelBytes = static_cast<std::size_t>(step);
    for (int y = 0; y < height; ++y) {
      uint8_t* out = dst + static_cast<std::size_t>(y) * rowBytes;
      auto border = [&](int x) {
        for (int c = 0; c < step; ++c) {
          out[static_cast<std::size_t>(x) * pixelBytes + static_cast<std::size_t>(c)] =
              borderSample(src, width, height, step, x, y, c);
        }
      };
      if (y == 0 || y == height - 1 || width < 3) {
        for (int x = 0; x < width; ++x) border(x);
        continue;
      }
      const uint8_t* above = src + static_cast<std::size_t>(y - 1) * rowBytes;
      const uint8_t* row = above + rowBytes;
      const uint8_t* below = row + rowBytes;
      border(0);
      // Inner samples have all nine neighbours, one pixel (step bytes) apart: a straight loop
      // the compiler vectorises.
      const std::size_t d = pixelBytes;
      for (std::size_t i = d; i < rowBytes - d; ++i) {
        const int corners = above[i - d] + above[i + d] + below[i - d] + below[i + d];
        const int edges = above[i] + row[i - d] + row[i + d] + below[i];
        out[i] = finish(weigh(corners, edges, row[i]));
      }
      border(width - 1);
    }
  }
};

// Filters src into dst (distinct images of width x height pixels, step samples each).
template <int Step>
void filterSamples(const uint8_t* src, uint8_t* dst, int width, int height, KernelType type) {
  switch (type) {
    case KernelType::StrongSmooth:
      Kernel3x3<1, 1, 5, 13>::run<Step>(src, dst, width, height);
      break;
    case KernelType::LightSmooth:
      Kernel3x3<1, 1, 10, 18>::run<Step>(src, dst, width, height);
      break;
    case KernelType::LightSharpen:
      Kernel3x3<0, -1, 8, 4>::run<Step>(src, dst, width, height);
      break;
    case KernelType::StrongSharpen:
      Kernel3x3<0, -1, 6, 2>::run<Step>(src, dst, width, height);
      break;
  }
}

void filterPlane(const uint8_t* src, uint8_t* dst, int width, int height, KernelType type) {
  filterSamples<1>(src, dst, width, height, type);
}

}  // namespace

bool isKernelType(int32_t type) { return type >= 2 && type <= 5; }

void applyKernel(std::span<uint8_t> image, int width, int height, KernelType type) {
  if (width <= 0 || height <= 0) return;
  // Every output pixel comes from the unfiltered image.
  const std::vector<uint8_t> original(image.begin(),
                                      image.begin() + static_cast<std::ptrdiff_t>(width) * height);
  filterPlane(original.data(), image.data(), width, height, type);
}

namespace {

// The 5-6-5 planes of a 16-bit image, and back as the mirror of the unpacking.
void splitPlanes(const uint8_t* image, std::size_t pixels, uint8_t* p0, uint8_t* p1, uint8_t* p2) {
  for (std::size_t i = 0; i < pixels; ++i) {
    const uint16_t v = readLe16(image + 2 * i);
    p0[i] = static_cast<uint8_t>((v >> 11) << 3);
    p1[i] = static_cast<uint8_t>(((v >> 5) & 63) << 2);
    p2[i] = static_cast<uint8_t>((v & 31) << 3);
  }
}

void joinPlanes(uint8_t* image, std::size_t pixels, const uint8_t* p0, const uint8_t* p1,
                const uint8_t* p2) {
  for (std::size_t i = 0; i < pixels; ++i) {
    writeLe16(image + 2 * i,
              static_cast<uint16_t>((p0[i] >> 3) << 11 | (p1[i] >> 2) << 5 | (p2[i] >> 3)));
  }
}

}  // namespace

bool applyColorKernel(std::span<uint8_t> image, int width, int height, KernelType type,
                      int bitsPerPixel) {
  if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  if (width <= 0 || height <= 0) return true;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  if (bitsPerPixel != 16) {
    // The planes are bytes 0, 1 and 2 of each pixel: filtered where they lie.
    const int step = bitsPerPixel / 8;
    const std::vector<uint8_t> original(image.begin(),
                                        image.begin() + static_cast<std::ptrdiff_t>(pixels) * step);
    if (step == 3) {
      filterSamples<3>(original.data(), image.data(), width, height, type);
    } else {
      filterSamples<4>(original.data(), image.data(), width, height, type);
      for (std::size_t i = 0; i < pixels; ++i) image[i * 4 + 3] = 0;  // the fourth byte becomes 0
    }
    return true;
  }
  // Three unfiltered planes, then three filtered ones.
  const auto buffer = uninitialisedBytes(6 * pixels);
  uint8_t* planes = buffer.get();
  uint8_t* filtered = planes + 3 * pixels;
  splitPlanes(image.data(), pixels, planes, planes + pixels, planes + 2 * pixels);
  for (std::size_t p = 0; p < 3; ++p) {
    filterPlane(planes + p * pixels, filtered + p * pixels, width, height, type);
  }
  joinPlanes(image.data(), pixels, filtered, filtered + pixels, filtered + 2 * pixels);
  return true;
}

namespace {

// The weights of one bilateral pass: spatial[k + radius] for tap k, range[|v - centre|].
struct BilateralWeights {
  int radius;
  const float* spatial;
  const double* range;
};

// A zero sigma leaves no usable weight (0/0): the pixel keeps its value, which is also the
// limit of the filter as the sigma goes to zero.
uint8_t bilateralAverage(double weighted, double total, int centre) {
  if (!(total > 0.0)) return static_cast<uint8_t>(centre);
  const double value = weighted / total;
  if (!std::isfinite(value)) return static_cast<uint8_t>(centre);
  return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
}

// One pixel: taps first..last, `stride` bytes apart, summed in tap order.
uint8_t bilateralPixel(const uint8_t* centre, std::ptrdiff_t stride, int first, int last,
                       const BilateralWeights& w) {
  const int c = *centre;
  double weighted = 0.0, total = 0.0;
  for (int k = first; k <= last; ++k) {
    const int v = centre[k * stride];
    const double weight = static_cast<double>(w.spatial[k + w.radius]) * w.range[std::abs(v - c)];
    total += weight;
    weighted += weight * v;
  }
  return bilateralAverage(weighted, total, c);
}

#if defined(__x86_64__) || defined(__i386__)
// Four neighbouring pixels that share their taps first..last, one per double lane: each lane
// does the scalar pixel's multiplications and additions in the scalar pixel's order, so the
// sums are the same to the last bit.
// Four bytes as four 32-bit lanes.
__attribute__((target("avx2"))) inline __m128i fourBytesAt(const uint8_t* p) {
  uint32_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  return _mm_cvtepu8_epi32(_mm_cvtsi32_si128(static_cast<int>(bytes)));
}

__attribute__((target("avx2"))) void bilateralFour(const uint8_t* centre, std::ptrdiff_t stride,
                                                   int first, int last, const BilateralWeights& w,
                                                   uint8_t* out) {
  const __m128i c = fourBytesAt(centre);
  const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
  __m256d weighted = _mm256_setzero_pd(), total = _mm256_setzero_pd();
  for (int k = first; k <= last; ++k) {
    const __m128i v = fourBytesAt(centre + k * stride);
    // The masked form with every lane on: the plain one starts from an undefined register,
    // which the compiler warns about.
    const __m256d rangeWeight = _mm256_mask_i32gather_pd(
        _mm256_setzero_pd(), w.range, _mm_abs_epi32(_mm_sub_epi32(v, c)), all, 8);
    const __m256d weight =
        _mm256_mul_pd(_mm256_set1_pd(static_cast<double>(w.spatial[k + w.radius])), rangeWeight);
    total = _mm256_add_pd(total, weight);
    weighted = _mm256_add_pd(weighted, _mm256_mul_pd(weight, _mm256_cvtepi32_pd(v)));
  }
  // The scalar average per lane: the same division; where the total is not positive or the
  // quotient not finite, the centre; else the quotient clamped to 0 .. 255 and truncated
  // (the clamp's order of comparisons cannot matter once NaN is excluded, and a negative
  // zero truncates to 0 like a positive one).
  const __m256d value = _mm256_div_pd(weighted, total);
  const __m256d finite =
      _mm256_cmp_pd(_mm256_andnot_pd(_mm256_set1_pd(-0.0), value),
                    _mm256_set1_pd(std::numeric_limits<double>::max()), _CMP_LE_OQ);
  const __m256d usable =
      _mm256_and_pd(_mm256_cmp_pd(total, _mm256_setzero_pd(), _CMP_GT_OQ), finite);
  const __m256d clamped =
      _mm256_min_pd(_mm256_max_pd(value, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
  const __m128i averaged = _mm256_cvttpd_epi32(_mm256_and_pd(clamped, usable));
  const __m128i keep = _mm256_castsi256_si128(_mm256_castpd_si256(usable));
  const __m128i keepLanes = _mm_castps_si128(
      _mm_shuffle_ps(_mm_castsi128_ps(keep),
                     _mm_castsi128_ps(_mm256_extractf128_si256(_mm256_castpd_si256(usable), 1)),
                     _MM_SHUFFLE(2, 0, 2, 0)));
  const __m128i result = _mm_blendv_epi8(c, averaged, keepLanes);
  const __m128i bytes = _mm_shuffle_epi8(
      result, _mm_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
  const auto packed = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes));
  std::memcpy(out, &packed, sizeof packed);
}
#endif

}  // namespace

void bilateralFilter(std::span<uint8_t> image, int width, int height, float sigmaSpatial,
                     float sigmaRange, int radius) {
  bilateralFilter(bestCpuLevel(), image, width, height, sigmaSpatial, sigmaRange, radius);
}

void bilateralFilter(CpuLevel level, std::span<uint8_t> image, int width, int height,
                     float sigmaSpatial, float sigmaRange, int radius) {
  if (width <= 0 || height <= 0 || radius <= 0) return;
  // Taps beyond the image never count, so a larger radius changes nothing.
  radius = std::min(radius, std::max(width, height));
  // A path the processor cannot run would stop the program on an illegal instruction.
  const bool four = level == CpuLevel::Avx2 && cpuRuns(level);

  const double spatialVariance = static_cast<double>(sigmaSpatial) * sigmaSpatial;
  const double rangeVariance = static_cast<double>(sigmaRange) * sigmaRange;
  std::vector<float> spatial(static_cast<std::size_t>(2 * radius + 1));
  for (int k = -radius; k <= radius; ++k) {
    spatial[static_cast<std::size_t>(k + radius)] =
        static_cast<float>(std::exp(-0.5 * static_cast<double>(k) * k / spatialVariance));
  }
  // Both passes see whole byte values, so the range term has only 256 distinct arguments.
  std::array<double, 256> range{};
  for (int d = 0; d < 256; ++d) {
    range[static_cast<std::size_t>(d)] =
        std::exp(-0.5 * static_cast<double>(d) * static_cast<double>(d) / rangeVariance);
  }
  const BilateralWeights weights{radius, spatial.data(), range.data()};

  const std::size_t w = static_cast<std::size_t>(width);
  const auto temp = uninitialisedBytes(w * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = image.data() + y * w;
    uint8_t* out = temp.get() + y * w;
    for (int x = 0; x < width;) {
#if defined(__x86_64__) || defined(__i386__)
      // Four pixels share their taps where none of them reaches past either end of the row.
      if (four && x >= radius && x + 3 + radius <= width - 1) {
        bilateralFour(row + x, 1, -radius, radius, weights, out + x);
        x += 4;
        continue;
      }
#endif
      const int first = std::max(-radius, -x), last = std::min(radius, width - 1 - x);
      out[x] = bilateralPixel(row + x, 1, first, last, weights);
      ++x;
    }
  }
  const auto stride = static_cast<std::ptrdiff_t>(w);
  for (int y = 0; y < height; ++y) {
    uint8_t* out = image.data() + y * w;
    const uint8_t* centres = temp.get() + y * w;
    const int first = std::max(-radius, -y), last = std::min(radius, height - 1 - y);
    int x = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (four) {
      for (; x + 4 <= width; x += 4)
        bilateralFour(centres + x, stride, first, last, weights, out + x);
    }
#endif
    for (; x < width; ++x) out[x] = bilateralPixel(centres + x, stride, first, last, weights);
  }
}

}  // namespace irdex::imaging
