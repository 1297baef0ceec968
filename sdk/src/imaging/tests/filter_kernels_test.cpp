// The 3x3 kernel filters, grey and colour, checked against a pixel-by-pixel reading of the
// rule and against hand-worked values.
#include <gtest/gtest.h>
#include <irdex.h>
#include "testing/case_name.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

using Image = std::vector<uint8_t>;

Image randomImage(int width, int height, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> dist(0, 255);
  Image image(static_cast<std::size_t>(width) * height);
  for (auto& v : image) v = static_cast<uint8_t>(dist(gen));
  return image;
}

// One pixel at a time, straight from the rule: neighbours outside the image are the centre,
// the weighted sum divided in single precision and truncated, then kept to 0..255.
Image referenceKernel(const Image& in, int width, int height, int type) {
  static const std::array<std::array<int, 9>, 4> kernels{{
      {1, 1, 1, 1, 5, 1, 1, 1, 1},
      {1, 1, 1, 1, 10, 1, 1, 1, 1},
      {0, -1, 0, -1, 8, -1, 0, -1, 0},
      {0, -1, 0, -1, 6, -1, 0, -1, 0},
  }};
  static const std::array<float, 4> divisors{13.0f, 18.0f, 4.0f, 2.0f};
  const auto& kernel = kernels[static_cast<std::size_t>(type - 2)];
  Image out(in.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int centre = in[static_cast<std::size_t>(y * width + x)];
      int sum = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int xx = x + dx, yy = y + dy;
          const bool inside = xx >= 0 && xx < width && yy >= 0 && yy < height;
          const int v = inside ? in[static_cast<std::size_t>(yy * width + xx)] : centre;
          sum += kernel[static_cast<std::size_t>((dy + 1) * 3 + dx + 1)] * v;
        }
      }
      const int q = static_cast<int16_t>(
          static_cast<int>(static_cast<float>(sum) / divisors[static_cast<std::size_t>(type - 2)]));
      out[static_cast<std::size_t>(y * width + x)] =
          static_cast<uint8_t>(q <= 0 ? 0 : (q >= 255 ? 255 : q));
    }
  }
  return out;
}

struct Shape {
  int width, height;
};

class KernelFilter : public ::testing::TestWithParam<std::tuple<int, Shape>> {};

TEST_P(KernelFilter, MatchesThePixelRuleEverywhereIncludingBorders) {
  const auto [type, shape] = GetParam();
  Image image = randomImage(shape.width, shape.height, 7u + static_cast<unsigned>(type));
  const Image expected = referenceKernel(image, shape.width, shape.height, type);
  ASSERT_EQ(ApplyImageFilter(image.data(), static_cast<uint16_t>(shape.width),
                             static_cast<uint16_t>(shape.height), type),
            SDK_SUCCESS);
  EXPECT_EQ(image, expected);
}

TEST_P(KernelFilter, LeavesAFlatImageFlat) {
  const auto [type, shape] = GetParam();
  for (uint8_t level : {uint8_t{0}, uint8_t{1}, uint8_t{97}, uint8_t{255}}) {
    Image image(static_cast<std::size_t>(shape.width) * shape.height, level);
    ASSERT_EQ(ApplyImageFilter(image.data(), static_cast<uint16_t>(shape.width),
                               static_cast<uint16_t>(shape.height), type),
              SDK_SUCCESS);
    EXPECT_EQ(image, Image(image.size(), level)) << "level " << int{level};
  }
}

INSTANTIATE_TEST_SUITE_P(AllTypesAndShapes, KernelFilter,
                         ::testing::Combine(::testing::Values(2, 3, 4, 5),
                                            ::testing::Values(Shape{1, 1}, Shape{1, 7}, Shape{9, 1},
                                                              Shape{2, 2}, Shape{3, 3},
                                                              Shape{37, 11}, Shape{640, 4})),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Type", std::get<0>(p), std::get<1>(p).width, "x",
                                           std::get<1>(p).height);
                         });

TEST(ApplyImageFilter, SmoothsOneBrightPixelIntoFiftyAndTen) {
  Image image(25, 0);
  image[12] = 130;  // centre of 5 x 5
  ASSERT_EQ(ApplyImageFilter(image.data(), 5, 5, 2), SDK_SUCCESS);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      const int expected =
          (x == 2 && y == 2) ? 50 : (std::abs(x - 2) <= 1 && std::abs(y - 2) <= 1 ? 10 : 0);
      EXPECT_EQ(image[static_cast<std::size_t>(y * 5 + x)], expected) << x << "," << y;
    }
  }
}

TEST(ApplyImageFilter, CountsTheMissingCornerNeighboursAsTheCornerItself) {
  Image image(9, 0);
  image[0] = 130;
  ASSERT_EQ(ApplyImageFilter(image.data(), 3, 3, 2), SDK_SUCCESS);
  // Centre weight 5 plus the five outside neighbours at weight 1: 10 x 130 / 13.
  EXPECT_EQ(image[0], 100);
  EXPECT_EQ(image[1], 10);
  EXPECT_EQ(image[4], 10);
}

TEST(ApplyImageFilter, SharpeningClipsToTheByteRange) {
  Image image(9, 0);
  image[4] = 200;
  ASSERT_EQ(ApplyImageFilter(image.data(), 3, 3, 5), SDK_SUCCESS);
  EXPECT_EQ(image[4], 255);  // 6 x 200 / 2
  EXPECT_EQ(image[1], 0);    // -200 / 2
  EXPECT_EQ(image[0], 0);    // corners do not see the centre
}

