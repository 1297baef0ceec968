// Shapes in the image: which pixels they cover, what a mouse point touches under zoom,
// mirror and flip, and how moving and resizing keep them inside the image.
#include "circle_roi.h"
#include "line_roi.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace solvane {
namespace {

constexpr ImageBounds kImage{64, 48};

using Pixel = std::pair<int32_t, int32_t>;  // (y, x): row order

std::vector<Pixel> spanPixels(const CObjectROI& object, ImageBounds bounds = kImage) {
  std::vector<Pixel> pixels;
  object.forEachSpan(bounds, [&](const PixelSpan& s) {
    for (int32_t x = s.x0; x <= s.x1; ++x) pixels.emplace_back(s.y, x);
  });
  return pixels;
}

std::vector<Pixel> bruteForcePixels(const CObjectROI& object, ImageBounds bounds = kImage) {
  std::vector<Pixel> pixels;
  for (int32_t y = 0; y < bounds.height; ++y)
    for (int32_t x = 0; x < bounds.width; ++x)
      if (object.contains(x, y)) pixels.emplace_back(y, x);
  return pixels;
}

struct ShapeCase {
  std::string name;
  std::function<std::unique_ptr<CObjectROI>()> make;
  size_t expectedPixels;  // 0: not checked
};

std::vector<ShapeCase> shapeCases() {
  return {
      {"Spot", [] { return std::make_unique<CSpotROI>(5, 7); }, 1},
      {"Rect",
       [] {
         return std::make_unique<CRectROI>(BoxGeometry{2, 3, 12, 9});
       },
       60},
      {"CircleRound",
       [] {
         return std::make_unique<CCircleROI>(BoxGeometry{10, 10, 30, 30});
       },
       0},
      {"CircleFlat",
       [] {
         return std::make_unique<CCircleROI>(BoxGeometry{1, 20, 60, 25});
       },
       0},
      {"CircleOddSizes",
       [] {
         return std::make_unique<CCircleROI>(BoxGeometry{3, 4, 10, 17});
       },
       0},
      {"CircleOnePixel",
       [] {
         return std::make_unique<CCircleROI>(BoxGeometry{7, 7, 8, 8});
       },
       1},
      {"CircleWholeImage",
       [] {
         return std::make_unique<CCircleROI>(BoxGeometry{0, 0, 64, 48});
       },
       0},
      {"LineShallow",
       [] {
         return std::make_unique<CLineROI>(PixelPoint{2, 3}, PixelPoint{40, 11});
       },
       39},
      {"LineSteepBackwards",
       [] {
         return std::make_unique<CLineROI>(PixelPoint{30, 45}, PixelPoint{25, 2});
       },
       44},
      {"LinePoint",
       [] {
         return std::make_unique<CLineROI>(PixelPoint{9, 9}, PixelPoint{9, 9});
       },
       1},
      {"PolygonSquare",
       [] {
         return std::make_unique<CPolygonROI>(
             std::vector<PixelPoint>{{4, 4}, {14, 4}, {14, 14}, {4, 14}});
       },
       100},
      {"PolygonTriangle",
       [] {
         return std::make_unique<CPolygonROI>(std::vector<PixelPoint>{{3, 40}, {60, 2}, {33, 47}});
       },
       0},
      {"PolygonConcave",
       [] {
         return std::make_unique<CPolygonROI>(
             std::vector<PixelPoint>{{5, 5}, {40, 5}, {40, 40}, {22, 12}, {5, 40}});
       },
       0},
      {"PolygonSelfCrossing",
       [] {
         return std::make_unique<CPolygonROI>(
             std::vector<PixelPoint>{{0, 0}, {50, 40}, {50, 0}, {0, 40}});
       },
       0},
      {"PolygonAlongImageEdge",
       [] {
         return std::make_unique<CPolygonROI>(
             std::vector<PixelPoint>{{0, 0}, {64, 0}, {64, 48}, {0, 48}});
       },
       64 * 48},
  };
}

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class ShapePixels : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ShapePixels, SpansCoverExactlyThePixelsTheInsideTestAccepts) {
  const auto object = GetParam().make();
  const auto spans = spanPixels(*object);
  EXPECT_EQ(spans, bruteForcePixels(*object));
  if (GetParam().expectedPixels != 0) {
    EXPECT_EQ(spans.size(), GetParam().expectedPixels);
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ShapePixels, ::testing::ValuesIn(shapeCases()),
                         [](const auto& info) { return info.param.name; });

TEST(CircleInsideTest, PixelCentresOnTheOutlineBelongToTheEllipse) {
  // A 2 x 2 box: all four pixel centres lie at normalised radius sqrt(0.5) < 1.
  const CCircleROI small(BoxGeometry{0, 0, 2, 2});
  EXPECT_EQ(spanPixels(small).size(), 4u);
  // 4 x 2: the centres (0.5, 0.5) give (1.5/2)^2 + (0.5/1)^2 = 0.8125 <= 1.
  const CCircleROI wide(BoxGeometry{0, 0, 4, 2});
  EXPECT_EQ(spanPixels(wide).size(), 8u);
}

TEST(LineSamples, RunFromStartToEndWithoutGaps) {
  const CLineROI line(PixelPoint{2, 3}, PixelPoint{40, 11});
  const auto& samples = line.samples();
  ASSERT_FALSE(samples.empty());
  EXPECT_EQ(samples.front(), (PixelPoint{2, 3}));
  EXPECT_EQ(samples.back(), (PixelPoint{40, 11}));
  for (size_t i = 1; i < samples.size(); ++i) {
    EXPECT_LE(std::abs(samples[i].x - samples[i - 1].x), 1);
    EXPECT_LE(std::abs(samples[i].y - samples[i - 1].y), 1);
  }
}

// --- hit tests in view coordinates -------------------------------------------------------

struct HitCase {
  std::string name;
  double zoom;
  bool mirror, flip;
  ImagePoint imagePoint;  // where the mouse is, in image pixels
  HitResult expected;
};

void PrintTo(const HitCase& c, std::ostream* os) { *os << c.name; }

class RectHits : public ::testing::TestWithParam<HitCase> {};

TEST_P(RectHits, ViewPointMapsToThePartUnderIt) {
  const HitCase& c = GetParam();
  const CRectROI rect(BoxGeometry{10, 10, 30, 20});
  ViewMapping view{kImage, c.zoom, c.zoom, c.mirror, c.flip};
  // The mouse arrives in view pixels: turn the image point into them and back.
  const ImagePoint v = view.toView(c.imagePoint.x, c.imagePoint.y);
  const ImagePoint p = view.toImage(v.x, v.y);
  EXPECT_EQ(rect.hitTest(p, view), c.expected);
}

std::vector<HitCase> rectHitCases() {
  std::vector<HitCase> cases;
  const struct {
    const char* name;
    double zoom;
    bool mirror, flip;
  } views[] = {{"Zoom1", 1.0, false, false},
               {"Zoom2Mirror", 2.0, true, false},
               {"Zoom3Flip", 3.0, false, true},
               {"Zoom1_5MirrorFlip", 1.5, true, true}};
  for (const auto& v : views) {
    const std::string n = v.name;
    cases.push_back(
        {n + "_TopLeftHandle", v.zoom, v.mirror, v.flip, {10.4, 9.8}, {HitPart::Handle, kTopLeft}});
    cases.push_back({n + "_BottomRightHandle",
                     v.zoom,
                     v.mirror,
                     v.flip,
                     {30, 20},
                     {HitPart::Handle, kBottomRight}});
    cases.push_back(
        {n + "_RightEdgeHandle", v.zoom, v.mirror, v.flip, {30, 15}, {HitPart::Handle, kRight}});
    cases.push_back({n + "_Body", v.zoom, v.mirror, v.flip, {20, 14}, {HitPart::Body, -1}});
    cases.push_back({n + "_Border", v.zoom, v.mirror, v.flip, {24, 20.5}, {HitPart::Border, -1}});
    cases.push_back({n + "_Outside", v.zoom, v.mirror, v.flip, {50, 40}, {}});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Views, RectHits, ::testing::ValuesIn(rectHitCases()),
                         [](const auto& info) { return info.param.name; });

TEST(ViewMapping, MirrorAndFlipTurnTheViewPointBackIntoImagePixels) {
  const ViewMapping view{kImage, 2.0, 2.0, true, true};
  // The view's top-left corner shows the image's bottom-right corner.
  const ImagePoint p = view.toImage(0.5, 0.5);
  EXPECT_DOUBLE_EQ(p.x, 63.75);
  EXPECT_DOUBLE_EQ(p.y, 47.75);
}

TEST(HandleTolerance, ShrinksInImagePixelsAsTheZoomGrows) {
  const CRectROI rect(BoxGeometry{10, 10, 30, 20});
  // 2.5 image pixels from the corner: 2.5 device pixels at zoom 1 (on the 6 x 6 handle),
  // 7.5 at zoom 3 (outside it, and more than the border tolerance from the edge).
  const ImagePoint p{10 - 2.5, 10 - 2.5};
  EXPECT_EQ(rect.hitTest(p, ViewMapping{kImage, 1.0, 1.0}).part, HitPart::Handle);
  EXPECT_EQ(rect.hitTest(p, ViewMapping{kImage, 3.0, 3.0}).part, HitPart::None);
}

struct KindHitCase {
  std::string name;
  std::function<std::unique_ptr<CObjectROI>()> make;
  ImagePoint point;
  HitResult expected;
};

void PrintTo(const KindHitCase& c, std::ostream* os) { *os << c.name; }

class KindHits : public ::testing::TestWithParam<KindHitCase> {};

TEST_P(KindHits, PointTouchesTheExpectedPart) {
  const auto object = GetParam().make();
  EXPECT_EQ(object->hitTest(GetParam().point, ViewMapping{kImage, 2.0, 2.0}), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, KindHits,
    ::testing::Values(
        KindHitCase{"SpotOnItsPixel",
                    [] { return std::make_unique<CSpotROI>(5, 5); },
                    {5.5, 5.5},
                    {HitPart::Body, -1}},
        KindHitCase{"SpotFarAway", [] { return std::make_unique<CSpotROI>(5, 5); }, {12, 5}, {}},
        KindHitCase{"CircleCentre",
                    [] {
                      return std::make_unique<CCircleROI>(BoxGeometry{10, 10, 30, 30});
                    },
                    {20, 20},
                    {HitPart::Body, -1}},
        KindHitCase{"CircleOutline",
                    [] {
                      return std::make_unique<CCircleROI>(BoxGeometry{10, 10, 30, 30});
                    },
                    {20 + 7.07, 20 + 7.07},
                    {HitPart::Border, -1}},
        KindHitCase{"CircleBoxCornerOutsideEllipse",
                    [] {
                      return std::make_unique<CCircleROI>(BoxGeometry{10, 10, 50, 40});
                    },
                    {12, 12},
                    {}},
        KindHitCase{"CircleSideHandle",
                    [] {
                      return std::make_unique<CCircleROI>(BoxGeometry{10, 10, 30, 30});
                    },
                    {30, 20},
                    {HitPart::Handle, kRight}},
        KindHitCase{"LineEndHandle",
                    [] {
                      return std::make_unique<CLineROI>(PixelPoint{2, 2}, PixelPoint{40, 30});
                    },
                    {40.5, 30.5},
                    {HitPart::Handle, 1}},
        KindHitCase{"LineMiddle",
                    [] {
                      return std::make_unique<CLineROI>(PixelPoint{2, 2}, PixelPoint{40, 30});
                    },
                    {21.5, 16.5},
                    {HitPart::Body, -1}},
        KindHitCase{"LineBeside",
                    [] {
                      return std::make_unique<CLineROI>(PixelPoint{2, 2}, PixelPoint{40, 30});
                    },
                    {21.5, 25},
                    {}},
        KindHitCase{"PolygonVertex",
                    [] {
                      return std::make_unique<CPolygonROI>(
                          std::vector<PixelPoint>{{5, 5}, {40, 5}, {20, 40}});
                    },
                    {40, 5},
                    {HitPart::Handle, 1}},
        KindHitCase{"PolygonEdge",
                    [] {
                      return std::make_unique<CPolygonROI>(
                          std::vector<PixelPoint>{{5, 5}, {40, 5}, {20, 40}});
                    },
                    {22, 5.5},
                    {HitPart::Border, -1}},
        KindHitCase{"PolygonInside",
                    [] {
                      return std::make_unique<CPolygonROI>(
                          std::vector<PixelPoint>{{5, 5}, {40, 5}, {20, 40}});
                    },
                    {20, 15},
                    {HitPart::Body, -1}},
        KindHitCase{"PolygonOutside",
                    [] {
                      return std::make_unique<CPolygonROI>(
                          std::vector<PixelPoint>{{5, 5}, {40, 5}, {20, 40}});
                    },
                    {5, 30},
                    {}}),
    [](const auto& info) { return info.param.name; });

// --- moving and resizing ------------------------------------------------------------------

struct MoveCase {
  std::string name;
  std::function<std::unique_ptr<CObjectROI>()> make;
  int32_t dx, dy;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

class MoveKeepsInside : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveKeepsInside, ObjectStopsAtTheImageEdgeWithItsShapeIntact) {
  auto object = GetParam().make();
  const size_t pixelsBefore = spanPixels(*object, ImageBounds{1000, 1000}).size();
  object->moveBy(GetParam().dx, GetParam().dy, kImage);
  const auto pixels = spanPixels(*object, ImageBounds{1000, 1000});
  EXPECT_EQ(pixels.size(), pixelsBefore);
  for (const auto& [y, x] : pixels) {
    EXPECT_GE(x, 0);
    EXPECT_LT(x, kImage.width);
    EXPECT_GE(y, 0);
    EXPECT_LT(y, kImage.height);
  }
  EXPECT_FALSE(object->clampTo(kImage));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MoveKeepsInside,
    ::testing::Values(
        MoveCase{"SpotFarRight", [] { return std::make_unique<CSpotROI>(5, 5); }, 500, 3},
        MoveCase{"RectFarLeftUp",
                 [] {
                   return std::make_unique<CRectROI>(BoxGeometry{10, 10, 30, 20});
                 },
                 -500, -500},
        MoveCase{"CircleFarDown",
                 [] {
                   return std::make_unique<CCircleROI>(BoxGeometry{10, 10, 30, 20});
                 },
                 0, 1 << 30},
        MoveCase{"LineFarRightDown",
                 [] {
                   return std::make_unique<CLineROI>(PixelPoint{2, 2}, PixelPoint{20, 9});
                 },
                 100, 100},
        MoveCase{"PolygonExtreme",
                 [] {
                   return std::make_unique<CPolygonROI>(
                       std::vector<PixelPoint>{{5, 5}, {40, 5}, {20, 40}});
                 },
                 INT32_MIN, INT32_MAX}),
    [](const auto& info) { return info.param.name; });

TEST(BoxResize, DraggingACornerPastTheOppositeSideSwapsTheHandle) {
  CRectROI rect(BoxGeometry{10, 10, 30, 20});
  const int handle = rect.resizeHandle(kTopLeft, {40, 25}, kImage);
  EXPECT_EQ(handle, kBottomRight);
  EXPECT_EQ(rect.box().left, 30);
  EXPECT_EQ(rect.box().top, 20);
  EXPECT_EQ(rect.box().right, 40);
  EXPECT_EQ(rect.box().bottom, 25);
}

TEST(BoxResize, HandleDraggedOutOfTheImageStopsAtItsEdge) {
  CCircleROI circle(BoxGeometry{10, 10, 30, 20});
  circle.resizeHandle(kBottomRight, {1e12, -1e12}, kImage);
  EXPECT_EQ(circle.box().right, kImage.width);
  EXPECT_EQ(circle.box().top, 0);
  EXPECT_EQ(circle.box().bottom, 10);
}

TEST(BoxResize, CollapsingAnEdgeLeavesOnePixel) {
  CRectROI rect(BoxGeometry{10, 10, 30, 20});
  rect.resizeHandle(kRight, {10, 15}, kImage);
  EXPECT_EQ(rect.box().width(), 1);
}

TEST(LineResize, EndHandleFollowsTheMouseInsideTheImage) {
  CLineROI line(PixelPoint{2, 2}, PixelPoint{20, 9});
  line.resizeHandle(1, {-40, 30.7}, kImage);
  EXPECT_EQ(line.end(), (PixelPoint{0, 30}));
  EXPECT_EQ(line.start(), (PixelPoint{2, 2}));
}

TEST(PolygonResize, VertexHandleMovesOnlyThatVertex) {
  CPolygonROI polygon(std::vector<PixelPoint>{{5, 5}, {40, 5}, {20, 40}});
  polygon.resizeHandle(2, {100, 100}, kImage);
  EXPECT_EQ(polygon.vertices()[2], (PixelPoint{64, 48}));
  EXPECT_EQ(polygon.vertices()[0], (PixelPoint{5, 5}));
}

}  // namespace
}  // namespace solvane
