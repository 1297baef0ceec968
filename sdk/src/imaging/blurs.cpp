// Box, stack and Gaussian-like blurs: constant or O(r) work per pixel, radius-proof borders.
#include <algorithm>
#include <cstddef>
#include <limits>
#include <type_traits>
#include <vector>

#include "imaging/filter_math.h"
#include "imaging/filters.h"

namespace irdex::imaging {

namespace {

int64_t clampIndex(int64_t i, int size) { return std::clamp<int64_t>(i, 0, size - 1); }

// ---- Box blur ---------------------------------------------------------------------------
//
// The box of pixel x covers the columns i with L(x) < i <= U(x), L(x) = max(x - r - 1, 0),
// U(x) = min(x + r, w - 1) (the summed-area corners limited to the image), and the rows
// likewise. The sum is separable and exact, so it is formed down the columns first (one
// running sum per column, a row at a time) and then across each row through its prefix sums.
template <typename Acc>
void boxBlurWith(uint8_t* image, int width, int height, int radius) {
  const std::size_t w = static_cast<std::size_t>(width);
  const std::vector<uint8_t> original(image, image + w * static_cast<std::size_t>(height));
  const int64_t side = 2 * int64_t{radius} + 1;
  const float factor = 1.0f / static_cast<float>(side * side);

  std::vector<Acc> column(w, 0), prefix(w), box(w);
  auto addRow = [&](int64_t y, bool subtract) {
    const uint8_t* src = original.data() + static_cast<std::size_t>(y) * w;
    if (subtract) {
      for (std::size_t x = 0; x < w; ++x) column[x] -= src[x];
    } else {
      for (std::size_t x = 0; x < w; ++x) column[x] += src[x];
    }
  };
  int64_t upper = std::min<int64_t>(radius, height - 1);  // U(0); L(0) = 0
  int64_t lower = 0;
  for (int64_t j = 1; j <= upper; ++j) addRow(j, false);

  // Columns whose box lies inside the row: no limiting of the corners.
  const int64_t innerFirst = int64_t{radius} + 1;
  const int64_t innerEnd = std::max<int64_t>(innerFirst, int64_t{width} - radius);
  for (int y = 0; y < height; ++y) {
    Acc running = 0;
    for (std::size_t x = 0; x < w; ++x) prefix[x] = running += column[x];
    for (int64_t x = 0; x < std::min<int64_t>(innerFirst, width); ++x) {
      box[static_cast<std::size_t>(x)] =
          prefix[static_cast<std::size_t>(std::min<int64_t>(x + radius, width - 1))] - prefix[0];
    }
    const std::size_t shift = static_cast<std::size_t>(radius) + 1;
    for (std::size_t x = static_cast<std::size_t>(innerFirst);
         x < static_cast<std::size_t>(std::min<int64_t>(innerEnd, width)); ++x) {
      box[x] = prefix[x + shift - 1] - prefix[x - shift];
    }
    for (int64_t x = std::max(innerEnd, innerFirst); x < width; ++x) {
      box[static_cast<std::size_t>(x)] =
          prefix[w - 1] - prefix[static_cast<std::size_t>(x - radius - 1)];
    }
    uint8_t* out = image + y * w;
    for (std::size_t x = 0; x < w; ++x) {
      out[x] = static_cast<uint8_t>(static_cast<int32_t>(static_cast<float>(box[x]) * factor));
    }
    // Leaving row first, so the running sums never hold more than one box.
    const int64_t nextLower = std::max<int64_t>(int64_t{y} - radius, 0);
    const int64_t nextUpper = std::min<int64_t>(int64_t{y} + 1 + radius, height - 1);
    if (nextLower > lower) addRow(lower = nextLower, true);
    if (nextUpper > upper) addRow(upper = nextUpper, false);
  }
}

// ---- Stack blur -------------------------------------------------------------------------
//
// out(x) = S(x) / (r+1)^2 with S(x) = sum over k = -r..r of (r+1-|k|) p(x+k), edges repeated.
// Moving one pixel on: S(x+1) = S(x) + In(x) - Out(x), where In(x) sums p(x+1..x+r+1) and
// Out(x) sums p(x-r..x) - the running sums of the stack algorithm, without the stack.
template <typename Acc>
struct StackSums {
  Acc sum, in, out;
};

// S, In and Out at position 0 of a line of n values read through at(i), in O(min(n, r)).
template <typename Acc, typename At>
StackSums<Acc> stackStart(int n, int radius, At at) {
  const Acc r = static_cast<Acc>(radius);
  const Acc first = at(0), last = at(n - 1);
  StackSums<Acc> s{static_cast<Acc>(first * ((r + 1) * (r + 2) / 2)), 0,
                   static_cast<Acc>(first * (r + 1))};
  // Indices from t on all read the last value.
  const int64_t t = std::max<int64_t>(1, n - 1);
  for (int64_t k = 1; k <= std::min<int64_t>(radius, t - 1); ++k) {
    s.sum += static_cast<Acc>(at(static_cast<int>(k))) * (r + 1 - static_cast<Acc>(k));
  }
  if (t <= radius) {
    const Acc top = r + 1 - static_cast<Acc>(t);  // weights top .. 1
    s.sum += last * (top * (top + 1) / 2);
  }
  for (int64_t j = 1; j <= std::min<int64_t>(int64_t{radius} + 1, t - 1); ++j) {
    s.in += static_cast<Acc>(at(static_cast<int>(j)));
  }
  if (t <= int64_t{radius} + 1) s.in += last * static_cast<Acc>(int64_t{radius} + 2 - t);
  return s;
}

// The sums S(x) of one row. Inside the row the taps need no limiting.
template <typename Acc>
void stackRow(const uint8_t* row, int width, int radius, Acc* sums) {
  StackSums<Acc> s = stackStart<Acc>(width, radius, [&](int i) { return row[i]; });
  auto step = [&](int64_t x, Acc entering, Acc inFar, Acc outFar) {
    sums[x] = s.sum;
    s.sum += s.in - s.out;
    s.in += inFar - entering;
    s.out += entering - outFar;
  };
  const int64_t innerFirst = radius, innerEnd = int64_t{width} - radius - 2;
  int64_t x = 0;
  for (; x < width && (x < innerFirst || x >= innerEnd); ++x) {
    step(x, row[clampIndex(x + 1, width)], row[clampIndex(x + radius + 2, width)],
         row[clampIndex(x - radius, width)]);
  }
  for (; x < innerEnd; ++x) step(x, row[x + 1], row[x + radius + 2], row[x - radius]);
  for (; x < width; ++x) {
    step(x, row[clampIndex(x + 1, width)], row[clampIndex(x + radius + 2, width)],
         row[clampIndex(x - radius, width)]);
  }
}

// Sums in 16 bits while the largest, 255 (r+1)^2, fits (r <= 15), then in signed 32 bits
// (they convert to double in vector registers), then in 64 bits with a plain division.
template <typename Acc>
void stackBlurWith(uint8_t* image, int width, int height, int radius) {
  const uint64_t area = static_cast<uint64_t>(radius + 1) * static_cast<uint64_t>(radius + 1);
  auto divideRow = [&](const Acc* sums, uint8_t* out, std::size_t count) {
    if constexpr (std::is_same_v<Acc, uint16_t>) {
      SmallReciprocal(area).divideRow(sums, out, count);
    } else if constexpr (std::is_same_v<Acc, int32_t>) {
      if (area <= SmallReciprocal::kLargestDivisor) {
        SmallReciprocal(area).divideRow(sums, out, count);
      } else {
        Reciprocal(area).divideRow(sums, out, count);
      }
    } else {
      for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<uint8_t>(static_cast<uint64_t>(sums[i]) / area);
      }
    }
  };
  const std::size_t w = static_cast<std::size_t>(width);
  const auto horizontal = uninitialisedBytes(w * static_cast<std::size_t>(height));
  std::vector<Acc> sums(w);
  for (int y = 0; y < height; ++y) {
    stackRow<Acc>(image + y * w, width, radius, sums.data());
    divideRow(sums.data(), horizontal.get() + y * w, w);
  }

