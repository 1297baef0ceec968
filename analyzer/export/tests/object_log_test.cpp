// The object log: its header and data lines, the selection limits, the file and its rhythm.
#include "export/object_log.h"
#include "export_test_support.h"

#include <irdex.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>

namespace solvane::exports {
namespace {

using testing::lines;
using testing::readText;
using testing::sampleTime;
using testing::ScratchFolder;

ObjectStatistics spotResult(int32_t id, float temperature) {
  ObjectStatistics r;
  r.id = id;
  r.kind = ObjectKind::Spot;
  r.temperature = temperature;
  return r;
}

ObjectStatistics areaResult(int32_t id, float minimum, float maximum, float average,
                            float deviation) {
  ObjectStatistics r;
  r.id = id;
  r.kind = ObjectKind::Area;
  r.minimum = minimum;
  r.maximum = maximum;
  r.average = average;
  r.deviation = deviation;
  return r;
}

ObjectSelection twoSpotsAndARectangle() {
  ObjectSelection selection;
  selection.add(1, "Spot 1", ObjectKind::Spot);
  selection.add(3, "Rect 1", ObjectKind::Area);
  selection.add(2, "Spot 2", ObjectKind::Spot);
  return selection;
}

TEST(ObjectLogHeader, NamesSpotsThenAreasWithTheirFourColumns) {
  EXPECT_EQ(objectLogHeader(twoSpotsAndARectangle()),
            "Time,Spot 1,Spot 2,Rect 1[Min],Rect 1[Max],Rect 1[Aver],Rect 1[Std],\n");
}

TEST(ObjectLogLine, HoldsTheTimeThenEachObjectsValues) {
  const ObjectStatistics results[] = {
      areaResult(3, 20.125f, 41.0f, 30.333f, 2.5f),
      spotResult(1, 36.6f),
      spotResult(2, -4.0f),
  };
  EXPECT_EQ(objectLogLine(twoSpotsAndARectangle(), results, sampleTime(), 7),
            "03/07/2026 08:09:10:007,36.60,-4.00,20.12,41.00,30.33,2.50\n");
}

TEST(ObjectLogLine, EndsASpotOnlyLineWithItsValue) {
  ObjectSelection selection;
  selection.add(1, "Spot 1", ObjectKind::Spot);
  const ObjectStatistics results[] = {spotResult(1, 1.5f)};
  EXPECT_EQ(objectLogLine(selection, results, sampleTime(), 999), "03/07/2026 08:09:10:999,1.50\n");
}

TEST(ObjectLogLine, CarriesTheLibrarysStatistics) {
  std::vector<float> table(65536);
  ASSERT_EQ(GetTempMapTable(table.data(), 0), SDK_SUCCESS);
  std::vector<uint16_t> pixels(64 * 48);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint16_t>(8000 + 5 * i);
  IRFrame frame{};
  frame.pixels = pixels.data();
  frame.pixelCapacity = static_cast<uint32_t>(pixels.size());
  frame.header.bytes[4] = 17;
  const EnvParams env{0.95f, 20.0f, 1.0f, 0.0f};
  const uint32_t size = IrdexImageSize(64, 48);
  RoiTempStats stats{};
  int32_t minPos[2], maxPos[2];
  ASSERT_EQ(
      GetROITemp(&frame, size, table.data(), env, RoiRect{4, 4, 20, 16}, &stats, minPos, maxPos),
      SDK_SUCCESS);
  const float spot = GetPointTemp(&frame, size, table.data(), env, 10, 10);

  ObjectSelection selection;
  selection.add(1, "Spot 1", ObjectKind::Spot);
  selection.add(2, "Rect 1", ObjectKind::Area);
  const ObjectStatistics results[] = {
      spotResult(1, spot),
      areaResult(2, stats.minTemp, stats.maxTemp, stats.avgTemp, stats.stdDev)};
  char expected[256];
  std::snprintf(expected, sizeof expected, "03/07/2026 08:09:10:000,%.2f,%.2f,%.2f,%.2f,%.2f\n",
                static_cast<double>(spot), static_cast<double>(stats.minTemp),
                static_cast<double>(stats.maxTemp), static_cast<double>(stats.avgTemp),
                static_cast<double>(stats.stdDev));
  EXPECT_EQ(objectLogLine(selection, results, sampleTime(), 0), expected);
}

TEST(ObjectLogLine, ObjectWithoutResultsLogsZeros) {
  ObjectSelection selection;
  selection.add(1, "Spot 1", ObjectKind::Spot);
  selection.add(2, "Gone", ObjectKind::Area);
  const ObjectStatistics results[] = {spotResult(1, 5.0f)};
  EXPECT_EQ(objectLogLine(selection, results, sampleTime(), 0),
            "03/07/2026 08:09:10:000,5.00,0.00,0.00,0.00,0.00\n");
}

struct LimitCase {
  std::string name;
  ObjectKind kind;
  ObjectKind otherKind;
};
void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class SelectionLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(SelectionLimit, RefusesTheThirtyFirstOfAKindButNotOfTheOther) {
  ObjectSelection selection;
  for (int id = 0; id < 30; ++id) ASSERT_TRUE(selection.add(id, "o", GetParam().kind));
  EXPECT_FALSE(selection.add(100, "one too many", GetParam().kind));
  EXPECT_TRUE(selection.add(101, "other kind", GetParam().otherKind));
  EXPECT_EQ(selection.count(GetParam().kind), 30u);
}

INSTANTIATE_TEST_SUITE_P(Export, SelectionLimit,
                         ::testing::Values(LimitCase{"Spots", ObjectKind::Spot, ObjectKind::Area},
                                           LimitCase{"Areas", ObjectKind::Area, ObjectKind::Spot}),
                         [](const auto& info) { return info.param.name; });

TEST(ObjectSelection, ChoosesAnObjectOnce) {
  ObjectSelection selection;
  EXPECT_TRUE(selection.add(1, "Spot 1", ObjectKind::Spot));
  EXPECT_FALSE(selection.add(1, "Spot 1", ObjectKind::Area));
  EXPECT_TRUE(selection.remove(1));
  EXPECT_TRUE(selection.empty());
}

struct LogKindCase {
  std::string name;
  ExportKind kind;
  std::string fileName;
};
void PrintTo(const LogKindCase& c, std::ostream* os) { *os << c.name; }

class ObjectLogFile : public ::testing::TestWithParam<LogKindCase> {};

TEST_P(ObjectLogFile, StartsWithTheHeaderUnderItsKindsName) {
  ScratchFolder folder;
  ObjectLog log(GetParam().kind);
  ASSERT_EQ(log.start(folder.path(), "Cam", twoSpotsAndARectangle(), sampleTime()),
            LogOutcome::Started);
  EXPECT_EQ(log.path(), folder.file(GetParam().fileName));
  EXPECT_EQ(readText(log.path()), objectLogHeader(twoSpotsAndARectangle()));
}

INSTANTIATE_TEST_SUITE_P(Export, ObjectLogFile,
                         ::testing::Values(LogKindCase{"User", ExportKind::ObjectLog,
                                                       "Cam_Object_20260307080910.csv"},
                                           LogKindCase{"Alarm", ExportKind::AlarmObjectLog,
                                                       "Cam_AlarmObj_20260307080910.csv"},
                                           LogKindCase{"Schedule", ExportKind::ScheduleObjectLog,
                                                       "Cam_ShedObj_20260307080910.csv"}),
                         [](const auto& info) { return info.param.name; });

TEST(ObjectLog, WithNothingSelectedWritesNothing) {
  ScratchFolder folder;
  ObjectLog log;
  EXPECT_EQ(log.start(folder.path(), "Cam", ObjectSelection{}, sampleTime()),
            LogOutcome::NothingSelected);
  EXPECT_FALSE(log.running());
  EXPECT_EQ(folder.entries(), 0u);
}

TEST(ObjectLog, AppendsEveryObjectFrameth) {
  ScratchFolder folder;
  ObjectLog log;
  ASSERT_EQ(log.start(folder.path(), "Cam", twoSpotsAndARectangle(), sampleTime()),
            LogOutcome::Started);
  std::vector<LogOutcome> outcomes;
  for (int pass = 0; pass < 7; ++pass)
    outcomes.push_back(log.onMeasurementPass({}, 3, sampleTime(), 0));
  const std::vector<LogOutcome> expected = {
      LogOutcome::NotDue, LogOutcome::NotDue,   LogOutcome::Appended, LogOutcome::NotDue,
      LogOutcome::NotDue, LogOutcome::Appended, LogOutcome::NotDue};
  EXPECT_EQ(outcomes, expected);
  EXPECT_EQ(lines(readText(log.path())).size(), 3u);
}

TEST(ObjectLog, UnwritableFolderIsReportedAndNothingRuns) {
  ScratchFolder folder;
  ObjectLog log;
  EXPECT_EQ(log.start(folder.file("missing"), "Cam", twoSpotsAndARectangle(), sampleTime()),
            LogOutcome::CannotCreate);
  EXPECT_FALSE(log.running());
}

TEST(ObjectLog, StopsWhenItsFileGoesAway) {
  ScratchFolder folder;
  const std::string sub = folder.file("logs");
  std::filesystem::create_directory(sub);
  ObjectLog log;
  ASSERT_EQ(log.start(sub, "Cam", twoSpotsAndARectangle(), sampleTime()), LogOutcome::Started);
  std::filesystem::remove_all(sub);
  EXPECT_EQ(log.onMeasurementPass({}, 1, sampleTime(), 0), LogOutcome::WriteFailed);
  EXPECT_FALSE(log.running());
  EXPECT_EQ(log.onMeasurementPass({}, 1, sampleTime(), 0), LogOutcome::NotRunning);
}

}  // namespace
}  // namespace solvane::exports