TEST(ApplyImageFilter, RefusesOtherTypesAndLeavesTheImage) {
  const Image original = randomImage(8, 6, 3);
  for (int type : {7, 0, 1, 6, -1, 1000}) {
    Image image = original;
    EXPECT_EQ(ApplyImageFilter(image.data(), 8, 6, type), SDK_ERR_UNSUPPORTED_FILTER);
    EXPECT_EQ(image, original) << "type " << type;
  }
}

TEST(ApplyImageFilter, MissingImageAndEmptySizes) {
  EXPECT_EQ(ApplyImageFilter(nullptr, 4, 4, 2), SDK_ERR_BUFFER);
  EXPECT_EQ(ApplyColorImageFilter(nullptr, 4, 4, 2, 24), SDK_ERR_BUFFER);
  uint8_t canary = 77;
  EXPECT_EQ(ApplyImageFilter(&canary, 0, 5, 4), SDK_SUCCESS);
  EXPECT_EQ(ApplyImageFilter(&canary, 5, 0, 4), SDK_SUCCESS);
  EXPECT_EQ(ApplyColorImageFilter(&canary, 0, 0, 4, 32), SDK_SUCCESS);
  EXPECT_EQ(canary, 77);
}

// ---- Colour images ----------------------------------------------------------------------

class ColorKernelFilter : public ::testing::TestWithParam<std::tuple<int, int>> {};

// Each plane is filtered exactly like a grey image (16 bits: the 5-6-5 planes, packed back).
TEST_P(ColorKernelFilter, FiltersEveryPlaneAsAGreyImage) {
  const auto [bits, type] = GetParam();
  const int width = 23, height = 9, bytes = bits / 8;
  Image image = randomImage(width, height * bytes, 11);
  const Image original = image;
  ASSERT_EQ(ApplyColorImageFilter(image.data(), width, height, type, bits), SDK_SUCCESS);

  std::array<Image, 3> planes;
  for (int p = 0; p < 3; ++p) {
    Image plane(static_cast<std::size_t>(width) * height);
    if (bits == 16) {
      for (std::size_t i = 0; i < plane.size(); ++i) {
        const int v = original[2 * i] | original[2 * i + 1] << 8;
        plane[i] = static_cast<uint8_t>(p == 0 ? (v >> 11) << 3
                                               : (p == 1 ? ((v >> 5) & 63) << 2 : (v & 31) << 3));
      }
    } else {
      for (std::size_t i = 0; i < plane.size(); ++i) plane[i] = original[i * bytes + p];
    }
    planes[static_cast<std::size_t>(p)] = referenceKernel(plane, width, height, type);
  }
  for (std::size_t i = 0; i < planes[0].size(); ++i) {
    if (bits == 16) {
      const int expected = (planes[0][i] >> 3) << 11 | (planes[1][i] >> 2) << 5 | planes[2][i] >> 3;
      ASSERT_EQ(image[2 * i] | image[2 * i + 1] << 8, expected) << "pixel " << i;
    } else {
      for (int p = 0; p < 3; ++p) {
        ASSERT_EQ(image[i * bytes + p], planes[static_cast<std::size_t>(p)][i]) << "pixel " << i;
      }
      if (bits == 32) {
        ASSERT_EQ(image[i * 4 + 3], 0) << "the fourth byte becomes 0";
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndTypes, ColorKernelFilter,
                         ::testing::Combine(::testing::Values(16, 24, 32),
                                            ::testing::Values(2, 3, 4, 5)),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Bits", std::get<0>(p), "Type", std::get<1>(p));
                         });

// A flat image survives the split and the packing unchanged: every 16-bit value round-trips
// through its 5-6-5 planes.
TEST(ApplyColorImageFilter, FlatImagesRoundTripThroughThePlanes) {
  for (int value = 0; value < 65536; value += 97) {
    std::vector<uint8_t> image(4 * 3 * 2);
    for (std::size_t i = 0; i < image.size(); i += 2) {
      image[i] = static_cast<uint8_t>(value);
      image[i + 1] = static_cast<uint8_t>(value >> 8);
    }
    const auto original = image;
    ASSERT_EQ(ApplyColorImageFilter(image.data(), 4, 3, 4, 16), SDK_SUCCESS);
    ASSERT_EQ(image, original) << "value " << value;
  }
  Image rgb{10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30};
  const Image rgbOriginal = rgb;
  ASSERT_EQ(ApplyColorImageFilter(rgb.data(), 2, 2, 5, 24), SDK_SUCCESS);
  EXPECT_EQ(rgb, rgbOriginal);
  Image bgra{10, 20, 30, 99, 10, 20, 30, 99};
  ASSERT_EQ(ApplyColorImageFilter(bgra.data(), 1, 2, 3, 32), SDK_SUCCESS);
  EXPECT_EQ(bgra, (Image{10, 20, 30, 0, 10, 20, 30, 0}));
}

TEST(ApplyColorImageFilter, RefusesUnknownTypesAndDepthsUnchanged) {
  const Image original = randomImage(6, 4 * 4, 5);
  for (auto [type, bits] :
       {std::pair{7, 24}, std::pair{1, 32}, std::pair{2, 8}, std::pair{3, 15}, std::pair{4, 0}}) {
    Image image = original;
    EXPECT_EQ(ApplyColorImageFilter(image.data(), 6, 4, type, bits), SDK_ERR_UNSUPPORTED_FILTER);
    EXPECT_EQ(image, original) << type << " " << bits;
  }
}

}  // namespace
