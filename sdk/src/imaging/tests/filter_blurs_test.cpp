// Box, stack and Gaussian-like blurs and the bilateral filter, each against a slow reading of
// its rule (full summed-area table, explicit kernel taps, one exponential per tap).
#include <gtest/gtest.h>
#include <irdex.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "imaging/filter_math.h"

namespace {

using Image = std::vector<uint8_t>;

Image randomImage(int width, int height, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> dist(0, 255);
  Image image(static_cast<std::size_t>(width) * height);
  for (auto& v : image) v = static_cast<uint8_t>(dist(gen));
  return image;
}

struct BlurCase {
  int width, height, radius;
};

std::string caseName(const ::testing::TestParamInfo<BlurCase>& info) {
  return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) + "r" +
         std::to_string(info.param.radius);
}

// ---- Box blur ---------------------------------------------------------------------------

Image referenceBox(const Image& in, int width, int height, int r) {
  std::vector<int64_t> table(in.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int64_t s = in[static_cast<std::size_t>(y * width + x)];
      if (x > 0) s += table[static_cast<std::size_t>(y * width + x - 1)];
      if (y > 0) s += table[static_cast<std::size_t>((y - 1) * width + x)];
      if (x > 0 && y > 0) s -= table[static_cast<std::size_t>((y - 1) * width + x - 1)];
      table[static_cast<std::size_t>(y * width + x)] = s;
    }
  }
  auto at = [&](int64_t x, int64_t y) {
    x = std::clamp<int64_t>(x, 0, width - 1);
    y = std::clamp<int64_t>(y, 0, height - 1);
    return table[static_cast<std::size_t>(y * width + x)];
  };
  const float factor = 1.0f / static_cast<float>((2 * int64_t{r} + 1) * (2 * int64_t{r} + 1));
  Image out(in.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int64_t sum = at(x + r, y + r) - at(x + r, int64_t{y} - r - 1) -
                          at(int64_t{x} - r - 1, y + r) +
                          at(int64_t{x} - r - 1, int64_t{y} - r - 1);
      out[static_cast<std::size_t>(y * width + x)] =
          static_cast<uint8_t>(static_cast<int>(static_cast<float>(sum) * factor));
    }
  }
  return out;
}

class BoxBlurRule : public ::testing::TestWithParam<BlurCase> {};

TEST_P(BoxBlurRule, MatchesTheSummedAreaRule) {
  const BlurCase c = GetParam();
  Image image = randomImage(c.width, c.height, 21);
  const Image expected = referenceBox(image, c.width, c.height, c.radius);
  ASSERT_EQ(BoxBlur(image.data(), c.width, c.height, c.radius), SDK_SUCCESS);
  EXPECT_EQ(image, expected);
}

INSTANTIATE_TEST_SUITE_P(Shapes, BoxBlurRule,
                         ::testing::Values(BlurCase{1, 1, 0}, BlurCase{1, 1, 3}, BlurCase{7, 1, 2},
                                           BlurCase{1, 9, 1}, BlurCase{16, 12, 0},
                                           BlurCase{16, 12, 1}, BlurCase{33, 20, 4},
                                           BlurCase{33, 20, 19}, BlurCase{10, 8, 1000},
                                           BlurCase{640, 3, 7}),
                         caseName);

TEST(BoxBlur, RadiusZeroClearsTheFirstRowAndColumnAndCopiesTheRest) {
  const Image original = randomImage(9, 7, 4);
  Image image = original;
  ASSERT_EQ(BoxBlur(image.data(), 9, 7, 0), SDK_SUCCESS);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 9; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * 9 + x);
      EXPECT_EQ(image[i], (x == 0 || y == 0) ? 0 : original[i]) << x << "," << y;
    }
  }
}

TEST(BoxBlur, RefusesANegativeRadiusAndAMissingImage) {
  const Image original = randomImage(5, 5, 1);
  Image image = original;
  EXPECT_EQ(BoxBlur(image.data(), 5, 5, -1), SDK_ERR_FILTER_SIZE);
  EXPECT_EQ(image, original);
  EXPECT_EQ(BoxBlur(nullptr, 5, 5, 1), SDK_ERR_BUFFER);
  EXPECT_EQ(BoxBlur(image.data(), 0, 5, 1), SDK_SUCCESS);
  EXPECT_EQ(BoxBlur(image.data(), -3, 5, 1), SDK_SUCCESS);
  EXPECT_EQ(image, original);
}

