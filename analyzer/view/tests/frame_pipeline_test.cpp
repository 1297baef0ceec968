// The frame pipeline on KS frames of the simulated scene, without a camera link.
#include "view/frame_pipeline.h"

#include "camera.h"
#include "conversion.h"
#include "scene.h"

#include <gtest/gtest.h>

#include <cstring>

namespace solvane {
namespace {

class KsFrames {
 public:
  KsFrames() {
    irsim::parseModel("va320", config_, nullptr);
    header_ = std::make_unique<irsim::CameraHeader>(config_);
    tables_ = irsim::FirstGenerationTables::builtIn();
    mapper_ = std::make_unique<irsim::RawMapper>(*header_, tables_);
    irsim::SceneConfig scene;
    scene.motionPeriod = 48;  // the blobs move visibly from frame to frame
    scene_ = std::make_unique<irsim::Scene>(scene, 384, 288);
    std::memcpy(frame.header.bytes, header_->bytes().data(), sizeof frame.header.bytes);
    frame.pixels = pixels_.data();
    frame.pixelCapacity = static_cast<uint32_t>(pixels_.size());
    CreateIRCamDataKS(&frame);
    camera.width = 384;
    camera.height = 288;
    camera.cameraType = 2;
    camera.modelIndex = 3;
    camera.ks = true;
    camera.headerVersion = config_.version;
  }
  ~KsFrames() { CloseIRCamDataKS(&frame); }

  void render(uint64_t tick) {
    scene_->render(tick, *mapper_, std::span<uint16_t>(pixels_.data(), 384 * 288));
    LoadIRCamDataKS(&frame, pixels_.data(), static_cast<int32_t>(pixels_.size()));
  }
  const irsim::Scene& scene() const { return *scene_; }

  IRFrame frame{};
  CameraState camera;

