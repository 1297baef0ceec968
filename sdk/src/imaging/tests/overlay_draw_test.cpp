// The colour bar and the min/max markers, rendered into canvases and checked pixel by pixel.
// Every rendering is also saved as a PNG under bin/artifacts for a person to look at.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <irdex.h>
#include "testing/case_name.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "imaging/overlays.h"

namespace {

// cairo and fontconfig keep font caches for the life of the process; released at the end of
// the run so that the leak checker sees only what the overlays themselves might lose.
class FontCaches : public ::testing::Environment {
 public:
  void TearDown() override {
    cairo_debug_reset_static_data();
    FcFini();
  }
};
const auto* const kFontCaches = ::testing::AddGlobalTestEnvironment(new FontCaches);

namespace img = irdex::imaging;

struct Pixel {
  int red, green, blue, alpha;
  bool operator==(const Pixel&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Pixel& p) {
  return os << "(" << p.red << "," << p.green << "," << p.blue << "," << p.alpha << ")";
}

constexpr Pixel kBlue{136, 171, 218, 255};
constexpr Pixel kBlack{0, 0, 0, 255};
constexpr Pixel kWhite{255, 255, 255, 255};

class Canvas {
 public:
  Canvas(int width, int height, Pixel fill = {40, 40, 40, 255})
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 4) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) set(x, y, fill);
    }
  }
  IrdexCanvas view() { return {pixels_.data(), width_, height_, width_ * 4}; }
  Pixel at(int x, int y) const {
    const uint8_t* p = pixels_.data() + (static_cast<std::size_t>(y) * width_ + x) * 4;
    return {p[2], p[1], p[0], p[3]};
  }
  void set(int x, int y, Pixel c) {
    uint8_t* p = pixels_.data() + (static_cast<std::size_t>(y) * width_ + x) * 4;
    p[0] = static_cast<uint8_t>(c.blue);
    p[1] = static_cast<uint8_t>(c.green);
    p[2] = static_cast<uint8_t>(c.red);
    p[3] = static_cast<uint8_t>(c.alpha);
  }
  const std::vector<uint8_t>& bytes() const { return pixels_; }

  // Saved where a person can open it after the test run.
  void save(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(IRDEX_TEST_BIN_DIR) / "artifacts";
    std::filesystem::create_directories(folder);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        pixels_.data(), CAIRO_FORMAT_ARGB32, width_, height_, width_ * 4);
    EXPECT_EQ(cairo_surface_write_to_png(surface, (folder / name).c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
  }

 private:
  int width_, height_;
  std::vector<uint8_t> pixels_;
};

// Every entry differs from every other (red is the index).
std::array<uint8_t, 768> testPalette() {
  std::array<uint8_t, 768> palette{};
  for (int e = 0; e < 256; ++e) {
    palette[static_cast<std::size_t>(3 * e)] = static_cast<uint8_t>(e);
    palette[static_cast<std::size_t>(3 * e + 1)] = static_cast<uint8_t>(255 - e);
    palette[static_cast<std::size_t>(3 * e + 2)] = static_cast<uint8_t>((e * 7) & 255);
  }
  return palette;
}

Pixel paletteEntry(const std::array<uint8_t, 768>& palette, int e) {
  return {palette[static_cast<std::size_t>(3 * e)], palette[static_cast<std::size_t>(3 * e + 1)],
          palette[static_cast<std::size_t>(3 * e + 2)], 255};
}

constexpr int kWidth = 320, kHeight = 240;
constexpr int kX0 = kWidth - 130;
constexpr int kBarHeight = kHeight - 36;
constexpr int kLine = kX0 + 43;

// ---- Colour bar -------------------------------------------------------------------------

class ColorBar : public ::testing::Test {
 protected:
  void draw(float level, float span, int unit, int noBar = 0) {
    ASSERT_EQ(DrawColorBar(&view_, palette_.data(), level, span, unit, noBar), 1);
  }
  std::set<int> tickRows(const std::vector<img::ScaleTick>& ticks, int length) {
    std::set<int> rows;
    for (const auto& t : ticks) {
      if (t.length == length) rows.insert(t.row);
    }
    return rows;
  }
  std::array<uint8_t, 768> palette_ = testPalette();
  Canvas canvas_{kWidth, kHeight};
  IrdexCanvas view_ = canvas_.view();
};

