// The 3x3 kernel filters (grey and colour) and the bilateral filter.
#include "imaging/filters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "records/byte_order.h"

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

  // One pixel with the border rule: a neighbour outside the image is the centre pixel.
  static uint8_t borderPixel(const uint8_t* src, int width, int height, int x, int y) {
    const int c = src[static_cast<std::size_t>(y) * width + x];
    auto at = [&](int dx, int dy) {
      const int xx = x + dx, yy = y + dy;
      if (xx < 0 || xx >= width || yy < 0 || yy >= height) return c;
      return static_cast<int>(src[static_cast<std::size_t>(yy) * width + xx]);
    };
    const int corners = at(-1, -1) + at(1, -1) + at(-1, 1) + at(1, 1);
    const int edges = at(0, -1) + at(-1, 0) + at(1, 0) + at(0, 1);
    return finish(weigh(corners, edges, c));
  }

  static void run(const uint8_t* src, uint8_t* dst, int width, int height) {
    for (int y = 0; y < height; ++y) {
      uint8_t* out = dst + static_cast<std::size_t>(y) * width;
      if (y == 0 || y == height - 1 || width < 3) {
        for (int x = 0; x < width; ++x) out[x] = borderPixel(src, width, height, x, y);
        continue;
      }
      const uint8_t* above = src + static_cast<std::size_t>(y - 1) * width;
      const uint8_t* row = above + width;
      const uint8_t* below = row + width;
      out[0] = borderPixel(src, width, height, 0, y);
      // Inner pixels have all nine neighbours: a straight loop the compiler vectorises.
      for (int x = 1; x < width - 1; ++x) {
        const int corners = above[x - 1] + above[x + 1] + below[x - 1] + below[x + 1];
        const int edges = above[x] + row[x - 1] + row[x + 1] + below[x];
        out[x] = finish(weigh(corners, edges, row[x]));
      }
      out[width - 1] = borderPixel(src, width, height, width - 1, y);
    }
  }
};

// Filters src into dst (distinct buffers of width x height bytes).
void filterPlane(const uint8_t* src, uint8_t* dst, int width, int height, KernelType type) {
  switch (type) {
    case KernelType::StrongSmooth: Kernel3x3<1, 1, 5, 13>::run(src, dst, width, height); break;
    case KernelType::LightSmooth: Kernel3x3<1, 1, 10, 18>::run(src, dst, width, height); break;
    case KernelType::LightSharpen: Kernel3x3<0, -1, 8, 4>::run(src, dst, width, height); break;
    case KernelType::StrongSharpen: Kernel3x3<0, -1, 6, 2>::run(src, dst, width, height); break;
  }
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

bool applyColorKernel(std::span<uint8_t> image, int width, int height, KernelType type,
                      int bitsPerPixel) {
  if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  if (width <= 0 || height <= 0) return true;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel) / 8;
  std::array<std::vector<uint8_t>, 3> planes;
  for (auto& plane : planes) plane.resize(pixels);

  for (std::size_t i = 0; i < pixels; ++i) {
    const uint8_t* px = image.data() + i * bytesPerPixel;
    if (bitsPerPixel == 16) {
      const uint16_t v = readLe16(px);
      planes[0][i] = static_cast<uint8_t>((v >> 11) << 3);
      planes[1][i] = static_cast<uint8_t>(((v >> 5) & 63) << 2);
      planes[2][i] = static_cast<uint8_t>((v & 31) << 3);
    } else {
      planes[0][i] = px[0];
      planes[1][i] = px[1];
      planes[2][i] = px[2];
    }
  }

  std::vector<uint8_t> filtered(pixels);
  for (auto& plane : planes) {
    filterPlane(plane.data(), filtered.data(), width, height, type);
    plane.swap(filtered);
  }

  for (std::size_t i = 0; i < pixels; ++i) {
    uint8_t* px = image.data() + i * bytesPerPixel;
    switch (bitsPerPixel) {
      case 16:
        // The mirror of the 5-6-5 unpacking above.
        writeLe16(px, static_cast<uint16_t>((planes[0][i] >> 3) << 11 | (planes[1][i] >> 2) << 5 |
                                            (planes[2][i] >> 3)));
        break;
      case 24:
        px[0] = planes[0][i];
        px[1] = planes[1][i];
        px[2] = planes[2][i];
        break;
      default:
        writeLe32(px, static_cast<uint32_t>(planes[2][i]) << 16 |
                          static_cast<uint32_t>(planes[1][i]) << 8 | planes[0][i]);
        break;
    }
  }
  return true;
}

void bilateralFilter(std::span<uint8_t> image, int width, int height, float sigmaSpatial,
                     float sigmaRange, int radius) {
  if (width <= 0 || height <= 0 || radius <= 0) return;
  // Taps beyond the image never count, so a larger radius changes nothing.
  radius = std::min(radius, std::max(width, height));

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

  // A zero sigma leaves no usable weight (0/0): the pixel keeps its value, which is also
  // the limit of the filter as the sigma goes to zero.
  auto average = [&](double weighted, double total, int centre) -> uint8_t {
    if (!(total > 0.0)) return static_cast<uint8_t>(centre);
    const double value = weighted / total;
    if (!std::isfinite(value)) return static_cast<uint8_t>(centre);
    return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
  };

  const std::size_t w = static_cast<std::size_t>(width);
  std::vector<uint8_t> temp(w * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = image.data() + y * w;
    uint8_t* out = temp.data() + y * w;
    for (int x = 0; x < width; ++x) {
      const int centre = row[x];
      double weighted = 0.0, total = 0.0;
      const int first = std::max(-radius, -x), last = std::min(radius, width - 1 - x);
      for (int k = first; k <= last; ++k) {
        const int v = row[x + k];
        const double weight = static_cast<double>(spatial[static_cast<std::size_t>(k + radius)]) *
                              range[static_cast<std::size_t>(std::abs(v - centre))];
        total += weight;
        weighted += weight * v;
      }
      out[x] = average(weighted, total, centre);
    }
  }
  for (int y = 0; y < height; ++y) {
    uint8_t* out = image.data() + y * w;
    const int first = std::max(-radius, -y), last = std::min(radius, height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const int centre = temp[y * w + static_cast<std::size_t>(x)];
      double weighted = 0.0, total = 0.0;
      for (int k = first; k <= last; ++k) {
        const int v = temp[static_cast<std::size_t>(y + k) * w + static_cast<std::size_t>(x)];
        const double weight = static_cast<double>(spatial[static_cast<std::size_t>(k + radius)]) *
                              range[static_cast<std::size_t>(std::abs(v - centre))];
        total += weight;
        weighted += weight * v;
      }
      out[x] = average(weighted, total, centre);
    }
  }
}

}  // namespace irdex::imaging
