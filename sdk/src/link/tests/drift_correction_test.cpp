#include <gtest/gtest.h>
#include "testing/case_name.h"

#include <cstdint>
#include <ostream>
#include <vector>

#include "link/drift_correction.h"
#include "records/byte_order.h"

namespace {

struct DriftCase {
  int32_t shift;
  uint16_t count, corrected;
};

void PrintTo(const DriftCase& c, std::ostream* os) {
  *os << "shift " << c.shift << " count " << c.count;
}

class DriftCorrection : public ::testing::TestWithParam<DriftCase> {};

// The calibration of the example range: counts 2000 .. 14000.
constexpr irdex::ks::RangeLimits kLimits{2000, 14000, 140.0f / 12000.0f};

TEST_P(DriftCorrection, ShiftsEveryPixelAndStaysInTheCalibration) {
  const int width = 3, height = 2;
  std::vector<uint8_t> frame((width * height + width) * 2, 0);
  for (int i = 0; i < width * height; ++i) irdex::writeLe16(frame.data() + 2 * i, GetParam().count);
  irdex::link::applyDriftCorrection(frame.data(), width, height, GetParam().shift, kLimits);
  for (int i = 0; i < width * height; ++i) {
    EXPECT_EQ(irdex::readLe16(frame.data() + 2 * i), GetParam().corrected) << "pixel " << i;
  }
  // The extra row without a trailer mark is left alone.
  for (int i = width * height * 2; i < static_cast<int>(frame.size()); ++i) EXPECT_EQ(frame[i], 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DriftCorrection,
                         ::testing::Values(DriftCase{85, 8000, 8085}, DriftCase{85, 13990, 14000},
                                           // wraps past 65535 before the limits
                                           DriftCase{85, 65535, 2000}, DriftCase{-85, 8000, 7915},
                                           DriftCase{-85, 2010, 2000}, DriftCase{-85, 10, 14000},
                                           DriftCase{0, 1500, 2000}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Shift", p.shift, "Count", p.count);
                         });

}  // namespace