  // The vertical pass runs the same sums for every column at once, a row at a time.
  std::vector<Acc> in(w), out(w);
  for (std::size_t x = 0; x < w; ++x) {
    const auto s = stackStart<Acc>(
        height, radius, [&](int i) { return horizontal[static_cast<std::size_t>(i) * w + x]; });
    sums[x] = s.sum;
    in[x] = s.in;
    out[x] = s.out;
  }
  for (int y = 0; y < height; ++y) {
    divideRow(sums.data(), image + y * w, w);
    const uint8_t* entering = horizontal.get() + clampIndex(int64_t{y} + 1, height) * w;
    const uint8_t* inFar = horizontal.get() + clampIndex(int64_t{y} + radius + 2, height) * w;
    const uint8_t* outFar = horizontal.get() + clampIndex(int64_t{y} - radius, height) * w;
    for (std::size_t x = 0; x < w; ++x) {
      sums[x] += in[x] - out[x];
      in[x] += static_cast<Acc>(inFar[x]) - static_cast<Acc>(entering[x]);
      out[x] += static_cast<Acc>(entering[x]) - static_cast<Acc>(outFar[x]);
    }
  }
}

// ---- Gaussian-like blur -----------------------------------------------------------------

// The kernel as made by makeGaussianKernel has non-negative weights, a positive centre and
// products that are exactly value x weight; then the blur can multiply instead of looking
// up, in 32 bits. Any other table takes the general road.
bool isPlainKernel(std::span<const int32_t> weights, std::span<const int32_t> products,
                   int radius) {
  int64_t total = 0;
  for (int32_t weight : weights) {
    if (weight < 0) return false;
    total += weight;
  }
  if (weights[static_cast<std::size_t>(radius)] <= 0) return false;
  if (total * 255 > std::numeric_limits<int32_t>::max()) return false;
  for (std::size_t k = 0; k < weights.size(); ++k) {
    for (int v = 0; v < 256; ++v) {
      if (products[k * 256 + static_cast<std::size_t>(v)] != int64_t{v} * weights[k]) return false;
    }
  }
  return true;
}

// The weight of the taps of position i that fall inside a line of n values.
int64_t insideWeight(std::span<const int32_t> weights, int radius, int i, int n) {
  int64_t total = 0;
  for (int k = std::max(-radius, -i); k <= std::min(radius, n - 1 - i); ++k) {
    total += weights[static_cast<std::size_t>(k + radius)];
  }
  return total;
}

// acc += weight x src over a row. A product that fits 16 bits is formed in 16-bit lanes,
// which plain SSE2 multiplies eight at a time.
template <typename Acc>
void accumulate(Acc* acc, const uint8_t* src, std::size_t count, int32_t weight) {
  if (weight <= 257) {
    const auto narrow = static_cast<uint16_t>(weight);
    for (std::size_t i = 0; i < count; ++i) {
      acc[i] = static_cast<Acc>(acc[i] + static_cast<uint16_t>(narrow * src[i]));
    }
  } else {
    for (std::size_t i = 0; i < count; ++i) acc[i] = static_cast<Acc>(acc[i] + weight * src[i]);
  }
}

// The first tap of a row sets the sums instead of adding to zeros.
template <typename Acc>
void assign(Acc* acc, const uint8_t* src, std::size_t count, int32_t weight) {
  if (weight <= 257) {
    const auto narrow = static_cast<uint16_t>(weight);
    for (std::size_t i = 0; i < count; ++i) acc[i] = static_cast<uint16_t>(narrow * src[i]);
  } else {
    for (std::size_t i = 0; i < count; ++i) acc[i] = static_cast<Acc>(weight * src[i]);
  }
}

// Sums in Acc (16 bits while 255 x the kernel weight fits, else 32), divided by Divisor.
template <typename Acc, typename Divisor>
void gaussianPlain(uint8_t* image, int width, int height, std::span<const int32_t> weights,
                   int radius) {
  const std::size_t w = static_cast<std::size_t>(width);
  const auto horizontal = uninitialisedBytes(w * static_cast<std::size_t>(height));
  std::vector<Acc> acc(w);

  // Columns nearer the ends than the radius lose taps; the rest share one divisor.
  auto divisorFor = [&](int i, int n) {
    return Divisor(static_cast<uint64_t>(insideWeight(weights, radius, i, n)));
  };
  std::vector<Divisor> columnDivisors;
  columnDivisors.reserve(w);
  for (int x = 0; x < width; ++x) {
    const bool repeat = x > radius && x < width - radius;
    columnDivisors.push_back(repeat ? columnDivisors.back() : divisorFor(x, width));
  }
  const std::size_t innerFirst = static_cast<std::size_t>(std::min(radius, width));
  const std::size_t innerEnd =
      std::max(innerFirst, static_cast<std::size_t>(std::max(0, width - radius)));

  for (int y = 0; y < height; ++y) {
    const uint8_t* row = image + y * w;
    // The centre tap (never of weight 0 here) covers the whole row and goes first.
    assign(acc.data(), row, w, weights[static_cast<std::size_t>(radius)]);
    for (int k = -radius; k <= radius; ++k) {
      const int32_t weight = weights[static_cast<std::size_t>(k + radius)];
      if (weight == 0 || k == 0) continue;
      const int first = std::max(0, -k), last = std::min(width, width - k);
      if (last > first) {
        accumulate(acc.data() + first, row + first + k, static_cast<std::size_t>(last - first),
                   weight);
      }
    }
    uint8_t* out = horizontal.get() + y * w;
    for (std::size_t x = 0; x < innerFirst; ++x) {
      out[x] = static_cast<uint8_t>(columnDivisors[x].divide(acc[x]));
    }
    if (innerEnd > innerFirst) {
      columnDivisors[innerFirst].divideRow(acc.data() + innerFirst, out + innerFirst,
                                           innerEnd - innerFirst);
    }
    for (std::size_t x = std::max(innerEnd, innerFirst); x < w; ++x) {
      out[x] = static_cast<uint8_t>(columnDivisors[x].divide(acc[x]));
    }
  }

  for (int y = 0; y < height; ++y) {
    assign(acc.data(), horizontal.get() + y * w, w, weights[static_cast<std::size_t>(radius)]);
    for (int k = std::max(-radius, -y); k <= std::min(radius, height - 1 - y); ++k) {
      const int32_t weight = weights[static_cast<std::size_t>(k + radius)];
      if (weight == 0 || k == 0) continue;
      accumulate(acc.data(), horizontal.get() + static_cast<std::size_t>(y + k) * w, w, weight);
    }
    divisorFor(y, height).divideRow(acc.data(), image + y * w, w);
  }
}

// Any caller table: products looked up, sums in 64 bits, results kept to byte values so a
// later lookup stays inside its 256-entry row; no usable weight keeps the pixel.
void gaussianGeneral(uint8_t* image, int width, int height, std::span<const int32_t> weights,
                     std::span<const int32_t> products, int radius) {
  const std::size_t w = static_cast<std::size_t>(width);
  auto product = [&](int k, int value) {
    return int64_t{
        products[static_cast<std::size_t>(k + radius) * 256 + static_cast<std::size_t>(value)]};
  };
  auto finish = [](int64_t sum, int64_t total, int centre) {
    if (total == 0) return centre;
    return static_cast<int>(std::clamp<int64_t>(sum / total, 0, 255));
  };
  const auto horizontal = uninitialisedBytes(w * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = image + y * w;
    for (int x = 0; x < width; ++x) {
      int64_t sum = 0, total = 0;
      for (int k = std::max(-radius, -x); k <= std::min(radius, width - 1 - x); ++k) {
        sum += product(k, row[x + k]);
        total += weights[static_cast<std::size_t>(k + radius)];
      }
      horizontal[y * w + static_cast<std::size_t>(x)] =
          static_cast<uint8_t>(finish(sum, total, row[x]));
    }
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int64_t sum = 0, total = 0;
      for (int k = std::max(-radius, -y); k <= std::min(radius, height - 1 - y); ++k) {
        sum += product(
            k, horizontal[static_cast<std::size_t>(y + k) * w + static_cast<std::size_t>(x)]);
        total += weights[static_cast<std::size_t>(k + radius)];
      }
      image[y * w + static_cast<std::size_t>(x)] =
          static_cast<uint8_t>(finish(sum, total, horizontal[y * w + static_cast<std::size_t>(x)]));
    }
  }
}

}  // namespace

