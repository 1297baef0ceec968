// Stack blur: running sums instead of the stack, eight rows at a time across the rows.
#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#include "imaging/filter_math.h"
#include "imaging/filters.h"

namespace irdex::imaging {

namespace {

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

#if defined(__SSE2__)
// Transposes 8 x 8 bytes: eight rows of eight bytes at src (rows srcStride apart) become
// eight rows at dst, row k holding byte k of every source row.
void transpose8x8(const uint8_t* src, std::size_t srcStride, uint8_t* dst, std::size_t dstStride) {
  auto row = [&](int k) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + k * srcStride));
  };
  const __m128i t0 = _mm_unpacklo_epi8(row(0), row(1)), t1 = _mm_unpacklo_epi8(row(2), row(3));
  const __m128i t2 = _mm_unpacklo_epi8(row(4), row(5)), t3 = _mm_unpacklo_epi8(row(6), row(7));
  const __m128i u0 = _mm_unpacklo_epi16(t0, t1), u1 = _mm_unpackhi_epi16(t0, t1);
  const __m128i u2 = _mm_unpacklo_epi16(t2, t3), u3 = _mm_unpackhi_epi16(t2, t3);
  const __m128i pairs[4] = {_mm_unpacklo_epi32(u0, u2), _mm_unpackhi_epi32(u0, u2),
                            _mm_unpacklo_epi32(u1, u3), _mm_unpackhi_epi32(u1, u3)};
  for (int p = 0; p < 4; ++p) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 2 * p * dstStride), pairs[p]);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + (2 * p + 1) * dstStride),
                     _mm_unpackhi_epi64(pairs[p], pairs[p]));
  }
}

// The horizontal pass of eight rows at once: the rows are interleaved column by column, so
// that the running sums of the eight rows move together in the lanes of vectors (one vector
// of 16-bit sums, or two of 32-bit sums); the quotients are spread back into the rows.
template <typename Sum>
class StackRowsOf8 {
  static constexpr bool kNarrow = std::is_same_v<Sum, uint16_t>;
  // Eight lanes: one vector of 16-bit sums or two of 32-bit ones.
  struct Lanes {
    __m128i v[kNarrow ? 1 : 2];
  };

 public:
  StackRowsOf8(int width, int radius)
      : width_(width),
        radius_(radius),
        area_(static_cast<uint64_t>(radius + 1) * (radius + 1)),
        columns_(uninitialisedBytes(8 * static_cast<std::size_t>(width))),
        sums_(8 * static_cast<std::size_t>(width)) {}

  void run(const uint8_t* src, uint8_t* dst, std::size_t stride) {
    const std::size_t w = static_cast<std::size_t>(width_);
    uint8_t* columns = columns_.get();
    std::size_t x = 0;
    for (; x + 8 <= w; x += 8) transpose8x8(src + x, stride, columns + 8 * x, 8);
    for (; x < w; ++x) {
      for (std::size_t j = 0; j < 8; ++j) columns[8 * x + j] = src[j * stride + x];
    }

    alignas(16) Sum start[3][8];
    for (int j = 0; j < 8; ++j) {
      const auto s = stackStart<Sum>(width_, radius_, [&](int i) { return columns[8 * i + j]; });
      start[0][j] = s.sum;
      start[1][j] = s.in;
      start[2][j] = s.out;
    }
    Lanes sum = load(start[0]), in = load(start[1]), out = load(start[2]);
    Sum* sums = sums_.data();
    for (int64_t i = 0; i < width_; ++i) {
      store(sums + 8 * i, sum);
      sum = add(sum, sub(in, out));
      const Lanes entering = column(i + 1);
      in = add(in, sub(column(i + radius_ + 2), entering));
      out = add(out, sub(entering, column(i - radius_)));
    }
    if (kNarrow || area_ <= SmallReciprocal::kLargestDivisor) {
      SmallReciprocal(area_).divideRow(sums, columns, 8 * w);
    } else if constexpr (!kNarrow) {
      Reciprocal(area_).divideRow(sums, columns, 8 * w);
    }

    for (x = 0; x + 8 <= w; x += 8) transpose8x8(columns + 8 * x, 8, dst + x, stride);
    for (; x < w; ++x) {
      for (std::size_t j = 0; j < 8; ++j) dst[j * stride + x] = columns[8 * x + j];
    }
  }

