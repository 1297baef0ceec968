#include "record/stream_geometry.h"

#include <gtest/gtest.h>

namespace solvane::record {
namespace {

struct GeometryCase {
  const char* name;
  uint8_t version;
  uint16_t width, height;
  int32_t readVersion;
  int64_t firstFrame, frameBytes, pixelsPerFrame;
};
void PrintTo(const GeometryCase& c, std::ostream* os) { *os << c.name; }

class Geometry : public ::testing::TestWithParam<GeometryCase> {};

IRHeader headerOf(uint8_t version, uint16_t width, uint16_t height) {
  IRHeader header{};
  header.version = version;
  header.width = width;
  header.height = height;
  return header;
}

TEST_P(Geometry, FollowsTheStreamFileLayout) {
  const auto& c = GetParam();
  const auto g = streamGeometryOf(headerOf(c.version, c.width, c.height));
  ASSERT_TRUE(g.has_value());
  EXPECT_EQ(g->readVersion, c.readVersion);
  EXPECT_EQ(g->firstFrame, c.firstFrame);
  EXPECT_EQ(g->frameBytes, c.frameBytes);
  EXPECT_EQ(g->pixelsPerFrame, c.pixelsPerFrame);
}

TEST_P(Geometry, CountsWholeFramesAndPlacesThemOnTheGrid) {
  const auto& c = GetParam();
  const auto g = streamGeometryOf(headerOf(c.version, c.width, c.height));
  ASSERT_TRUE(g.has_value());
  const int64_t length = c.firstFrame + 3 * c.frameBytes + c.frameBytes / 2;  // a cut tail
  EXPECT_EQ(g->frameCount(length), 3);
  EXPECT_EQ(g->positionOf(2), c.firstFrame + 2 * c.frameBytes);
  EXPECT_EQ(g->frameAt(g->positionOf(2)), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, Geometry,
    ::testing::Values(GeometryCase{"V16FirstGeneration", 16, 320, 240, 16, 21, 153608, 76800},
                      GeometryCase{"V17Kt", 17, 320, 240, 17, 1022, 153608, 76800},
                      GeometryCase{"V18WithoutTimeStamp", 18, 384, 288, 18, 1022, 221192, 110592},
                      GeometryCase{"V20TimeStampNoExtraRow", 20, 640, 480, 20, 1022, 615680,
                                   307200},
                      GeometryCase{"V32ExtraRow", 32, 384, 288, 32, 1022, 222720, 110976},
                      GeometryCase{"V33ReadAs32", 33, 640, 480, 32, 1022, 616960, 307840}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  uint16_t width, height;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedGeometry : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedGeometry, HasNoFrames) {
  EXPECT_FALSE(streamGeometryOf(headerOf(17, GetParam().width, GetParam().height)).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, RefusedGeometry,
    ::testing::Values(RefusedCase{"ZeroWidth", 0, 240}, RefusedCase{"ZeroHeight", 320, 0},
                      RefusedCase{"SizeTheReadersWouldTakeFor384", 100, 100},
                      RefusedCase{"WidthOtherThanThePixelCountGives", 240, 320}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Geometry, FileShorterThanOneFrameHasNone) {
  const auto g = streamGeometryOf(headerOf(17, 320, 240));
  ASSERT_TRUE(g.has_value());
  EXPECT_EQ(g->frameCount(1022 + 100), 0);
  EXPECT_EQ(g->frameCount(500), 0);
}

}  // namespace
}  // namespace solvane::record