// ---- Stack blur -------------------------------------------------------------------------

// Explicit triangular taps with repeated edges, horizontal then vertical.
Image referenceStack(const Image& in, int width, int height, int r) {
  const int64_t area = int64_t{r + 1} * (r + 1);
  auto pass = [&](const Image& src, bool horizontal) {
    Image out(src.size());
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        int64_t sum = 0;
        for (int k = -r; k <= r; ++k) {
          const int xx = horizontal ? std::clamp(x + k, 0, width - 1) : x;
          const int yy = horizontal ? y : std::clamp(y + k, 0, height - 1);
          sum += int64_t{r + 1 - std::abs(k)} * src[static_cast<std::size_t>(yy * width + xx)];
        }
        out[static_cast<std::size_t>(y * width + x)] = static_cast<uint8_t>(sum / area);
      }
    }
    return out;
  };
  return pass(pass(in, true), false);
}

class StackBlurRule : public ::testing::TestWithParam<BlurCase> {};

TEST_P(StackBlurRule, MatchesTheTriangularKernel) {
  const BlurCase c = GetParam();
  Image image = randomImage(c.width, c.height, 33);
  const Image expected = referenceStack(image, c.width, c.height, c.radius);
  ASSERT_EQ(FastStackBlur(image.data(), c.width, c.height, c.radius), SDK_SUCCESS);
  EXPECT_EQ(image, expected);
}

// Radii up to 15 sum in 16 bits, 100 divides in double precision and 5000 needs 64-bit sums;
// the closed-form start must agree with the taps throughout.
INSTANTIATE_TEST_SUITE_P(Shapes, StackBlurRule,
                         ::testing::Values(BlurCase{1, 1, 1}, BlurCase{1, 1, 9}, BlurCase{2, 1, 1},
                                           BlurCase{6, 1, 3}, BlurCase{1, 8, 2},
                                           BlurCase{16, 12, 1}, BlurCase{31, 17, 4},
                                           BlurCase{31, 17, 16}, BlurCase{12, 9, 40},
                                           BlurCase{20, 9, 100}, BlurCase{7, 5, 5000},
                                           BlurCase{640, 3, 12}),
                         caseName);

TEST(FastStackBlur, RefusesRadiiBelowOneUnchanged) {
  const Image original = randomImage(6, 4, 8);
  for (int radius : {0, -1, -100}) {
    Image image = original;
    EXPECT_EQ(FastStackBlur(image.data(), 6, 4, radius), SDK_ERR_FILTER_SIZE);
    EXPECT_EQ(image, original);
  }
  Image image = original;
  EXPECT_EQ(FastStackBlur(image.data(), 6, 4, 2000000000), SDK_ERR_FILTER_SIZE);
  EXPECT_EQ(image, original);
  EXPECT_EQ(FastStackBlur(nullptr, 6, 4, 2), SDK_ERR_BUFFER);
}

TEST(FastStackBlur, KeepsAFlatImageFlatForAnyRadius) {
  for (int radius : {1, 2, 13, 300}) {
    Image image(40 * 30, 201);
    ASSERT_EQ(FastStackBlur(image.data(), 40, 30, radius), SDK_SUCCESS);
    EXPECT_EQ(image, Image(image.size(), 201)) << "radius " << radius;
  }
}

// ---- Gaussian-like kernel and blur ------------------------------------------------------

struct Kernel {
  std::vector<int32_t> weights, products;
  explicit Kernel(int radius)
      : weights(static_cast<std::size_t>(2 * radius + 1)),
        products(static_cast<std::size_t>(2 * radius + 1) * 256) {}
};

TEST(GetGaussianKernel, ClampsTheRadiusTo248) {
  Kernel k(300);
  EXPECT_EQ(GetGaussianKernel(k.weights.data(), k.products.data(), 300), 255 * 248 * 248);
  EXPECT_EQ(k.weights[248], 248 * 248);
  EXPECT_EQ(k.weights[0], 0);
  EXPECT_EQ(k.weights[1], 1);
  EXPECT_EQ(k.weights[495], 1);
  EXPECT_EQ(k.weights[496], 0);
  EXPECT_EQ(k.products[248 * 256 + 255], 255 * 248 * 248);
  // Nothing beyond the 497 taps of radius 248 is written.
  EXPECT_TRUE(std::all_of(k.weights.begin() + 497, k.weights.end(), [](int v) { return v == 0; }));
  EXPECT_TRUE(
      std::all_of(k.products.begin() + 497 * 256, k.products.end(), [](int v) { return v == 0; }));
}