void boxBlur(std::span<uint8_t> image, int width, int height, int radius) {
  if (width <= 0 || height <= 0 || radius < 0) return;
  // The box never holds more pixels than the image; 32-bit sums while they cannot overflow.
  const int64_t side = 2 * int64_t{radius} + 1;
  const int64_t most = std::min<int64_t>(side, width) * std::min<int64_t>(side, height) * 255;
  // Row prefix sums run over the whole width of a box's rows.
  const int64_t rowPrefix = int64_t{width} * std::min<int64_t>(side, height) * 255;
  if (std::max(most, rowPrefix) <= std::numeric_limits<int32_t>::max()) {
    boxBlurWith<int32_t>(image.data(), width, height, radius);
  } else {
    boxBlurWith<int64_t>(image.data(), width, height, radius);
  }
}

void stackBlur(std::span<uint8_t> image, int width, int height, int radius) {
  if (width <= 0 || height <= 0 || radius < 1 || radius > kMaxStackRadius) return;
  const uint64_t area = static_cast<uint64_t>(radius + 1) * static_cast<uint64_t>(radius + 1);
  if (area <= 256) {
    stackBlurWith<uint16_t>(image.data(), width, height, radius);
  } else if (area * 255 <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    stackBlurWith<int32_t>(image.data(), width, height, radius);
  } else {
    stackBlurWith<int64_t>(image.data(), width, height, radius);
  }
}

