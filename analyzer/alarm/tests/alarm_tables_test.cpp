#include "alarm/alarm_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <ostream>
#include <string>

namespace solvane::alarm {
namespace {

TEST(AlarmRecordLayout, IsTwentyEightLittleEndianBytesInTheFileOrder) {
  AlarmRecord record;
  record.id = 0x01020304;
  record.result = static_cast<int32_t>(AlarmResult::Maximum);
  record.condition = static_cast<int32_t>(AlarmCondition::Below);
  record.output = static_cast<int32_t>(AlarmOutput::Alarm2);
  record.value = 1.0f;  // 0x3F800000
  record.selected = 1;
  std::array<uint8_t, 28> bytes{};
  std::memcpy(bytes.data(), &record, bytes.size());
  const std::array<uint8_t, 28> expected{4, 3, 2, 1, 0, 0, 0, 0, 2,    0,    0, 0, 1, 0,
                                         0, 0, 1, 0, 0, 0, 0, 0, 0x80, 0x3F, 1, 0, 0, 0};
  EXPECT_EQ(bytes, expected);
}

TEST(AlarmTable, NewObjectGetsTheDefaultRecordUnarmed) {
  AlarmTable table;
  const AlarmEntry* entry = table.ensure(42, "Spot 3");
  ASSERT_NE(entry, nullptr);
  AlarmRecord expected;
  expected.id = 42;
  expected.value = 20.0f;
  EXPECT_EQ(*entry, (AlarmEntry{expected, "Spot 3"}));
  EXPECT_EQ(entry->record.selected, 0);
}

TEST(AlarmTable, KnownObjectKeepsItsEditedRecord) {
  AlarmTable table;
  table.ensure(7, "Rect 1")->record.value = 80.0f;
  EXPECT_FLOAT_EQ(table.ensure(7, "Rect 1")->record.value, 80.0f);
  EXPECT_EQ(table.count(), 1u);
}

TEST(AlarmTable, HoldsSixtyFourObjectsAndRefusesTheNext) {
  AlarmTables tables;
  for (int32_t id = 1; id <= 64; ++id) ASSERT_NE(tables.spots.ensure(id, "s"), nullptr);
  EXPECT_EQ(tables.spots.ensure(65, "s"), nullptr);
  EXPECT_FALSE(tables.spots.adopt(defaultAlarmRecord(66), "s"));
  // The other table has room of its own.
  EXPECT_NE(tables.areas.ensure(65, "a"), nullptr);
}

TEST(AlarmTable, RemovingAnObjectFreesItsPlace) {
  AlarmTable table;
  for (int32_t id = 1; id <= 64; ++id) table.ensure(id, "s");
  table.remove(10);
  EXPECT_EQ(table.find(10), nullptr);
  EXPECT_NE(table.ensure(100, "s"), nullptr);
}

TEST(AlarmList, ShowsAreasWithTheirIdPlusHundredThenSpots) {
  AlarmTables tables;
  tables.spots.ensure(2, "Spot 1");
  tables.areas.ensure(3, "Rect 1");
  const auto rows = alarmListRows(tables);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].shownId, 103);
  EXPECT_EQ(rows[0].entry.name, "Rect 1");
  EXPECT_EQ(rows[1].shownId, 2);
}

TEST(AlarmList, EditingASpotLeavesAnAreaWithTheSameShownIdAlone) {
  AlarmTables tables;
  tables.spots.ensure(105, "Spot 1");
  tables.areas.ensure(5, "Rect 1");
  const AlarmEdit edit{.result = AlarmResult::Value,
                       .condition = AlarmCondition::Below,
                       .output = AlarmOutput::Alarm2,
                       .valueCelsius = -5.0f};
  EXPECT_FALSE(applyEdit(tables, RowKey{ObjectKind::Spot, 105}, edit).has_value());
  EXPECT_FLOAT_EQ(tables.spots.find(105)->record.value, -5.0f);
  EXPECT_EQ(tables.areas.find(5)->record, defaultAlarmRecord(5));
}

TEST(AlarmList, SetWithoutASelectedRowWarns) {
  AlarmTables tables;
  tables.spots.ensure(1, "Spot 1");
  EXPECT_EQ(applyEdit(tables, std::nullopt, AlarmEdit{}),
            (UserMessage{"Please, select an item in the alarm list!", "Warning!!!"}));
  EXPECT_EQ(applyEdit(tables, RowKey{ObjectKind::Area, 1}, AlarmEdit{}),
            (UserMessage{"Please, select an item in the alarm list!", "Warning!!!"}));
}

TEST(AlarmList, SpotAlwaysComparesItsValue) {
  AlarmTables tables;
  tables.spots.ensure(1, "Spot 1");
  applyEdit(tables, RowKey{ObjectKind::Spot, 1}, AlarmEdit{.result = AlarmResult::Maximum});
  EXPECT_EQ(resultOf(tables.spots.find(1)->record), AlarmResult::Value);
}

TEST(AlarmList, CheckBoxArmsTheRow) {
  AlarmTables tables;
  tables.areas.ensure(4, "Circ 1");
  EXPECT_TRUE(setArmed(tables, RowKey{ObjectKind::Area, 4}, true));
  EXPECT_EQ(tables.areas.find(4)->record.selected, 1);
  EXPECT_FALSE(setArmed(tables, RowKey{ObjectKind::Spot, 4}, true));
}

struct CaptionCase {
  const char* name;
  int32_t stored;
  const char* result;
  const char* condition;
  const char* output;
};

void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.name; }

class AlarmRecordCaptions : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(AlarmRecordCaptions, FallBackToTheFirstChoiceForUnknownValues) {
  AlarmRecord record;
  record.result = record.condition = record.output = GetParam().stored;
  EXPECT_STREQ(resultCaption(resultOf(record)), GetParam().result);
  EXPECT_STREQ(conditionCaption(conditionOf(record)), GetParam().condition);
  EXPECT_STREQ(outputCaption(outputOf(record)), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(Stored, AlarmRecordCaptions,
                         ::testing::Values(CaptionCase{"Zero", 0, "Value", "Above", "Alarm1"},
                                           CaptionCase{"One", 1, "Min.", "Below", "Alarm2"},
                                           CaptionCase{"Three", 3, "Average", "Above", "Alarm1"},
                                           CaptionCase{"Negative", -2, "Value", "Above", "Alarm1"},
                                           CaptionCase{"TooLarge", 99, "Value", "Above", "Alarm1"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace solvane::alarm
