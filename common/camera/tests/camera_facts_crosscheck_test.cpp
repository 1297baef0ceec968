// The shared camera facts against the simulator's own copy and the SDK's frame sizing: three
// independent writings of the same facts that must agree.
#include <gtest/gtest.h>

#include <ostream>

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "camera.h"
#include "camera/camera_models.h"
#include "camera/settings_catalogue.h"
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
  EXPECT_EQ(irdex::camera::kFirstKsVersion, camera::kFirstKsVersion);
  EXPECT_EQ(irdex::camera::kFirstKtVersion, camera::kFirstKtVersion);
}

}  // namespace

namespace {

// Every catalogue command, applied by the simulated camera, reads back from the camera's
// header through the catalogue: the catalogue's offsets and packing against the simulator's.
struct CameraCase {
  const char* name;
  const char* model;
  uint8_t version;
};

void PrintTo(const CameraCase& c, std::ostream* os) { *os << c.name; }

class CatalogueOnCamera : public ::testing::TestWithParam<CameraCase> {};

int64_t changedValue(const camera::FieldEntry& field) {
  switch (field.kind) {
    case camera::FieldKind::Range: return field.minimum + 1;
    case camera::FieldKind::Address: return 0x7F000102 + field.offset;
    case camera::FieldKind::Colour: return 0x123456;
    default:
      // A fixed address is what the camera stores; under DHCP it keeps its own.
      if (field.key.ends_with(".dhcp")) return 0;
      return field.choiceValue(field.choices.size() - 1);
  }
}

TEST_P(CatalogueOnCamera, EverySettingAppliesAndReadsBack) {
  irsim::CameraConfig config;
  ASSERT_TRUE(irsim::parseModel(GetParam().model, config, nullptr));
  config.version = GetParam().version;
  irsim::CameraHeader header(config);
  const camera::Family family = camera::familyOf(GetParam().version);
  std::vector<std::pair<std::string_view, int64_t>> sentValues;
  for (const camera::CommandEntry& command : camera::settingCommands()) {
    if (camera::pageFamily(command.page) != family) continue;
    if (command.page ==
        (GetParam().version == 32 ? camera::Page::KsImage33 : camera::Page::KsImage32))
      continue;
    std::vector<int64_t> values;
    for (auto key : command.fields) {
      const camera::FieldEntry& field = *camera::findField(key);
      // The range list depends on the camera's calibration; the page tests cover it.
      values.push_back(field.kind == camera::FieldKind::RangeList ? 1 : changedValue(field));
      sentValues.emplace_back(key, values.back());
    }
    const camera::SettingCommand sent = camera::packCommand(command, values);
    EXPECT_TRUE(
        header
            .apply(camera::toWire(sent.id), sent.value, sent.words[0], sent.words[1], sent.words[2])
            .accepted)
        << command.key;
  }
  // After every command went out, each field the header carries shows what was sent.
  const auto& bytes = header.bytes();
  const std::span<const uint8_t, 512> view(bytes.data(), bytes.size());
  int checked = 0;
  for (const auto& [key, value] : sentValues) {
    const auto read = camera::readField(*camera::findField(key), view);
    if (!read) continue;
    EXPECT_EQ(*read, value) << key;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

TEST_P(CatalogueOnCamera, InitialisingRestoresTheCameraDefaults) {
  irsim::CameraConfig config;
  ASSERT_TRUE(irsim::parseModel(GetParam().model, config, nullptr));
  config.version = GetParam().version;
  irsim::CameraHeader header(config);
  const auto before = header.bytes();
  header.apply(camera::toWire(camera::SettingId::ColourBar), 0, 0, 0, 0);
  ASSERT_NE(header.bytes(), before);
  EXPECT_TRUE(header.apply(camera::toWire(camera::SettingId::Initialise), 0, 0, 0, 0).accepted);
  header.resetToDefaults();  // what the session does on an accepted reset
  EXPECT_EQ(header.bytes(), before);
}

TEST_P(CatalogueOnCamera, SettingsOfTheOtherFamilyAreRefused) {
  irsim::CameraConfig config;
  ASSERT_TRUE(irsim::parseModel(GetParam().model, config, nullptr));
  config.version = GetParam().version;
  irsim::CameraHeader header(config);
  const bool ks = camera::familyOf(GetParam().version) == camera::Family::KS;
  // Mirror is KT only (KS rotates); the display icon KS only.
  const camera::SettingId foreign = ks ? camera::SettingId::Mirror : camera::SettingId::DisplayIcon;
  EXPECT_FALSE(header.apply(camera::toWire(foreign), 1, 0, 0, 0).accepted);
}

INSTANTIATE_TEST_SUITE_P(Cameras, CatalogueOnCamera,
                         ::testing::Values(CameraCase{"kt", "kt640", 20},
                                           CameraCase{"ks_version_32", "va320", 32},
                                           CameraCase{"ks_version_33", "vi640", 33}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
