#include "graphs/redraw_throttle.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace solvane::graphs {
namespace {

using std::chrono::milliseconds;

struct ThrottleCase {
  std::string name;
  int32_t points;        // points arriving one after another
  milliseconds spacing;  // between two points
  int32_t redraws;       // redraws taken when each point asks for one
};
void PrintTo(const ThrottleCase& c, std::ostream* os) { *os << c.name; }

class Throttle : public ::testing::TestWithParam<ThrottleCase> {};

TEST_P(Throttle, RedrawsAtMostFourTimesASecond) {
  const auto& c = GetParam();
  RedrawThrottle throttle;
  const RedrawThrottle::Clock::time_point start{};
  int32_t redraws = 0;
  for (int32_t i = 0; i < c.points; ++i) {
    throttle.markDirty();
    if (throttle.takeDue(start + c.spacing * i)) ++redraws;
  }
  EXPECT_EQ(redraws, c.redraws);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, Throttle,
    ::testing::Values(ThrottleCase{"thousand_a_second_for_a_second", 1000, milliseconds(1), 4},
                      ThrottleCase{"thirty_a_second_for_ten_seconds", 300, milliseconds(33), 38},
                      ThrottleCase{"one_a_second", 5, milliseconds(1000), 5},
                      ThrottleCase{"single_point", 1, milliseconds(0), 1}),
    [](const auto& info) { return info.param.name; });

TEST(Throttle, NothingNewNothingToRedraw) {
  RedrawThrottle throttle;
  EXPECT_FALSE(throttle.takeDue(RedrawThrottle::Clock::time_point{} + milliseconds(5000)));
}

TEST(Throttle, ALatePointIsRedrawnOnceTheIntervalIsOver) {
  RedrawThrottle throttle;
  const RedrawThrottle::Clock::time_point start{};
  throttle.markDirty();
  ASSERT_TRUE(throttle.takeDue(start));
  throttle.markDirty();
  EXPECT_FALSE(throttle.takeDue(start + milliseconds(100)));
  EXPECT_TRUE(throttle.dirty());
  EXPECT_TRUE(throttle.takeDue(start + milliseconds(250)));
}

}  // namespace
}  // namespace solvane::graphs
