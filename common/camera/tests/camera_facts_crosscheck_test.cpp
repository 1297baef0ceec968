// The shared camera facts against the simulator's own copy and the SDK's frame sizing: three
// independent writings of the same facts that must agree.
#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "camera.h"
#include "camera/camera_models.h"
#include "link/frame_size.h"

namespace {

struct ModelCase {
  const char* simulatorName;
  camera::CameraModel model;
};

void PrintTo(const ModelCase& c, std::ostream* os) { *os << c.simulatorName; }

class ModelFacts : public ::testing::TestWithParam<ModelCase> {};

uint8_t defaultVersionOf(const camera::CameraModel& model) {
  switch (model.modelCode) {
    case camera::kModelFirstGeneration: return 16;
    case camera::kModelKT: return 20;
    default: return 33;
  }
}

TEST_P(ModelFacts, SimulatorPlaysTheSameSensor) {
  irsim::CameraConfig config;
  ASSERT_TRUE(irsim::parseModel(GetParam().simulatorName, config, nullptr));
  const irsim::CameraHeader header(config);
  const camera::CameraModel& model = GetParam().model;
  EXPECT_EQ(config.model, model.modelCode);
  EXPECT_EQ(config.sizeCode, model.sizeCode);
  EXPECT_EQ(header.width(), model.width);
  EXPECT_EQ(header.height(), model.height);
  EXPECT_EQ(camera::familyOf(config.version), camera::familyOf(defaultVersionOf(model)));
}

TEST_P(ModelFacts, SdkSizesFramesByTheSameSensor) {
  const camera::CameraModel& model = GetParam().model;
  const auto pixels =
      irdex::link::framePixels(defaultVersionOf(model), model.modelCode, model.sizeCode);
  ASSERT_TRUE(pixels.has_value());
  // KT frames carry the same 481 rows the controller sizes for, without an image use of them.
  const int rows =
      model.extraRow || model.modelCode == camera::kModelKT ? model.height + 1 : model.height;
  EXPECT_EQ(static_cast<int>(*pixels), model.width * rows);
}

TEST_P(ModelFacts, ControllerGeometryMatchesTheSensor) {
  const camera::CameraModel& model = GetParam().model;
  const auto geometry =
      camera::controllerFrameGeometry(defaultVersionOf(model), model.modelCode, model.sizeCode);
  ASSERT_TRUE(geometry.has_value());
  EXPECT_EQ(geometry->width, model.width);
  EXPECT_EQ(geometry->height, model.height);
}

INSTANTIATE_TEST_SUITE_P(Models, ModelFacts,
                         ::testing::Values(ModelCase{"gen1-320", camera::kModels[0]},
                                           ModelCase{"gen1-384", camera::kModels[1]},
                                           ModelCase{"kt640", camera::kModels[2]},
                                           ModelCase{"va320", camera::kModels[3]},
                                           ModelCase{"vi640", camera::kModels[4]}),
                         [](const auto& info) { return std::string(info.param.model.name); });

TEST(ModelFacts, SdkAndSimulatorAgreeOnTheKsModelCodes) {
  EXPECT_EQ(irsim::kModelVA320, camera::kModelVA320);
  EXPECT_EQ(irsim::kModelVI640, camera::kModelVI640);
  EXPECT_EQ(irdex::link::kModelKs384, camera::kModelVA320);
  EXPECT_EQ(irdex::link::kModelKs640, camera::kModelVI640);
  EXPECT_EQ(irdex::link::kFirstKsVersion, camera::kFirstKsVersion);
  EXPECT_EQ(irdex::link::kFirstKtVersion, camera::kFirstKtVersion);
}

}  // namespace
