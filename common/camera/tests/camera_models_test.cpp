// Families by header version and the controller's frame geometry.
#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "camera/camera_models.h"

namespace {

struct GeometryCase {
  const char* name;
  uint8_t version, model, sizeCode;
  bool known;
  camera::FrameGeometry geometry;
};

void PrintTo(const GeometryCase& c, std::ostream* os) { *os << c.name; }

class ControllerGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(ControllerGeometry, FollowsVersionModelAndSizeCode) {
  const GeometryCase& c = GetParam();
  const auto geometry = camera::controllerFrameGeometry(c.version, c.model, c.sizeCode);
  ASSERT_EQ(geometry.has_value(), c.known);
  if (!c.known) return;
  EXPECT_EQ(geometry->width, c.geometry.width);
  EXPECT_EQ(geometry->height, c.geometry.height);
  EXPECT_EQ(geometry->rawValues, c.geometry.rawValues);
  EXPECT_EQ(geometry->generationCode, c.geometry.generationCode);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControllerGeometry,
    ::testing::Values(GeometryCase{"va320", 32, 0x20, 0, true, {384, 288, 110976, 2}},
                      GeometryCase{"vi640", 33, 0x21, 0, true, {640, 480, 307840, 3}},
                      GeometryCase{"ks_unknown_model", 33, 0x22, 0, false, {}},
                      GeometryCase{"kt_version_17", 17, 1, 0, true, {640, 480, 307840, 1}},
                      GeometryCase{"kt_version_31", 31, 1, 5, true, {640, 480, 307840, 1}},
                      GeometryCase{"first_generation_384", 16, 0, 1, true, {384, 288, 110592, 0}},
                      GeometryCase{"first_generation_320", 10, 0, 0, true, {320, 240, 76800, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FamilyCase {
  uint8_t version;
  camera::Family family;
};

void PrintTo(const FamilyCase& c, std::ostream* os) {
  *os << "version " << static_cast<int>(c.version);
}

class FamilyByVersion : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(FamilyByVersion, SplitsAt17And32) {
  EXPECT_EQ(camera::familyOf(GetParam().version), GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FamilyByVersion,
    ::testing::Values(FamilyCase{0, camera::Family::FirstGeneration},
                      FamilyCase{16, camera::Family::FirstGeneration},
                      FamilyCase{17, camera::Family::KT}, FamilyCase{31, camera::Family::KT},
                      FamilyCase{32, camera::Family::KS}, FamilyCase{255, camera::Family::KS}),
    [](const auto& info) { return "version_" + std::to_string(info.param.version); });

}  // namespace