TEST(GetGaussianKernel, BuildsSquaredDistanceWeightsAndProducts) {
  constexpr int r = 4;
  Kernel k(r);
  std::fill(k.weights.begin(), k.weights.end(), -7);  // the caller's end taps stay as given
  ASSERT_EQ(GetGaussianKernel(k.weights.data(), k.products.data(), r), 255 * r * r);
  EXPECT_EQ(k.weights, (std::vector<int32_t>{-7, 1, 4, 9, 16, 9, 4, 1, -7}));
  for (int t = 1; t < 2 * r; ++t) {
    for (int v = 0; v < 256; ++v) {
      ASSERT_EQ(k.products[static_cast<std::size_t>(t * 256 + v)],
                v * k.weights[static_cast<std::size_t>(t)]);
    }
  }
}

TEST(GetGaussianKernel, RadiusOneAndBelowGiveTheIdentityKernel) {
  for (int radius : {1, 0, -5}) {
    Kernel k(1);
    EXPECT_EQ(GetGaussianKernel(k.weights.data(), k.products.data(), radius), 255);
    EXPECT_EQ(k.weights, (std::vector<int32_t>{0, 1, 0}));
    EXPECT_EQ(k.products[256 + 200], 200);
    EXPECT_EQ(k.products[200], 0);
  }
  Kernel k(1);
  EXPECT_EQ(GetGaussianKernel(nullptr, k.products.data(), 1), SDK_ERR_BUFFER);
  EXPECT_EQ(GetGaussianKernel(k.weights.data(), nullptr, 1), SDK_ERR_BUFFER);
}

// Taps inside the image only, products looked up, integer division by their weights.
Image referenceGaussian(const Image& in, int width, int height, const Kernel& k, int r) {
  auto pass = [&](const Image& src, bool horizontal) {
    Image out(src.size());
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        int64_t sum = 0, total = 0;
        for (int t = -r; t <= r; ++t) {
          const int xx = horizontal ? x + t : x, yy = horizontal ? y : y + t;
          if (xx < 0 || xx >= width || yy < 0 || yy >= height) continue;
          const int v = src[static_cast<std::size_t>(yy * width + xx)];
          sum += k.products[static_cast<std::size_t>((t + r) * 256 + v)];
          total += k.weights[static_cast<std::size_t>(t + r)];
        }
        out[static_cast<std::size_t>(y * width + x)] = static_cast<uint8_t>(sum / total);
      }
    }
    return out;
  };
  return pass(pass(in, true), false);
}

class GaussianBlurRule : public ::testing::TestWithParam<BlurCase> {};

TEST_P(GaussianBlurRule, MatchesTheKernelTaps) {
  const BlurCase c = GetParam();
  Kernel k(c.radius);
  GetGaussianKernel(k.weights.data(), k.products.data(), c.radius);
  Image image = randomImage(c.width, c.height, 55);
  const Image expected = referenceGaussian(image, c.width, c.height, k, c.radius);
  ASSERT_EQ(FastGaussianBlur(image.data(), c.width, c.height, k.weights.data(), k.products.data(),
                             c.radius),
            SDK_SUCCESS);
  EXPECT_EQ(image, expected);
}

TEST_P(GaussianBlurRule, FollowsAProductTableOfItsOwn) {
  const BlurCase c = GetParam();
  Kernel k(c.radius);
  GetGaussianKernel(k.weights.data(), k.products.data(), c.radius);
  // Products that are not value x weight: the blur reads the caller's table as given.
  for (std::size_t i = 0; i < k.products.size(); ++i) k.products[i] = k.products[i] / 2;
  Image image = randomImage(c.width, c.height, 56);
  const Image expected = referenceGaussian(image, c.width, c.height, k, c.radius);
  ASSERT_EQ(FastGaussianBlur(image.data(), c.width, c.height, k.weights.data(), k.products.data(),
                             c.radius),
            SDK_SUCCESS);
  EXPECT_EQ(image, expected);
}

