// The CSV temperature map: its text, the one-file-per-second rule, and its values against
// the library's conversion.
#include "export/temperature_map.h"
#include "export/file_names.h"
#include "export/frame_temperatures.h"
#include "export_test_support.h"

#include <irdex.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace solvane::exports {
namespace {

using testing::lines;
using testing::readText;
using testing::ScratchFolder;

TEST(TemperatureMap, WritesRowsOfValuesSeparatedByCommas) {
  const float values[] = {1.0f, 2.5f, -0.004f, 36.125f, 100.0f, -20.375f};
  EXPECT_EQ(formatTemperatureMap(values, 3, 2), "1.00,2.50,-0.00\n36.12,100.00,-20.38\n");
}

TEST(TemperatureMap, RefusesFewerValuesThanPixels) {
  const float values[] = {1.0f, 2.0f};
  EXPECT_EQ(formatTemperatureMap(values, 3, 1), "");
}

TEST(TemperatureMap, SecondExportOfTheSameNameIsDropped) {
  ScratchFolder folder;
  const std::string path = folder.file("Cam_TM_20260307080910.csv");
  const float first[] = {1.0f, 2.0f};
  const float second[] = {3.0f, 4.0f};
  ASSERT_EQ(writeTemperatureMap(path, first, 2, 1), TempMapOutcome::Written);
  EXPECT_EQ(writeTemperatureMap(path, second, 2, 1), TempMapOutcome::AlreadyExists);
  EXPECT_EQ(readText(path), "1.00,2.00\n");
}

TEST(TemperatureMap, MissingFolderCannotBeCreated) {
  ScratchFolder folder;
  const float values[] = {1.0f};
  EXPECT_EQ(writeTemperatureMap(folder.file("no/such.csv"), values, 1, 1),
            TempMapOutcome::CannotCreate);
}

TEST(TemperatureMapExporter, TwoExportsWithinOneSecondLeaveOneFile) {
  ScratchFolder folder;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<TempMapOutcome> outcomes;
  TemperatureMapExporter exporter([&](const std::string&, TempMapOutcome outcome) {
    std::lock_guard lock(mutex);
    outcomes.push_back(outcome);
    changed.notify_all();
  });
  // Both exports are named within the same second, as two clicks would be.
  const std::string path =
      exportFileName(folder.path(), "Cam", ExportKind::TemperatureMap, testing::sampleTime());
  const auto frame = [] { return std::vector<float>(320 * 240, 21.5f); };
  exporter.start(path, 320, 240, frame);
  exporter.start(path, 320, 240, frame);
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(
        changed.wait_for(lock, std::chrono::seconds(30), [&] { return outcomes.size() == 2; }));
  }
  exporter.waitAll();
  EXPECT_EQ(folder.entries(), 1u);
  EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), TempMapOutcome::Written), 1);
  EXPECT_EQ(lines(readText(path)).size(), 240u);
}

TEST(TemperatureMap, ValuesAreTheLibrarysConversion) {
  auto table = std::make_shared<std::vector<float>>(65536);
  ASSERT_EQ(GetTempMapTable(table->data(), 0), SDK_SUCCESS);
  KtFrameCopy frame;
  frame.width = 32;
  frame.height = 24;
  frame.header[4] = 17;  // a KT camera
  frame.table = table;
  frame.env = EnvParams{0.9f, 25.0f, 0.95f, 0.0f};
  for (std::size_t i = 0; i < 32 * 24; ++i)
    frame.pixels.push_back(static_cast<uint16_t>(7000 + 13 * i));
  const std::vector<float> temperatures = temperaturesOf(frame);
  ASSERT_EQ(temperatures.size(), 32u * 24u);

  ScratchFolder folder;
  const std::string path = folder.file("map.csv");
  ASSERT_EQ(writeTemperatureMap(path, temperatures, 32, 24), TempMapOutcome::Written);
  const auto rows = lines(readText(path));
  ASSERT_EQ(rows.size(), 24u);
  // Row 5, built from the library's point conversion of the same frame.
  IRFrame record{};
  record.pixels = frame.pixels.data();
  record.pixelCapacity = static_cast<uint32_t>(frame.pixels.size());
  record.header.bytes[4] = 17;
  std::string expected;
  for (int x = 0; x < 32; ++x) {
    char value[32];
    const float point =
        GetPointTemp(&record, IrdexImageSize(32, 24), table->data(), frame.env, x, 5);
    std::snprintf(value, sizeof value, "%.2f", static_cast<double>(point));
    expected += (x ? "," : "") + std::string(value);
  }
  EXPECT_EQ(rows[5], expected);
}

}  // namespace
}  // namespace solvane::exports
