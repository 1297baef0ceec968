#include "discovery/core/names_file.h"
#include "testing/case_name.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace discovery {
namespace {

std::vector<std::uint8_t> record(std::string_view mac, std::string_view name) {
  std::vector<std::uint8_t> bytes(kNameRecordSize, 0);
  std::copy(mac.begin(), mac.end(), bytes.begin());
  std::copy(name.begin(), name.end(), bytes.begin() + kRecordMacBytes);
  return bytes;
}

std::vector<std::uint8_t> repeated(std::size_t count) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < count; ++i) {
    const auto one = record("mac" + std::to_string(i), "cam" + std::to_string(i));
    bytes.insert(bytes.end(), one.begin(), one.end());
  }
  return bytes;
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/discovery_names_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST(NamesFile, RecordsAreThirtyNineBytesWithTerminatedFields) {
  const std::vector<NameRecord> records = {{"00:11:22:33:44:55", "Boiler room"}};
  EXPECT_EQ(encodeNamesFile(records), record("00:11:22:33:44:55", "Boiler room"));
}

TEST(NamesFile, LongTextsAreCutToTheirFields) {
  const std::vector<NameRecord> records = {{std::string(30, 'M'), std::string(30, 'N')}};
  const auto bytes = encodeNamesFile(records);
  ASSERT_EQ(bytes.size(), kNameRecordSize);
  EXPECT_EQ(bytes[16], 'M');
  EXPECT_EQ(bytes[17], 0);
  EXPECT_EQ(bytes[37], 'N');
  EXPECT_EQ(bytes[38], 0);
  EXPECT_EQ(parseNamesFile(bytes).records[0],
            (NameRecord{std::string(17, 'M'), std::string(20, 'N')}));
}

struct LengthCase {
  std::size_t bytes;
  std::size_t records;
  bool partial;
  bool ignored;
};

class NamesFileLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(NamesFileLength, ReadsWholeRecordsUpToOneHundred) {
  auto bytes = repeated(120);
  bytes.resize(GetParam().bytes);
  const auto contents = parseNamesFile(bytes);
  EXPECT_EQ(contents.records.size(), GetParam().records);
  EXPECT_EQ(contents.partialRecord, GetParam().partial);
  EXPECT_EQ(contents.recordsIgnored, GetParam().ignored);
  if (!contents.records.empty()) {
    EXPECT_EQ(contents.records.back().name, "cam" + std::to_string(contents.records.size() - 1));
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, NamesFileLength,
                         ::testing::Values(LengthCase{0, 0, false, false},
                                           LengthCase{38, 0, true, false},
                                           LengthCase{39, 1, false, false},
                                           LengthCase{40, 1, true, false},
                                           LengthCase{39 * 100, 100, false, false},
                                           LengthCase{39 * 100 + 1, 100, false, true},
                                           LengthCase{39 * 120, 100, false, true}),
                         [](const auto& info) {
                           [[maybe_unused]] const auto& p = info.param;
                           [[maybe_unused]] const auto i = info.index;
                           using testsupport::caseName;
                           return caseName("Bytes", p.bytes);
                         });

TEST(NamesFile, UnterminatedFieldsStayInsideTheirRecord) {
  const std::vector<std::uint8_t> bytes(kNameRecordSize, 'Z');
  const auto contents = parseNamesFile(bytes);
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(contents.records[0].mac, std::string(17, 'Z'));
  EXPECT_EQ(contents.records[0].name, std::string(20, 'Z'));
}

TEST_F(TempDir, WrittenFileReadsBack) {
  const auto path = dir_ / kNamesFileName;
  const std::vector<NameRecord> records = {{"aa", "One"}, {"bb", "Two"}};
  ASSERT_TRUE(writeNamesFile(path, records));
  EXPECT_EQ(std::filesystem::file_size(path), 2 * kNameRecordSize);
  const auto contents = readNamesFile(path);
  ASSERT_TRUE(contents.has_value());
  EXPECT_EQ(contents->records, records);
}

TEST_F(TempDir, LongFileIsReadUpToOneHundredRecords) {
  const auto path = dir_ / kNamesFileName;
  const auto bytes = repeated(120);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  const auto contents = readNamesFile(path);
  ASSERT_TRUE(contents.has_value());
  EXPECT_EQ(contents->records.size(), kMaxNameRecords);
  EXPECT_TRUE(contents->recordsIgnored);
  EXPECT_FALSE(contents->partialRecord);
}

TEST_F(TempDir, MissingFileIsNotRead) { EXPECT_FALSE(readNamesFile(dir_ / "none.cnm")); }

TEST_F(TempDir, UnwritableFileIsReported) {
  EXPECT_FALSE(writeNamesFile(dir_ / "no" / "such" / "dir.cnm", {}));
}

TEST(NamesFile, LivesBesideTheExecutable) {
  const auto path = namesFileBesideExecutable();
  EXPECT_EQ(path.filename(), "cam_name.cnm");
  EXPECT_TRUE(std::filesystem::exists(path.parent_path() / "discovery_core_tests"));
}

// An installed program cannot write /usr/bin: the names go to the user's configuration
// folder, unless a file already sits beside the program.
TEST_F(TempDir, UnwritableProgramFolderKeepsNamesInTheConfigFolder) {
  const auto program = dir_ / "bin";
  const auto config = dir_ / "config";
  std::filesystem::create_directories(program);
  EXPECT_EQ(namesFileFor(program, config), program / kNamesFileName) << "writable folder";
  if (::geteuid() != 0) {  // root writes anywhere; the permission case needs a plain user
    std::filesystem::permissions(program, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(namesFileFor(program, config), config / "irdex" / kNamesFileName);
    EXPECT_TRUE(std::filesystem::is_directory(config / "irdex"));
    std::filesystem::permissions(program, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
  }
  EXPECT_EQ(namesFileFor(dir_ / "missing", config), config / "irdex" / kNamesFileName)
      << "a folder that cannot be written";
  std::ofstream(program / kNamesFileName) << "";
  EXPECT_EQ(namesFileFor(program, config), program / kNamesFileName) << "existing file wins";
}

TEST(StoredName, MatchesTheWholeMacAddressOnly) {
  const std::vector<NameRecord> records = {
      {"00:11:22:33:44:5", "Short"}, {"00:11:22:33:44:55", "Kiln"}, {"00:11:22:33:44:55", "Later"}};
  ASSERT_NE(findStoredName(records, "00:11:22:33:44:55"), nullptr);
  EXPECT_EQ(findStoredName(records, "00:11:22:33:44:55")->name, "Kiln");
  EXPECT_EQ(findStoredName(records, "00:11:22:33:44"), nullptr);
  EXPECT_EQ(findStoredName(records, ""), nullptr);
}

TEST(StoredName, LongMacMatchesItsCutRecord) {
  const std::string mac = "00-11-22-33-44-55-66";
  const std::vector<NameRecord> written = {{mac, "Long"}};
  const auto records = parseNamesFile(encodeNamesFile(written)).records;
  ASSERT_NE(findStoredName(records, mac), nullptr);
  EXPECT_EQ(findStoredName(records, mac)->name, "Long");
}

}  // namespace
}  // namespace discovery