INSTANTIATE_TEST_SUITE_P(Shapes, GaussianBlurRule,
                         ::testing::Values(BlurCase{1, 1, 1}, BlurCase{5, 1, 2}, BlurCase{1, 6, 3},
                                           BlurCase{24, 16, 2}, BlurCase{24, 16, 5},
                                           BlurCase{13, 11, 30}, BlurCase{9, 7, 248},
                                           BlurCase{640, 2, 9}),
                         caseName);

TEST(FastGaussianBlur, RadiusOneLeavesTheImageUnchanged) {
  Kernel k(1);
  GetGaussianKernel(k.weights.data(), k.products.data(), 1);
  const Image original = randomImage(17, 13, 2);
  Image image = original;
  ASSERT_EQ(FastGaussianBlur(image.data(), 17, 13, k.weights.data(), k.products.data(), 1),
            SDK_SUCCESS);
  EXPECT_EQ(image, original);
}

TEST(FastGaussianBlur, RefusesBadWindowsAndMissingTables) {
  Kernel k(1);
  GetGaussianKernel(k.weights.data(), k.products.data(), 1);
  const Image original = randomImage(8, 8, 9);
  Image image = original;
  EXPECT_EQ(FastGaussianBlur(image.data(), 8, 8, k.weights.data(), k.products.data(), 0),
            SDK_ERR_FILTER_SIZE);
  EXPECT_EQ(FastGaussianBlur(image.data(), 8, 8, nullptr, k.products.data(), 1), SDK_ERR_BUFFER);
  EXPECT_EQ(FastGaussianBlur(image.data(), 8, 8, k.weights.data(), nullptr, 1), SDK_ERR_BUFFER);
  EXPECT_EQ(FastGaussianBlur(nullptr, 8, 8, k.weights.data(), k.products.data(), 1),
            SDK_ERR_BUFFER);
  Kernel wide(249);
  EXPECT_EQ(FastGaussianBlur(image.data(), 8, 8, wide.weights.data(), wide.products.data(), 249),
            SDK_ERR_FILTER_SIZE);
  EXPECT_EQ(image, original);
}

// All-zero weights would divide by zero: such pixels keep their value.
TEST(FastGaussianBlur, KeepsPixelsWhoseTapsWeighNothing) {
  Kernel k(2);
  const Image original = randomImage(6, 5, 10);
  Image image = original;
  ASSERT_EQ(FastGaussianBlur(image.data(), 6, 5, k.weights.data(), k.products.data(), 2),
            SDK_SUCCESS);
  EXPECT_EQ(image, original);
}

// ---- Bilateral filter -------------------------------------------------------------------

Image referenceBilateral(const Image& in, int width, int height, float ss, float sr, int r) {
  std::vector<float> spatial(static_cast<std::size_t>(2 * r + 1));
  for (int k = -r; k <= r; ++k) {
    spatial[static_cast<std::size_t>(k + r)] =
        static_cast<float>(std::exp(-0.5 * k * k / (static_cast<double>(ss) * ss)));
  }
  auto pass = [&](const Image& src, bool horizontal) {
    Image out(src.size());
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const int c = src[static_cast<std::size_t>(y * width + x)];
        double num = 0, den = 0;
        for (int k = -r; k <= r; ++k) {
          const int xx = horizontal ? x + k : x, yy = horizontal ? y : y + k;
          if (xx < 0 || xx >= width || yy < 0 || yy >= height) continue;
          const int v = src[static_cast<std::size_t>(yy * width + xx)];
          const double w = spatial[static_cast<std::size_t>(k + r)] *
                           std::exp(-0.5 * (v - c) * (v - c) / (static_cast<double>(sr) * sr));
          num += w * v;
          den += w;
        }
        out[static_cast<std::size_t>(y * width + x)] =
            static_cast<uint8_t>(std::min(255.0, num / den));
      }
    }
    return out;
  };
  return pass(pass(in, true), false);
}

TEST(BilateralFilter, MatchesTheWeightedAverageWithOneExponentialPerTap) {
  for (auto [ss, sr, r] :
       {std::tuple{1.0f, 20.0f, 1}, std::tuple{2.5f, 50.0f, 3}, std::tuple{0.7f, 5.0f, 2}}) {
    Image image = randomImage(29, 21, 77);
    const Image expected = referenceBilateral(image, 29, 21, ss, sr, r);
    BilateralFilter(image.data(), 29, 21, ss, sr, r);
    EXPECT_EQ(image, expected) << ss << " " << sr << " " << r;
  }
}