 private:
  static Lanes load(const Sum* p) {
    Lanes l;
    for (std::size_t k = 0; k < std::size(l.v); ++k) {
      l.v[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(p) + k);
    }
    return l;
  }
  static void store(Sum* p, const Lanes& l) {
    for (std::size_t k = 0; k < std::size(l.v); ++k) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p) + k, l.v[k]);
    }
  }
  static Lanes add(const Lanes& a, const Lanes& b) {
    Lanes r;
    if constexpr (kNarrow) {
      r.v[0] = _mm_add_epi16(a.v[0], b.v[0]);
    } else {
      r.v[0] = _mm_add_epi32(a.v[0], b.v[0]);
      r.v[1] = _mm_add_epi32(a.v[1], b.v[1]);
    }
    return r;
  }
  static Lanes sub(const Lanes& a, const Lanes& b) {
    Lanes r;
    if constexpr (kNarrow) {
      r.v[0] = _mm_sub_epi16(a.v[0], b.v[0]);
    } else {
      r.v[0] = _mm_sub_epi32(a.v[0], b.v[0]);
      r.v[1] = _mm_sub_epi32(a.v[1], b.v[1]);
    }
    return r;
  }
  // The eight row values of column i (limited to the row), widened to the lanes.
  Lanes column(int64_t i) const {
    const uint8_t* p = columns_.get() + 8 * static_cast<std::size_t>(clampIndex(i, width_));
    const __m128i zero = _mm_setzero_si128();
    const __m128i words =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
    Lanes l;
    if constexpr (kNarrow) {
      l.v[0] = words;
    } else {
      l.v[0] = _mm_unpacklo_epi16(words, zero);
      l.v[1] = _mm_unpackhi_epi16(words, zero);
    }
    return l;
  }

  int width_, radius_;
  uint64_t area_;
  std::unique_ptr<uint8_t[]> columns_;
  std::vector<Sum> sums_;
};
#endif

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
  int y = 0;
#if defined(__SSE2__)
  if constexpr (!std::is_same_v<Acc, int64_t>) {
    StackRowsOf8<Acc> rows(width, radius);
    for (; y + 8 <= height; y += 8) rows.run(image + y * w, horizontal.get() + y * w, w);
  }
#endif
  for (; y < height; ++y) {
    stackRow<Acc>(image + y * w, width, radius, sums.data());
    divideRow(sums.data(), horizontal.get() + y * w, w);
  }

  // The vertical pass runs the same sums for every column at once, a row at a time.
  // Their start (stackStart for every column) is summed a row at a time as well.
  std::vector<Acc> in(w), out(w);
  {
    const Acc r = static_cast<Acc>(radius);
    const uint8_t* first = horizontal.get();
    const uint8_t* last = horizontal.get() + static_cast<std::size_t>(height - 1) * w;
    for (std::size_t x = 0; x < w; ++x) {
      sums[x] = static_cast<Acc>(first[x] * ((r + 1) * (r + 2) / 2));
      in[x] = 0;
      out[x] = static_cast<Acc>(first[x] * (r + 1));
    }
    const int64_t t = std::max<int64_t>(1, height - 1);  // rows from t on read the last row
    for (int64_t k = 1; k <= std::min<int64_t>(int64_t{radius} + 1, t - 1); ++k) {
      const uint8_t* row = horizontal.get() + static_cast<std::size_t>(k) * w;
      const Acc weight = k <= radius ? r + 1 - static_cast<Acc>(k) : 0;
      for (std::size_t x = 0; x < w; ++x) {
        sums[x] = static_cast<Acc>(sums[x] + row[x] * weight);
        in[x] = static_cast<Acc>(in[x] + row[x]);
      }
    }
    if (t <= radius) {
      const Acc top = r + 1 - static_cast<Acc>(t);
      for (std::size_t x = 0; x < w; ++x) {
        sums[x] = static_cast<Acc>(sums[x] + last[x] * (top * (top + 1) / 2));
      }
    }
    if (t <= int64_t{radius} + 1) {
      const Acc count = static_cast<Acc>(int64_t{radius} + 2 - t);
      for (std::size_t x = 0; x < w; ++x) in[x] = static_cast<Acc>(in[x] + last[x] * count);
    }
  }
  for (y = 0; y < height; ++y) {
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

}  // namespace

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

}  // namespace irdex::imaging
