#include "snapshot_values.h"
#include "snapshot_files.h"
#include "testing/case_name.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>

namespace pagana {
namespace {

using namespace pagana::testing;

struct ParseCase {
  const char* name;
  std::function<std::vector<uint8_t>()> bytes;
  ParseResult result;
  const char* message;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ParseCase& c, std::ostream* out) { *out << c.name; }

std::vector<uint8_t> withApp0() {
  auto file = startOfImage();
  appendApp0(file);
  return file;
}

const ParseCase kParseCases[] = {
    {.name = "not starting with FF D8",
     .bytes = [] { return std::vector<uint8_t>{0xFF, 0xD9, 0xFF, 0xE0, 0x00, 0x10}; },
     .result = ParseResult::Refused,
     .message = ""},
    {.name = "APP0 length below 2",
     .bytes =
         [] {
           auto file = startOfImage();
           appendSegmentHead(file, 0xE0, 1);
           return file;
         },
     .result = ParseResult::Refused,
     .message = "Invalid jpeg file"},
    {.name = "APP0 cut short",
     .bytes =
         [] {
           auto file = startOfImage();
           appendSegmentHead(file, 0xE0, 40);
           file.insert(file.end(), 10, 0);
           return file;
         },
     .result = ParseResult::Refused,
     .message = "Premature end of file?"},
    {.name = "APP1 length below 2",
     .bytes =
         [] {
           auto file = withApp0();
           appendSegmentHead(file, 0xE1, 0);
           return file;
         },
     .result = ParseResult::Refused,
     .message = "Invalid jpeg file"},
    {.name = "segment header cut short",
     .bytes =
         [] {
           auto file = withApp0();
           appendSegmentHead(file, 0xE1, 806);
           const auto header = irSegmentHeader(0);
           file.insert(file.end(), header.begin(), header.begin() + 20);
           return file;
         },
     .result = ParseResult::Refused,
     .message = "Failed to read marker header!"},
    {.name = "APP1 of another writer",
     .bytes =
         [] {
           auto file = withApp0();
           appendSegmentHead(file, 0xE1, 806);
           const auto header = irSegmentHeader(0, 'E', 'x');
           file.insert(file.end(), header.begin(), header.end());
           file.insert(file.end(), 772, 0);
           appendEndOfImage(file);
           return file;
         },
     .result = ParseResult::Refused,
     .message = "No IR data!"},
    {.name = "payload cut short",
     .bytes =
         [] {
           auto file = withApp0();
           appendIrSegment(file, 0, 772);
           file.erase(file.end() - 100, file.end());
           return file;
         },
     .result = ParseResult::Refused,
     .message = "Premature end of file?"},
    {.name = "information segment too short for its block",
     .bytes =
         [] {
           auto file = withApp0();
           appendIrSegment(file, 0, 100);
           appendEndOfImage(file);
           return file;
         },
     .result = ParseResult::Refused,
     .message = "No IR data!"},
    {.name = "pixel segment without information segment",
     .bytes =
         [] {
           auto file = withApp0();
           appendIrSegment(file, 1, 2000);
           appendEndOfImage(file);
           return file;
         },
     .result = ParseResult::NoInformation,
     .message = ""},
    {.name = "plain JPEG head",
     .bytes =
         [] {
           auto file = withApp0();
           appendEndOfImage(file);
           return file;
         },
     .result = ParseResult::NoInformation,
     .message = ""},
    {.name = "information segment",
     .bytes =
         [] {
           auto file = withApp0();
           appendIrSegment(file, 0, 772);
           appendIrSegment(file, 1, 2000);
           appendEndOfImage(file);
           return file;
         },
     .result = ParseResult::InformationRead,
     .message = ""},
};

class SnapshotParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(SnapshotParsing, GivesTheResultAndMessage) {
  const ParseCase& c = GetParam();
  testsupport::TempFolder folder;
  const auto path = folder.path() / "case.jpg";
  writeBytes(path, c.bytes());
  const SnapshotParse parse = parseSnapshotFile(path);
  EXPECT_EQ(parse.result, c.result);
  EXPECT_EQ(parse.message, c.message);
}

INSTANTIATE_TEST_SUITE_P(Files, SnapshotParsing, ::testing::ValuesIn(kParseCases),
                         testsupport::ByName());

TEST(SnapshotParsing, MissingFileIsRefusedWithAMessage) {
  testsupport::TempFolder folder;
  const SnapshotParse parse = parseSnapshotFile(folder.path() / "absent.jpg");
  EXPECT_EQ(parse.result, ParseResult::Refused);
  EXPECT_EQ(parse.message, "Failed to load IR file!!");
}

struct ValuesCase {
  const char* name;
  SnapshotValues values;
  ReportValues expected;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ValuesCase& c, std::ostream* out) { *out << c.name; }

const ValuesCase kValuesCases[] = {
    {.name = "room scene",
     .values = {.levelTenths = 253,
                .spanTenths = 120,
                .atmTempThousandths = 21500,
                .transmissionThousandths = 980,
                .emissivityThousandths = 950},
     .expected = {"25.30\xC2\xB0"
                  "C",
                  "12.00\xC2\xB0"
                  "C",
                  "21.50\xC2\xB0"
                  "C",
                  "0.98", "0.95"}},
    {.name = "below zero",
     .values = {.levelTenths = -205,
                .spanTenths = 5,
                .atmTempThousandths = -12344,
                .transmissionThousandths = 1000,
                .emissivityThousandths = 1},
     .expected = {"-20.50\xC2\xB0"
                  "C",
                  "0.50\xC2\xB0"
                  "C",
                  "-12.34\xC2\xB0"
                  "C",
                  "1.00", "0.00"}},
    {.name = "furnace",
     .values = {.levelTenths = 32767,
                .spanTenths = 15000,
                .atmTempThousandths = 1200000,
                .transmissionThousandths = 65534,
                .emissivityThousandths = 100},
     .expected = {"3276.70\xC2\xB0"
                  "C",
                  "1500.00\xC2\xB0"
                  "C",
                  "1200.00\xC2\xB0"
                  "C",
                  "65.53", "0.10"}},
};

class SnapshotValuesOfOurWriter : public ::testing::TestWithParam<ValuesCase> {};

// Reads the values where the analyzer's writer puts them, through a file it wrote.
TEST_P(SnapshotValuesOfOurWriter, ShowInTheColumnsFormats) {
  const ValuesCase& c = GetParam();
  testsupport::TempFolder folder;
  const auto path = folder.path() / "shot.jpg";
  ASSERT_TRUE(writeSnapshot(path, c.values));
  const SnapshotParse parse = parseSnapshotFile(path);
  ASSERT_EQ(parse.result, ParseResult::InformationRead);
  EXPECT_EQ(formatValues(parse.fields), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, SnapshotValuesOfOurWriter, ::testing::ValuesIn(kValuesCases),
                         testsupport::ByName());

}  // namespace
}  // namespace pagana