TEST(BilateralFilter, KeepsAStepEdgeWhereTheRangeSigmaIsSmall) {
  Image image(20 * 10);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) image[static_cast<std::size_t>(y * 20 + x)] = x < 10 ? 20 : 220;
  }
  const Image original = image;
  BilateralFilter(image.data(), 20, 10, 1.0f, 10.0f, 1);
  EXPECT_EQ(image, original);
  BilateralFilter(image.data(), 20, 10, 1.0f, 1000.0f, 1);
  EXPECT_GT(image[9], 20);
  EXPECT_LT(image[10], 220);
}

TEST(BilateralFilter, ZeroSigmasOrRadiusKeepTheImage) {
  const Image original = randomImage(12, 9, 12);
  for (auto [ss, sr, r] : {std::tuple{0.0f, 10.0f, 1}, std::tuple{1.0f, 0.0f, 1},
                           std::tuple{1.0f, 10.0f, 0}, std::tuple{1.0f, 10.0f, -4}}) {
    Image image = original;
    BilateralFilter(image.data(), 12, 9, ss, sr, r);
    EXPECT_EQ(image, original) << ss << " " << sr << " " << r;
  }
  BilateralFilter(nullptr, 12, 9, 1.0f, 1.0f, 1);  // must not crash
}

TEST(BilateralFilter, ARadiusBeyondTheImageStaysInside) {
  Image image = randomImage(5, 4, 13);
  const Image expected = referenceBilateral(image, 5, 4, 3.0f, 80.0f, 5);
  BilateralFilter(image.data(), 5, 4, 3.0f, 80.0f, 1000000);
  EXPECT_EQ(image, expected);
}

// ---- Division by reciprocal -------------------------------------------------------------

TEST(Reciprocal, AgreesWithIntegerDivisionOverTheWholeRange) {
  for (uint64_t d : {1ull, 2ull, 3ull, 4ull, 7ull, 9ull, 13ull, 25ull, 121ull, 4096ull,
                     8421604ull /* 2902^2 */, 10227036ull, 4294967295ull, 4294967296ull}) {
    const uint64_t most = d * 256 - 1;
    const irdex::imaging::Reciprocal reciprocal(d);
    const uint64_t step = std::max<uint64_t>(1, most / 200000);
    for (uint64_t n = 0; n <= most; n += step) {
      ASSERT_EQ(reciprocal.divide(static_cast<int64_t>(n)), n / d) << n << "/" << d;
    }
    for (uint64_t q = 0; q <= 255; ++q) {
      ASSERT_EQ(reciprocal.divide(static_cast<int64_t>(q * d)), q) << q << "*" << d;
      if (q > 0) {
        ASSERT_EQ(reciprocal.divide(static_cast<int64_t>(q * d - 1)), q - 1) << q << "*" << d;
      }
    }
  }
  // The row form, on 32-bit sums.
  const irdex::imaging::Reciprocal nine(9);
  const std::vector<int32_t> sums{0, 8, 9, 17, 18, 2294, 2295, 2303};
  std::vector<uint8_t> out(sums.size());
  nine.divideRow(sums.data(), out.data(), sums.size());
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 1, 1, 2, 254, 255, 255}));
}

TEST(SmallReciprocal, AgreesWithIntegerDivisionForEveryReachableSum) {
  std::vector<uint32_t> divisors;
  for (uint32_t d = 1; d <= 300; ++d) divisors.push_back(d);
  for (uint32_t d = 301; d <= 4096; d += 53) divisors.push_back(d);
  for (uint32_t d : {4094u, 4095u, 4096u}) divisors.push_back(d);
  for (uint32_t d : divisors) {
    const irdex::imaging::SmallReciprocal reciprocal(d);
    for (uint32_t n = 0; n <= 256 * d; ++n) ASSERT_EQ(reciprocal.divide(n), n / d) << n << "/" << d;
  }
  const irdex::imaging::SmallReciprocal nine(9);
  const std::vector<uint16_t> sums{0, 8, 9, 2294, 2295};
  std::vector<uint8_t> out(sums.size());
  nine.divideRow(sums.data(), out.data(), sums.size());
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 1, 254, 255}));
}

}  // namespace