 private:
  irsim::CameraConfig config_;
  std::unique_ptr<irsim::CameraHeader> header_;
  irsim::FirstGenerationTables tables_ = irsim::FirstGenerationTables::builtIn();
  std::unique_ptr<irsim::RawMapper> mapper_;
  std::unique_ptr<irsim::Scene> scene_;
  std::vector<uint16_t> pixels_ = std::vector<uint16_t>(384 * 289, 0);
};

TEST(FramePipeline, HotAndColdPointsAreRefreshedEveryTwelfthFrame) {
  KsFrames frames;
  FramePipeline pipeline;
  PipelineInput input;
  float level = 30, span = 20;
  std::vector<HotCold> seen;
  for (uint64_t tick = 0; tick < 25; ++tick) {
    frames.render(tick);
    ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
    ASSERT_TRUE(pipeline.latest()->hotCold.has_value());
    seen.push_back(*pipeline.latest()->hotCold);
  }
  auto same = [](const HotCold& a, const HotCold& b) {
    return a.hotX == b.hotX && a.hotY == b.hotY && a.coldX == b.coldX && a.coldY == b.coldY;
  };
  for (size_t i = 1; i < 12; ++i) EXPECT_TRUE(same(seen[i], seen[0])) << i;
  EXPECT_FALSE(same(seen[12], seen[0]));
  for (size_t i = 13; i < 24; ++i) EXPECT_TRUE(same(seen[i], seen[12])) << i;
  EXPECT_FALSE(same(seen[24], seen[12]));
  // The refreshed point lies on the hot disc of that frame.
  const irsim::PixelPoint hot = frames.scene().hotCentre(12);
  EXPECT_NEAR(seen[12].hotX, hot.x, frames.scene().plateauRadius());
  EXPECT_NEAR(seen[12].hotY, hot.y, frames.scene().plateauRadius());
  // A new connection starts the count again: its first frame refreshes at once.
  pipeline.restart();
  frames.render(30);
  ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  EXPECT_FALSE(same(*pipeline.latest()->hotCold, seen[24]));
}

TEST(FramePipeline, MouseTemperatureAndPictureOfEachFrame) {
  KsFrames frames;
  FramePipeline pipeline;
  PipelineInput input;
  const irsim::PixelPoint cold = frames.scene().coldCentre(0);
  input.mouseX = cold.x;
  input.mouseY = cold.y;
  float level = 30, span = 20;
  frames.render(0);
  ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  const ComposedFrame frame = *pipeline.latest();
  ASSERT_TRUE(frame.mouseTemp.has_value());
  EXPECT_NEAR(*frame.mouseTemp, frames.scene().config().cold, 1.5);
  ASSERT_EQ(frame.picture.size(), 384u * 288u);
  for (uint32_t pixel : frame.picture) ASSERT_EQ(pixel >> 24, 0xFFu);
  // Outside the image there is no mouse temperature.
  input.mouseX = 384;
  ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  EXPECT_FALSE(pipeline.latest()->mouseTemp.has_value());
  EXPECT_FALSE(pipeline.temperatureAt(384, 0).has_value());
  EXPECT_FALSE(pipeline.intensityAt(0, -1).has_value());
}

TEST(FramePipeline, AnUnknownPaletteKeepsTheOldOne) {
  FramePipeline pipeline;
  EXPECT_TRUE(pipeline.setPalette(8, false));
  EXPECT_FALSE(pipeline.setPalette(500, false));
}

TEST(FramePipeline, FiltersChangeTheDisplayImage) {
  KsFrames frames;
  PipelineInput input;
  frames.render(0);
  auto greyWith = [&](const FilterState& filters) {
    FramePipeline pipeline;
    pipeline.setFilters(filters);
    float level = 30, span = 20;
    EXPECT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
    return pipeline.latest()->grey;
  };
  const auto plain = greyWith({});
  FilterState sharpen;
  sharpen.kernel = 5;
  EXPECT_NE(greyWith(sharpen), plain);
  FilterState stack;
  stack.blur = Blur::Stack;
  stack.stackRadius = 4;
  const auto stacked = greyWith(stack);
  EXPECT_NE(stacked, plain);
  FilterState bilateral = stack;
  bilateral.blur = Blur::Bilateral;
  EXPECT_NE(greyWith(bilateral), stacked);
}

TEST(FramePipeline, LaterStagesRunAfterTheColourOnTheComposedFrame) {
  KsFrames frames;
  FramePipeline pipeline;
  std::vector<StageSlot> ran;
  size_t colouredPixels = 0;
  ASSERT_TRUE(pipeline.attach(StageSlot::Record, [&](FrameContext&) {
    ran.push_back(StageSlot::Record);
    return true;
  }));
  ASSERT_TRUE(pipeline.attach(StageSlot::Measure, [&](FrameContext& c) {
    ran.push_back(StageSlot::Measure);
    colouredPixels = c.out.picture.size();
    return true;
  }));
  EXPECT_FALSE(pipeline.attach(StageSlot::Colour, [](FrameContext&) { return true; }));
  PipelineInput input;
  float level = 30, span = 20;
  frames.render(0);
  ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  EXPECT_EQ(ran, (std::vector<StageSlot>{StageSlot::Measure, StageSlot::Record}));
  EXPECT_EQ(colouredPixels, 384u * 288u);
}

TEST(FramePipeline, AStageThatRefusesTheFrameKeepsThePreviousOnePublished) {
  KsFrames frames;
  FramePipeline pipeline;
  PipelineInput input;
  float level = 30, span = 20;
  frames.render(0);
  ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  const auto first = pipeline.latest();
  pipeline.attach(StageSlot::Alarm, [](FrameContext&) { return false; });
  frames.render(1);
  EXPECT_FALSE(pipeline.process(frames.frame, frames.camera, input, level, span));
  EXPECT_EQ(pipeline.latest(), first);
}

TEST(FramePipeline, TheStillFrameTakesANewPaletteAtOnce) {
  KsFrames frames;
  FramePipeline pipeline;
  EXPECT_FALSE(pipeline.reprocessStill());  // nothing to show yet
  PipelineInput input;
  float level = 30, span = 20;
  frames.render(0);
  ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  const auto grey = pipeline.latest();
  ASSERT_TRUE(pipeline.setPalette(8, false));  // Iron
  ASSERT_TRUE(pipeline.reprocessStill());
  const auto iron = pipeline.latest();
  EXPECT_EQ(iron->frameNumber, grey->frameNumber + 1);
  EXPECT_EQ(iron->grey, grey->grey);        // the same frame...
  EXPECT_NE(iron->picture, grey->picture);  // ...in the new colours
  // The frame held by a reader is never written again.
  const std::vector<uint32_t> before = grey->picture;
  frames.render(5);
  ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  EXPECT_EQ(grey->picture, before);
}

TEST(FramePipeline, AnnouncesEveryFrameAndOnlyChangedLevelAndSpan) {
  KsFrames frames;
  FramePipeline pipeline;
  std::vector<PipelineEvent> events;
  pipeline.setEventSink([&](PipelineEvent event) { events.push_back(std::move(event)); });
  PipelineInput input;
  input.agc.manual = 1;  // the level and span stay as given
  float level = 30, span = 20;
  for (uint64_t tick = 0; tick < 3; ++tick) {
    frames.render(tick);
    ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  }
  ASSERT_EQ(events.size(), 4u);
  ASSERT_TRUE(std::holds_alternative<LevelSpanChanged>(events[0]));
  EXPECT_EQ(std::get<LevelSpanChanged>(events[0]).level, level);
  EXPECT_EQ(std::get<LevelSpanChanged>(events[0]).span, span);
  for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(std::holds_alternative<FrameComposed>(events[i]));
  EXPECT_EQ(std::get<FrameComposed>(events[3]).frame, pipeline.latest());
}

struct OutputCase {
  const char* name;
  int32_t outputMethod;
};

class OutputMethod : public testing::TestWithParam<OutputCase> {};

// The picture of a fixed frame is the library's own rendering with the chosen method.
TEST_P(OutputMethod, RendersTheFrameAsTheLibraryDoes) {
  KsFrames frames;
  frames.render(0);
  PipelineInput input;
  input.agc.inputMethod = 2;
  input.agc.sdRate = 5.0f;
  input.agc.brightnessRate = 0.01f;
  input.agc.gamma = 0.5f;
  input.agc.plateau = 40;
  input.agc.epsilon = 0.5f;
  input.agc.psi = 0.3f;
  input.agc.outputMethod = GetParam().outputMethod;
  FramePipeline pipeline;
  float level = 30, span = 20;
  ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
  std::vector<uint8_t> expected(384 * 288);
  AgcParams agc = input.agc;
  float expectedLevel = 30, expectedSpan = 20;
  ASSERT_EQ(GetCorrectedImageKS(expected.data(), &frames.frame, 384 * 288, input.env,
                                &expectedLevel, &expectedSpan, &agc),
            SDK_SUCCESS);
  EXPECT_EQ(pipeline.latest()->grey, expected);
  if (GetParam().outputMethod != 0) {
    input.agc.outputMethod = 0;
    ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
    EXPECT_NE(pipeline.latest()->grey, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(FramePipeline, OutputMethod,
                         testing::Values(OutputCase{"Linear", 0}, OutputCase{"NonLinear", 1},
                                         OutputCase{"TPE", 2}, OutputCase{"APE", 3},
                                         OutputCase{"SAPE", 4}),
                         [](const testing::TestParamInfo<OutputCase>& info) {
                           return std::string(info.param.name);
                         });

class AdaptivePlateau : public testing::TestWithParam<OutputCase> {};

// Frame after frame the plateau of the last frame is blended in, as a caller keeping one
// record across frames gets it.
TEST_P(AdaptivePlateau, IsCarriedFromFrameToFrame) {
  KsFrames frames;
  PipelineInput input;
  input.agc.inputMethod = 2;
  input.agc.sdRate = 5.0f;
  input.agc.epsilon = 0.5f;
  input.agc.psi = 0.3f;
  input.agc.outputMethod = GetParam().outputMethod;
  FramePipeline pipeline;
  AgcParams record = input.agc;
  float level = 30, span = 20, ownLevel = 30, ownSpan = 20;
  std::vector<uint8_t> expected(384 * 288);
  for (uint64_t tick = 0; tick < 4; ++tick) {
    frames.render(tick * 12);
    ASSERT_TRUE(pipeline.process(frames.frame, frames.camera, input, level, span));
    ASSERT_EQ(GetCorrectedImageKS(expected.data(), &frames.frame, 384 * 288, input.env, &ownLevel,
                                  &ownSpan, &record),
              SDK_SUCCESS);
    EXPECT_EQ(pipeline.latest()->grey, expected) << "frame " << tick;
  }
  EXPECT_NE(record.prevPlateau, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(FramePipeline, AdaptivePlateau,
                         testing::Values(OutputCase{"APE", 3}, OutputCase{"SAPE", 4}),
                         [](const testing::TestParamInfo<OutputCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace solvane