int clampGaussianRadius(int radius) { return std::clamp(radius, 1, kMaxGaussianRadius); }

int32_t makeGaussianKernel(std::span<int32_t> weights, std::span<int32_t> products, int radius) {
  const int r = clampGaussianRadius(radius);
  const std::size_t centre = static_cast<std::size_t>(r);
  // The taps at distance r keep what the caller put there (their weight would be 0).
  for (int k = 0; k < r; ++k) {
    const int32_t weight = (r - k) * (r - k);
    for (std::size_t index :
         {centre - static_cast<std::size_t>(k), centre + static_cast<std::size_t>(k)}) {
      weights[index] = weight;
      for (int v = 0; v < 256; ++v)
        products[index * 256 + static_cast<std::size_t>(v)] = v * weight;
    }
  }
  return 255 * r * r;
}

void gaussianBlur(std::span<uint8_t> image, int width, int height, std::span<const int32_t> weights,
                  std::span<const int32_t> products, int radius) {
  if (width <= 0 || height <= 0 || radius < 1 || radius > kMaxGaussianRadius) return;
  if (isPlainKernel(weights, products, radius)) {
    int64_t total = 0;
    for (int32_t weight : weights) total += weight;
    if (total <= 257) {  // 255 x 257 is the largest sum of 16 bits
      gaussianPlain<uint16_t, SmallReciprocal>(image.data(), width, height, weights, radius);
    } else if (total <= SmallReciprocal::kLargestDivisor) {
      gaussianPlain<int32_t, SmallReciprocal>(image.data(), width, height, weights, radius);
    } else {
      gaussianPlain<int32_t, Reciprocal>(image.data(), width, height, weights, radius);
    }
  } else {
    gaussianGeneral(image.data(), width, height, weights, products, radius);
  }
}

}  // namespace irdex::imaging