TEST_F(ColorBar, StripRowsTakeThePaletteFromTheTopEntryDown) {
  draw(30.0f, 20.0f, TEMP_UNIT_CELSIUS);
  canvas_.save("colorbar_30C_span20.png");
  for (int k = 0; k < kBarHeight; ++k) {
    const Pixel expected = paletteEntry(palette_, 255 - 255 * k / kBarHeight);
    for (int x : {kX0 + 1, kX0 + 20, kX0 + 39}) {
      ASSERT_EQ(canvas_.at(x, 18 + k), expected) << "row " << 18 + k << " column " << x;
    }
    ASSERT_EQ(canvas_.at(kX0, 18 + k), kBlack) << "strip edge, row " << 18 + k;
    ASSERT_EQ(canvas_.at(kLine, 18 + k), kBlack) << "scale line, row " << 18 + k;
    ASSERT_EQ(canvas_.at(kX0 + 51, 18 + k), kBlue) << "blue strip, row " << 18 + k;
    for (int x = kX0 + 40; x <= kX0 + 42; ++x) ASSERT_EQ(canvas_.at(x, 18 + k), kWhite);
  }
  // Nothing left of the panel is touched.
  EXPECT_EQ(canvas_.at(kX0 - 1, 100), (Pixel{40, 40, 40, 255}));
  EXPECT_EQ(canvas_.at(0, 0), (Pixel{40, 40, 40, 255}));
}

TEST_F(ColorBar, LabelBoxesArePanelBlueWithTheEndLabelsInThem) {
  draw(30.0f, 20.0f, TEMP_UNIT_CELSIUS);
  int dark = 0;
  for (int y : {0, 17, kHeight - 18, kHeight - 1}) {
    for (int x = kX0 + 72; x < kX0 + 80; ++x) EXPECT_EQ(canvas_.at(x, y), kBlue) << x << "," << y;
  }
  for (int y = 0; y < 18; ++y) {
    for (int x = kX0; x < kX0 + 80; ++x) dark += canvas_.at(x, y).red < 60;
  }
  EXPECT_GT(dark, 40) << "the top label is drawn in black";
}

TEST_F(ColorBar, AnUnknownUnitDrawsBarAndScaleButNoEndLabels) {
  draw(30.0f, 20.0f, 3);
  canvas_.save("colorbar_unit3.png");
  // The end labels would start at the panel's left edge; the tick labels, right of the scale
  // line, reach into the boxes by design.
  for (int y : {0, 5, 17, kHeight - 17, kHeight - 5, kHeight - 1}) {
    for (int x = kX0; x < kLine; ++x) ASSERT_EQ(canvas_.at(x, y), kBlue) << x << "," << y;
  }
  EXPECT_EQ(canvas_.at(kLine, 100), kBlack);
  EXPECT_EQ(canvas_.at(kX0 + 20, 18), paletteEntry(palette_, 255));
}

// level 30, span 20: 40.00 to 20.00, whole-degree range 20, step 5, four intervals.
TEST_F(ColorBar, TicksOfATwentyDegreeWindowInStepsOfFive) {
  const auto ticks = img::scaleTicks(40.0f, 20.0f, kBarHeight);
  std::vector<std::pair<int, int>> majors;
  for (const auto& t : ticks) {
    if (t.label) majors.emplace_back(t.row, *t.label);
  }
  std::sort(majors.begin(), majors.end());
  EXPECT_EQ(majors, (std::vector<std::pair<int, int>>{
                        {18, 40}, {69, 35}, {120, 30}, {171, 25}, {222, 20}}));
  // Five divisions per interval of 51 rows: minor ticks every 10.2 rows, all 3 pixels.
  EXPECT_EQ(tickRows(ticks, 3), (std::set<int>{28, 38, 49, 59, 79, 89, 100, 110, 130, 140, 151, 161,
                                               181, 191, 202, 212}));
  EXPECT_TRUE(tickRows(ticks, 5).empty());

  draw(30.0f, 20.0f, TEMP_UNIT_CELSIUS);
  for (int row : {18, 69, 120, 171, 222}) {
    for (int x = kLine; x < kLine + 8; ++x)
      EXPECT_EQ(canvas_.at(x, row), kBlack) << x << "," << row;
    EXPECT_NE(canvas_.at(kLine + 8, row), kBlack) << row;
  }
  for (int row : {28, 49, 212}) {
    EXPECT_EQ(canvas_.at(kLine + 2, row), kBlack) << row;
    EXPECT_EQ(canvas_.at(kLine + 3, row), kBlue) << row;
  }
  EXPECT_EQ(canvas_.at(kLine + 1, 30), kBlue) << "no tick between the ticks";
}

