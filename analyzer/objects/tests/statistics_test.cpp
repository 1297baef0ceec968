// Statistics of every kind of object on real frames of every conversion family, against a
// reference that converts each pixel on its own through the library's point conversion and
// tests every pixel of the image with the shape's inside test.
#include "camera_frames.h"
#include "circle_roi.h"
#include "line_roi.h"
#include "measurement_pass.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace solvane {
namespace {

using testing::CameraFrames;
using testing::CameraKind;

// The library's own conversion of one pixel, with the analyzer's choice of environment.
float pointTemperature(const MeasurementFrame& f, const EnvParams& env, int32_t x, int32_t y) {
  const uint32_t size = IrdexImageSize(f.width, f.height);
  return IRFrameVersion(f.frame) >= 32 ? GetPointTempKS(f.frame, size, env, x, y)
                                       : GetPointTemp(f.frame, size, f.table, env, x, y);
}

// Every pixel of the image in row order, the inside test per pixel, the per-pixel
// conversion, the temperature-code screen and the population deviation.
RoiStatistics reference(const MeasurementFrame& f, const CObjectROI& object, EnvParams env,
                        int64_t* count) {
  if (!environmentChanged(env)) env = kDefaultEnvironment;
  const uint8_t version = IRFrameVersion(f.frame);
  const bool high = IRFrameRangeIndex(f.frame) == 1;
  std::vector<float> values;
  RoiStatistics s;
  s.minTemp = std::numeric_limits<float>::infinity();
  s.maxTemp = -std::numeric_limits<float>::infinity();
  float previous = 0.0f;
  for (int32_t y = 0; y < f.height; ++y) {
    for (int32_t x = 0; x < f.width; ++x) {
      if (!object.contains(x, y)) continue;
      float g = pointTemperature(f, env, x, y);
      if (version >= 17 && version <= 31) {
        const bool accepted = high ? (g >= 0.0f && g <= 650.0f) : (g >= -30.0f && g <= 130.0f);
        g = accepted ? (previous = g) : previous;
      }
      if (g <= s.minTemp) s.minTemp = g, s.minX = x, s.minY = y;
      if (g >= s.maxTemp) s.maxTemp = g, s.maxX = x, s.maxY = y;
      values.push_back(g);
    }
  }
  *count = static_cast<int64_t>(values.size());
  if (values.empty()) return {};
  double sum = 0;
  for (float g : values) sum += g;
  s.avgTemp = static_cast<float>(sum / double(values.size()));
  double squares = 0;
  for (float g : values) squares += (double(g) - s.avgTemp) * (double(g) - s.avgTemp);
  s.stdDev = static_cast<float>(std::sqrt(squares / double(values.size())));
  s.valid = true;
  return s;
}

struct ShapeMaker {
  const char* name;
  // Made over the hot disc of the scene, whatever the frame size.
  std::function<std::unique_ptr<CObjectROI>(int32_t cx, int32_t cy, int32_t r)> make;
};

const ShapeMaker kShapes[] = {
    {"Spot", [](int32_t cx, int32_t cy, int32_t) { return std::make_unique<CSpotROI>(cx, cy); }},
    {"Rect",
     [](int32_t cx, int32_t cy, int32_t r) {
       return std::make_unique<CRectROI>(BoxGeometry{cx - 2 * r, cy - r, cx + r, cy + 2 * r});
     }},
    {"Ellipse",
     [](int32_t cx, int32_t cy, int32_t r) {
       return std::make_unique<CCircleROI>(BoxGeometry{cx - 3 * r, cy - 2 * r, cx + r, cy + r});
     }},
    {"Polygon",
     [](int32_t cx, int32_t cy, int32_t r) {
       return std::make_unique<CPolygonROI>(std::vector<PixelPoint>{{cx - 3 * r, cy - 2 * r},
                                                                    {cx + 2 * r, cy - r},
                                                                    {cx, cy},
                                                                    {cx + r, cy + 3 * r},
                                                                    {cx - 2 * r, cy + r}});
     }},
    {"Line",
     [](int32_t cx, int32_t cy, int32_t r) {
       return std::make_unique<CLineROI>(PixelPoint{cx - 3 * r, cy - r},
                                         PixelPoint{cx + 2 * r, cy + r});
     }},
};

struct StatsCase {
  CameraKind camera;
  ShapeMaker shape;
};
void PrintTo(const StatsCase& c, std::ostream* os) { *os << c.camera.name << '_' << c.shape.name; }

std::vector<StatsCase> statsCases() {
  std::vector<StatsCase> cases;
  for (const auto& camera : testing::cameraKinds())
    for (const auto& shape : kShapes) cases.push_back({camera, shape});
  return cases;
}

class ObjectStatistics : public ::testing::TestWithParam<StatsCase> {
 protected:
  void SetUp() override {
    frames_ = std::make_unique<CameraFrames>(GetParam().camera);
    const auto hot = frames_->scene().hotCentre(0);
    object_ = GetParam().shape.make(hot.x, hot.y, frames_->scene().plateauRadius());
    ASSERT_FALSE(object_->clampTo(ImageBounds{frames_->width(), frames_->height()}));
  }
  std::unique_ptr<CameraFrames> frames_;
  std::unique_ptr<CObjectROI> object_;
};

TEST_P(ObjectStatistics, MatchTheBruteForceReference) {
  const MeasurementFrame frame = frames_->measurementFrame();
  MeasurementPass pass;
  int64_t count = 0, expectedCount = 0;
  const RoiStatistics got = pass.measure(frame, *object_, &count);
  const RoiStatistics want = reference(frame, *object_, frame.env, &expectedCount);
  ASSERT_TRUE(got.valid);
  ASSERT_TRUE(want.valid);
  EXPECT_EQ(count, expectedCount);
  const RoiKind kind = object_->kind();
  if (kind == RoiKind::Rect) {
    // The library's region statistics: its own limits and rounding, and the sample
    // deviation; the extremes it reports lie where it says.
    EXPECT_NEAR(got.minTemp, want.minTemp, 0.06);
    EXPECT_NEAR(got.maxTemp, want.maxTemp, 0.06);
    EXPECT_NEAR(got.avgTemp, want.avgTemp, 0.06);
    EXPECT_NEAR(got.stdDev, want.stdDev, 0.01 + want.stdDev * 0.01);
    EXPECT_NEAR(pointTemperature(frame, frame.env, got.maxX, got.maxY), got.maxTemp, 0.06);
    EXPECT_NEAR(pointTemperature(frame, frame.env, got.minX, got.minY), got.minTemp, 0.06);
  } else {
    // Spots through the library's point conversion, walked shapes through the per-count
    // table: both the same as converting every pixel alone, to the last bit.
    EXPECT_EQ(got.minTemp, want.minTemp);
    EXPECT_EQ(got.maxTemp, want.maxTemp);
    EXPECT_EQ(got.avgTemp, want.avgTemp);
    EXPECT_EQ(got.stdDev, want.stdDev);
    EXPECT_EQ(got.minX, want.minX);
    EXPECT_EQ(got.minY, want.minY);
    EXPECT_EQ(got.maxX, want.maxX);
    EXPECT_EQ(got.maxY, want.maxY);
  }
}

TEST_P(ObjectStatistics, HottestPixelLiesOnTheHotDisc) {
  MeasurementPass pass;
  const RoiStatistics got = pass.measure(frames_->measurementFrame(), *object_);
  ASSERT_TRUE(got.valid);
  const float hot = frames_->scene().config().hot;
  EXPECT_NEAR(got.maxTemp, hot, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Cameras, ObjectStatistics, ::testing::ValuesIn(statsCases()),
                         [](const auto& info) {
                           return info.param.camera.name + "_" + info.param.shape.name;
                         });

// --- the environment an object is measured with --------------------------------------------

struct EnvCase {
  CameraKind camera;
  const char* name;
  EnvParams local;
  bool localOn;
  EnvParams expectedEffective;  // what the measurement must equal the global run with
};
void PrintTo(const EnvCase& c, std::ostream* os) { *os << c.camera.name << '_' << c.name; }

constexpr EnvParams kAdjusted{0.8f, 25.0f, 0.9f, 0.0f};

std::vector<EnvCase> envCases() {
  std::vector<EnvCase> cases;
  for (const auto& camera : testing::cameraKinds()) {
    cases.push_back({camera, "LocalOnUsesItsOwn", kAdjusted, true, kAdjusted});
    cases.push_back({camera, "LocalOffUsesTheGlobal", kAdjusted, false, kDefaultEnvironment});
    // Equal to the defaults in integer hundredths: the uncorrected temperatures.
    cases.push_back({camera,
                     "NearDefaultCountsAsDefault",
                     {0.9509f, 20.004f, 1.0049f, 7.0f},
                     true,
                     kDefaultEnvironment});
  }
  return cases;
}

class LocalEnvironment : public ::testing::TestWithParam<EnvCase> {};

TEST_P(LocalEnvironment, ObjectIsMeasuredWithTheChosenEnvironment) {
  const EnvCase& c = GetParam();
  CameraFrames frames(c.camera);
  const auto hot = frames.scene().hotCentre(0);
  const int32_t r = frames.scene().plateauRadius();
  for (const auto& shape : kShapes) {
    auto object = shape.make(hot.x, hot.y, r);
    object->setLocalEnvironment(c.local);
    object->setLocalEnvironmentOn(c.localOn);
    auto plain = shape.make(hot.x, hot.y, r);
    MeasurementPass pass;
    const RoiStatistics got = pass.measure(frames.measurementFrame(kDefaultEnvironment), *object);
    const RoiStatistics want = pass.measure(frames.measurementFrame(c.expectedEffective), *plain);
    ASSERT_TRUE(got.valid) << shape.name;
    EXPECT_EQ(got.maxTemp, want.maxTemp) << shape.name;
    EXPECT_EQ(got.avgTemp, want.avgTemp) << shape.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Cameras, LocalEnvironment, ::testing::ValuesIn(envCases()),
                         [](const auto& info) {
                           return info.param.camera.name + "_" + info.param.name;
                         });

TEST(LocalEnvironment, AdjustedParametersChangeTheTemperatures) {
  CameraFrames frames(testing::cameraKinds()[4]);
  const auto hot = frames.scene().hotCentre(0);
  CCircleROI circle(BoxGeometry{hot.x - 10, hot.y - 10, hot.x + 10, hot.y + 10});
  MeasurementPass pass;
  const float plain = pass.measure(frames.measurementFrame(), circle).maxTemp;
  circle.setLocalEnvironment(kAdjusted);
  circle.setLocalEnvironmentOn(true);
  const float adjusted = pass.measure(frames.measurementFrame(), circle).maxTemp;
  // Lower emissivity and transmission: the object is hotter than it looks.
  EXPECT_GT(adjusted, plain + 5.0f);
}

struct ChangedCase {
  const char* name;
  EnvParams env;
  bool changed;
};
void PrintTo(const ChangedCase& c, std::ostream* os) { *os << c.name; }
class EnvironmentChanged : public ::testing::TestWithParam<ChangedCase> {};
TEST_P(EnvironmentChanged, ComparesIntegerHundredths) {
  EXPECT_EQ(environmentChanged(GetParam().env), GetParam().changed);
}
INSTANTIATE_TEST_SUITE_P(
    Rule, EnvironmentChanged,
    ::testing::Values(
        ChangedCase{"Defaults", {0.95f, 20.0f, 1.0f, 0}, false},
        ChangedCase{"FourthValueIgnored", {0.95f, 20.0f, 1.0f, 99}, false},
        ChangedCase{"EmissivityBelow", {0.94f, 20.0f, 1.0f, 0}, true},
        ChangedCase{"AtmosphereTenthAbove", {0.95f, 20.1f, 1.0f, 0}, true},
        ChangedCase{"TransmissionBelow", {0.95f, 20.0f, 0.99f, 0}, true},
        ChangedCase{"NotANumber", {std::numeric_limits<float>::quiet_NaN(), 20.0f, 1.0f, 0}, true},
        ChangedCase{"Huge", {1e30f, 20.0f, 1.0f, 0}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the pass over the list ----------------------------------------------------------------

TEST(MeasurementPass, PublishesOneResultPerObjectInListOrderAndStoresTheStatistics) {
  CameraFrames frames(testing::cameraKinds()[4]);
  CManagerROI manager;
  const auto hot = frames.scene().hotCentre(0);
  for (const auto& shape : kShapes) {
    auto object = manager.makeObject(shape.make(0, 0, 1)->kind());
    ASSERT_TRUE(manager.add(std::move(object)));
  }
  manager.withObjects([&](std::vector<std::unique_ptr<CObjectROI>>& objects) {
    static_cast<CSpotROI&>(*objects[0]).setPosition(hot.x, hot.y);
    // A new polygon has no vertices yet, and nothing to measure.
    static_cast<CPolygonROI&>(*objects[3]).setVertices({{10, 10}, {40, 12}, {20, 30}});
  });
  MeasurementPass pass;
  MeasurementFrame frame = frames.measurementFrame();
  frame.frameNumber = 42;
  const auto result = pass.run(frame, manager, TempUnit::Celsius);
  ASSERT_EQ(result->objects.size(), 5u);
  EXPECT_EQ(pass.latest(), result);
  EXPECT_EQ(result->frameNumber, 42u);
  manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    for (size_t i = 0; i < objects.size(); ++i) {
      EXPECT_EQ(result->objects[i].id, objects[i]->id());
      EXPECT_TRUE(objects[i]->statistics().valid);
      EXPECT_EQ(objects[i]->statistics().maxTemp, result->objects[i].stats.maxTemp);
    }
  });
  EXPECT_TRUE(result->objects[0].label.startsWith("Spot 1 ["));
}

TEST(MeasurementPass, ConvertsEachCountOnlyOnceWhileTheConversionStaysTheSame) {
  CameraFrames frames(testing::cameraKinds()[3]);
  CManagerROI manager;
  for (int i = 0; i < 3; ++i) {
    auto circle = std::make_unique<CCircleROI>(BoxGeometry{10 * i, 10, 10 * i + 30, 50});
    manager.add(std::move(circle));
  }
  CountTemperatures table;
  const MeasurementFrame frame = frames.measurementFrame(kAdjusted);
  const float* first = table.lookup(frame, kAdjusted);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(table.lookup(frame, kAdjusted), first);
  EXPECT_EQ(table.builds(), 1u);
  table.lookup(frame, kDefaultEnvironment);
  EXPECT_EQ(table.builds(), 2u);
}

struct BadFrameCase {
  const char* name;
  std::function<void(MeasurementFrame&, IRFrame&)> spoil;
};
void PrintTo(const BadFrameCase& c, std::ostream* os) { *os << c.name; }
class UnreadableFrame : public ::testing::TestWithParam<BadFrameCase> {};

TEST_P(UnreadableFrame, LeavesEveryObjectUnmeasured) {
  CameraFrames frames(testing::cameraKinds()[4]);
  MeasurementFrame frame = frames.measurementFrame();
  IRFrame copy = frames.frame();
  frame.frame = &copy;
  GetParam().spoil(frame, copy);
  MeasurementPass pass;
  for (const auto& shape : kShapes) {
    const auto object = shape.make(20, 20, 5);
    EXPECT_FALSE(pass.measure(frame, *object).valid) << shape.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, UnreadableFrame,
    ::testing::Values(BadFrameCase{"NoPixels",
                                   [](MeasurementFrame&, IRFrame& f) { f.pixels = nullptr; }},
                      BadFrameCase{"PixelBufferTooSmall",
                                   [](MeasurementFrame&, IRFrame& f) { f.pixelCapacity = 100; }},
                      BadFrameCase{"NoCalibrationSlot",
                                   [](MeasurementFrame&, IRFrame& f) { f.ksCalib = nullptr; }},
                      BadFrameCase{"NoSmoothedImage",
                                   [](MeasurementFrame&, IRFrame& f) { f.ksSmoothed = nullptr; }},
                      BadFrameCase{"ZeroSize", [](MeasurementFrame& m, IRFrame&) { m.width = 0; }},
                      BadFrameCase{"KtFrameWithoutTable",
                                   [](MeasurementFrame& m, IRFrame& f) {
                                     f.header.bytes[4] = 20;
                                     f.header.bytes[5] = 1;
                                     m.table = nullptr;
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MeasurementPass, ObjectsReachingPastASmallerFrameAreCutToIt) {
  CameraFrames frames(testing::cameraKinds()[3]);  // 384 x 288
  CRectROI rect(BoxGeometry{300, 200, 600, 450});  // drawn on a 640 x 480 camera
  MeasurementPass pass;
  int64_t count = 0;
  const RoiStatistics s = pass.measure(frames.measurementFrame(), rect, &count);
  EXPECT_TRUE(s.valid);
  EXPECT_EQ(count, int64_t{84} * 88);
}

}  // namespace
}  // namespace solvane
