// The delivered temperature tables: read from beside the program, rising, covering their
// ranges, and rebuilt byte for byte by their generator.
#include <gtest/gtest.h>
#include <irdex.h>
#include "testing/case_name.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "temperature/conversion.h"

namespace irdex::temperature {
namespace {

namespace fs = std::filesystem;

struct TableCase {
  int range;
  const char* file;
  float low, high;  // the nominal range the table must cover
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.file; }

class DeliveredTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(DeliveredTable, RisesAndCoversItsRange) {
  const TableCase c = GetParam();
  std::vector<float> table(kTableEntries, 0.0f);
  ASSERT_EQ(GetTempMapTable(table.data(), c.range), SDK_SUCCESS);
  int rising = 0;
  for (int i = 1; i < kTableEntries; ++i) {
    ASSERT_GE(table[i], table[i - 1]) << i;
    rising += table[i] > table[i - 1] ? 1 : 0;
  }
  EXPECT_LT(table.front(), c.low);
  EXPECT_GT(table.back(), c.high);
  // Every count between the ends of the nominal range is a step of its own.
  int first = 0;
  while (table[first] < c.low) ++first;
  int last = first;
  while (table[last] <= c.high) ++last;
  for (int i = first; i <= last; ++i) ASSERT_GT(table[i], table[i - 1]) << i;
  EXPECT_GT(last - first, 4000);  // a useful resolution over the range
  EXPECT_GT(rising, 10000);
}

TEST_P(DeliveredTable, GeneratorRebuildsTheSameBytes) {
  const TableCase c = GetParam();
  const fs::path folder =
      fs::path(::testing::TempDir()) / ("irdex_tables_" + std::to_string(c.range));
  fs::create_directories(folder);
  const std::string command =
      std::string(IRDEX_TEST_BIN_DIR) + "/irdex_gen_temp_tables " + folder.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const auto read = [](const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
  };
  const auto rebuilt = read(folder / c.file);
  EXPECT_EQ(rebuilt.size(), 4u * kTableEntries);
  EXPECT_EQ(rebuilt, read(fs::path(IRDEX_TEST_BIN_DIR) / c.file));
  fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Ranges, DeliveredTable,
                         ::testing::Values(TableCase{0, "TempMapTable_L.bin", -20.0f, 130.0f},
                                           TableCase{1, "TempMapTable_M.bin", 0.0f, 650.0f}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Range", p.range);
                         });

TEST(TableFile, OnlyRangesZeroAndOneNameAFile) {
  std::vector<float> table(kTableEntries, 0.0f);
  EXPECT_EQ(GetTempMapTable(table.data(), 2), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(GetTempMapTable(table.data(), -1), SDK_ERR_OPEN_FILE);
  EXPECT_EQ(GetTempMapTable(nullptr, 0), SDK_ERR_BUFFER);
}

TEST(TableFile, ConvertsWithTheDeliveredTable) {
  // At emissivity and transmission 1 the table entry is the temperature.
  std::vector<float> table(kTableEntries, 0.0f);
  ASSERT_EQ(GetTempMapTable(table.data(), 0), SDK_SUCCESS);
  const EnvParams unity{1.0f, 20.0f, 1.0f, 0.0f};
  EXPECT_EQ(GetIRdataToTemp(8000, table.data(), unity), table[8000]);
  // A lower emissivity reads a warm object warmer than the table says.
  const EnvParams low{0.8f, 20.0f, 1.0f, 0.0f};
  EXPECT_GT(GetIRdataToTemp(12000, table.data(), low), table[12000]);
}

}  // namespace
}  // namespace irdex::temperature