// level 30.5, span 7: 34.00 to 27.00, range 7, step 2 with four divisions, rest 1: the top
// tick is labelled 33, at the row of 33 degrees.
TEST_F(ColorBar, TicksOfASevenDegreeWindowWithARestAtTheTop) {
  const auto ticks = img::scaleTicks(34.0f, 27.0f, kBarHeight);
  std::vector<std::pair<int, int>> majors;
  for (const auto& t : ticks) {
    if (t.label) majors.emplace_back(t.row, *t.label);
  }
  std::sort(majors.begin(), majors.end());
  // 29.14 rows per degree: 33 lies one degree below the top row 18.
  EXPECT_EQ(majors, (std::vector<std::pair<int, int>>{{47, 33}, {105, 31}, {164, 29}, {222, 27}}));
  EXPECT_EQ(tickRows(ticks, 5), (std::set<int>{18, 76, 135, 193}));
  EXPECT_EQ(tickRows(ticks, 3), (std::set<int>{32, 62, 91, 120, 149, 178, 207}));

  draw(30.5f, 7.0f, TEMP_UNIT_CELSIUS);
  canvas_.save("colorbar_30.5C_span7.png");
  for (int row : {47, 105, 164, 222}) EXPECT_EQ(canvas_.at(kLine + 7, row), kBlack) << row;
  EXPECT_EQ(canvas_.at(kLine + 4, 76), kBlack);
  EXPECT_EQ(canvas_.at(kLine + 5, 76), kBlue);
}

TEST_F(ColorBar, ConvertsTheScaleToTheUnit) {
  // 20..40 degrees Celsius are 68..104 Fahrenheit: range 36, steps of 10 from 68, rest 6.
  const auto ticks = img::scaleTicks(104.0f, 68.0f, kBarHeight);
  std::set<int> labels;
  for (const auto& t : ticks) {
    if (t.label) labels.insert(*t.label);
  }
  EXPECT_EQ(labels, (std::set<int>{68, 78, 88, 98}));
  draw(30.0f, 20.0f, TEMP_UNIT_FAHRENHEIT);
  canvas_.save("colorbar_fahrenheit.png");
  EXPECT_EQ(canvas_.at(kLine + 7, 222), kBlack);
}

TEST_F(ColorBar, WithoutTheBarOnlyTheBlueStripAndScaleAreCopied) {
  draw(30.0f, 20.0f, TEMP_UNIT_KELVIN, 1);
  canvas_.save("colorbar_nobar_kelvin.png");
  for (int y = 18; y < 18 + kBarHeight; ++y) {
    for (int x = kX0; x < kX0 + 40; ++x) {
      ASSERT_EQ(canvas_.at(x, y), (Pixel{40, 40, 40, 255})) << x << "," << y;
    }
    for (int x = kX0 + 40; x < kX0 + 43; ++x) ASSERT_EQ(canvas_.at(x, y), kWhite);
    ASSERT_EQ(canvas_.at(kX0 + 51, y), kBlue);
    ASSERT_EQ(canvas_.at(kLine, y), kBlack);
  }
}

TEST_F(ColorBar, OnlyTheLowByteOfTheNoBarFlagCounts) {
  draw(30.0f, 20.0f, TEMP_UNIT_CELSIUS, 0x100);
  EXPECT_EQ(canvas_.at(kX0 + 20, 18), paletteEntry(palette_, 255));
}

