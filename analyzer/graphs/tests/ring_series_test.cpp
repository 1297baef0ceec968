#include "graphs/ring_series.h"
#include "graphs/trend_plot.h"

#include <gtest/gtest.h>
#include <malloc.h>

namespace solvane::graphs {
namespace {

TEST(RingSeries, KeepsTheNewestPointsOldestFirst) {
  RingSeries series(3);
  for (int i = 0; i < 5; ++i) series.push({double(i), double(10 * i)});
  ASSERT_EQ(series.size(), 3u);
  EXPECT_EQ(series.at(0).seconds, 2.0);
  EXPECT_EQ(series.at(2).seconds, 4.0);
  EXPECT_EQ(series.newest().value, 40.0);
}

TEST(RingSeries, ExtentCoversOnlyWhatIsKept) {
  RingSeries series(2);
  series.push({0, -100});
  series.push({1, 5});
  series.push({2, 7});
  const auto extent = series.valueExtent();
  ASSERT_TRUE(extent);
  EXPECT_EQ(extent->low, 5.0);
  EXPECT_EQ(extent->high, 7.0);
}

TEST(RingSeries, ClearedSeriesStartsAgain) {
  RingSeries series(2);
  series.push({0, 1});
  series.clear();
  EXPECT_TRUE(series.empty());
  EXPECT_FALSE(series.valueExtent());
  series.push({5, 2});
  EXPECT_EQ(series.at(0).seconds, 5.0);
}

size_t heapInUse() { return mallinfo2().uordblks; }

// A day of live data at 30 measurement passes a second, three objects and the hot/cold plot:
// the heap in use after the day is what it was after the first minute.
TEST(TrendPlotMemory, StaysFlatOverADayOfLiveData) {
  TrendPlot time(TrendMode::TimePlot, 1024);
  TrendPlot hotCold(TrendMode::HotCold, 1024);
  for (int32_t id = 1; id <= 3; ++id) time.addObject(id, "Sp" + std::to_string(id), 0xFF00FF);
  std::vector<ObjectSample> samples(3);
  auto feed = [&](int64_t from, int64_t to) {
    for (int64_t pass = from; pass < to; ++pass) {
      const double seconds = pass / 30.0;
      for (int32_t k = 0; k < 3; ++k)
        samples[k] = ObjectSample{k + 1, 2, 0, 0, float(pass % 97), 0};
      time.appendObjects(seconds, samples, controls::Unit::Celsius);
      hotCold.appendHotCold(seconds, 40.0f, 10.0f, controls::Unit::Celsius);
    }
  };
  constexpr int64_t kMinute = 30 * 60;
  constexpr int64_t kDay = 30 * 60 * 60 * 24;
  feed(0, kMinute);
  const size_t afterMinute = heapInUse();
  feed(kMinute, kDay);
  EXPECT_LE(heapInUse(), afterMinute + 4096);
  EXPECT_EQ(time.series()[0].points.size(), 1024u);
  EXPECT_EQ(time.series()[0].points.capacity(), 1024u);
  EXPECT_DOUBLE_EQ(hotCold.series()[0].points.newest().seconds, (kDay - 1) / 30.0);
}

}  // namespace
}  // namespace solvane::graphs