TEST(ScaleTicks, WindowsWithoutAWholeDegreeOrWithoutWidthHaveNoTicks) {
  EXPECT_TRUE(img::scaleTicks(30.6f, 30.2f, 200).empty());
  EXPECT_TRUE(img::scaleTicks(30.0f, 30.0f, 200).empty());
  EXPECT_TRUE(img::scaleTicks(20.0f, 40.0f, 200).empty());
  EXPECT_TRUE(img::scaleTicks(40.0f, 20.0f, 0).empty());
  EXPECT_TRUE(img::scaleTicks(1e30f, -1e30f, 200).empty());
  // One whole degree inside: the top tick only.
  const auto one = img::scaleTicks(30.5f, 29.8f, 200);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].label, 30);
}

TEST(ScaleTicks, AHugeRangeKeepsTheTickCountBounded) {
  const auto ticks = img::scaleTicks(9.0e6f, -9.0e6f, 200);
  EXPECT_LE(ticks.size(), 3u);
  EXPECT_GE(ticks.size(), 2u);
}

struct CanvasCase {
  int width, height;
};

class SmallCanvas : public ::testing::TestWithParam<CanvasCase> {};

// Canvases narrower or lower than the bar needs are drawn clipped, never beyond the buffer
// (the sanitizer build checks the "never").
TEST_P(SmallCanvas, DrawsClippedInsideTheBuffer) {
  const auto [width, height] = GetParam();
  Canvas canvas(width, height);
  IrdexCanvas view = canvas.view();
  const auto palette = testPalette();
  for (int unit : {0, 1, 2, 3}) {
    for (int noBar : {0, 1}) {
      EXPECT_EQ(DrawColorBar(&view, palette.data(), 25.0f, 10.0f, unit, noBar), 1);
    }
  }
  EXPECT_EQ(DrawMinMaxPos(&view, 0, 0, width - 1, height - 1, 10), 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmallCanvas,
                         ::testing::Values(CanvasCase{1, 1}, CanvasCase{100, 30},
                                           CanvasCase{129, 36}, CanvasCase{130, 37},
                                           CanvasCase{200, 20}, CanvasCase{40, 400}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName(p.width, "x", p.height);
                         });

TEST(DrawColorBar, RefusesCanvasesItCannotDrawIntoAndLeavesThemAlone) {
  Canvas canvas(16, 16);
  const auto before = canvas.bytes();
  const auto palette = testPalette();
  IrdexCanvas view = canvas.view();
  EXPECT_EQ(DrawColorBar(nullptr, palette.data(), 30, 20, 0, 0), 0);
  EXPECT_EQ(DrawColorBar(&view, nullptr, 30, 20, 0, 0), 0);
  for (IrdexCanvas bad :
       {IrdexCanvas{nullptr, 16, 16, 64}, IrdexCanvas{view.pixels, 16, 16, 60},
        IrdexCanvas{view.pixels, 16, 16, 62}, IrdexCanvas{view.pixels, 0, 16, 64},
        IrdexCanvas{view.pixels, 16, -1, 64}, IrdexCanvas{view.pixels, 16, 16, -64}}) {
    EXPECT_EQ(DrawColorBar(&bad, palette.data(), 30, 20, 0, 0), 0);
    EXPECT_EQ(DrawMinMaxPos(&bad, 1, 1, 2, 2, 3), 0);
  }
  EXPECT_EQ(DrawMinMaxPos(nullptr, 1, 1, 2, 2, 3), 0);
  EXPECT_EQ(canvas.bytes(), before);
}

TEST(DrawColorBar, TextFontResolvesToAnArialCompatibleFace) {
  const std::string family = img::resolvedFontFamily("Arial");
  EXPECT_TRUE(family == "Arial" || family == "Liberation Sans" || family == "Arimo") << family;
}

// ---- Min/max markers --------------------------------------------------------------------

struct Extent {
  int top = 1 << 30, bottom = -1, left = 1 << 30, right = -1, count = 0;
};

// The bounding box of the pixels that differ from the background, over rows first..last.
Extent paintedExtent(const Canvas& canvas, int width, int first, int last, Pixel background) {
  Extent e;
  for (int y = first; y <= last; ++y) {
    for (int x = 0; x < width; ++x) {
      const Pixel p = canvas.at(x, y);
      if (p == background) continue;
      e.top = std::min(e.top, y);
      e.bottom = std::max(e.bottom, y);
      e.left = std::min(e.left, x);
      e.right = std::max(e.right, x);
      ++e.count;
    }
  }
  return e;
}

TEST(DrawMinMaxPos, SizeTenGivesEquilateralTrianglesSeventeenRowsHigh) {
  const Pixel background{0, 0, 0, 255};
  Canvas canvas(120, 100, background);
  IrdexCanvas view = canvas.view();
  ASSERT_EQ(DrawMinMaxPos(&view, 30, 80, 80, 10, 10), 1);
  canvas.save("markers_s10.png");

  // Maximum at (80, 10): apex there, base on row 27 from column 70 to 90; yellow to red.
  const Extent hot = paintedExtent(canvas, 120, 0, 49, background);
  EXPECT_EQ(hot.top, 10);
  EXPECT_EQ(hot.bottom, 27);
  EXPECT_EQ(hot.left, 70);
  EXPECT_EQ(hot.right, 90);
  for (int y = 10; y <= 27; ++y) {
    EXPECT_EQ(canvas.at(80, y).red, 255) << y;
    EXPECT_EQ(canvas.at(80, y).blue, 0) << y;
  }
  EXPECT_GT(canvas.at(80, 10).green, 230) << "apex yellow";
  EXPECT_LT(canvas.at(80, 27).green, 25) << "base red";
  EXPECT_GT(canvas.at(80, 14).green, canvas.at(80, 22).green) << "shaded from apex to base";
  EXPECT_EQ(canvas.at(70, 26), background) << "outside the slanted side";

  // Minimum at (30, 80): apex there, base on row 63 from column 20 to 40; yellow to blue.
  const Extent cold = paintedExtent(canvas, 120, 50, 99, background);
  EXPECT_EQ(cold.top, 63);
  EXPECT_EQ(cold.bottom, 80);
  EXPECT_EQ(cold.left, 20);
  EXPECT_EQ(cold.right, 40);
  const Pixel base = canvas.at(30, 63), apex = canvas.at(30, 80);
  EXPECT_GT(base.blue, 230);
  EXPECT_LT(base.red, 25);
  EXPECT_GT(apex.red, 230);
  EXPECT_GT(apex.green, 230);
  EXPECT_LT(apex.blue, 25);
}

TEST(DrawMinMaxPos, TheMinimumIsDrawnOverTheMaximum) {
  Canvas canvas(100, 100, {0, 0, 0, 255});
  IrdexCanvas view = canvas.view();
  ASSERT_EQ(DrawMinMaxPos(&view, 50, 55, 50, 40, 10), 1);
  canvas.save("markers_overlap.png");
  const Pixel shared = canvas.at(50, 47);  // inside both triangles
  EXPECT_GT(shared.blue, 0) << shared;
}

TEST(DrawMinMaxPos, MarkersOffTheCanvasOrOfSizeZeroDrawNothing) {
  Canvas canvas(50, 50);
  const auto before = canvas.bytes();
  IrdexCanvas view = canvas.view();
  EXPECT_EQ(DrawMinMaxPos(&view, -1000, -1000, 2000000000, 2000000000, 10), 1);
  EXPECT_EQ(DrawMinMaxPos(&view, 10, 10, 20, 20, 0), 1);
  EXPECT_EQ(DrawMinMaxPos(&view, 10, 10, 20, 20, -5), 0);
  EXPECT_EQ(canvas.bytes(), before);
  EXPECT_EQ(DrawMinMaxPos(&view, 25, 25, 25, 25, 1 << 20), 0);
  EXPECT_EQ(DrawMinMaxPos(&view, 25, 25, 25, 25, 100000 / 2), 1);  // covers the canvas
}

}  // namespace
