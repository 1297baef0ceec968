// The update file reader: blocks and padding, signature and CRC, the information text, and
// files that are too short or too long; the questions asked before an update.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "palette/tests/named_case.h"
#include "update/update_file.h"

namespace tessor {
namespace {

void putLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A well-formed file of `size` bytes: signature, CRC, version, then a counting image.
std::vector<uint8_t> updateFileBytes(size_t size, int32_t version = 77) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 12; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  putLe32(bytes, 0, kUpdateFileSignature);
  putLe32(bytes, 8, static_cast<uint32_t>(version));
  putLe32(bytes, 4, crc32Ieee(std::span<const uint8_t>(bytes).subspan(8)));
  return bytes;
}

TEST(Crc32Ieee, MatchesTheStandardCheckValue) {
  const std::string text = "123456789";
  EXPECT_EQ(crc32Ieee(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())),
            0xCBF43926u);
}

struct BlockCase {
  const char* name;
  size_t size;
  uint16_t blocks;
};

class UpdateFileBlocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(UpdateFileBlocks, CountRoundsUpAndPadsWithZeros) {
  const auto bytes = updateFileBytes(GetParam().size);
  const UpdateFileOutcome outcome = parseUpdateFile(bytes, "fw");
  ASSERT_TRUE(outcome.ok) << outcome.error;
  EXPECT_EQ(outcome.file.blockCount, GetParam().blocks);
  ASSERT_EQ(outcome.file.buffer.size(), GetParam().blocks * kUpdateBlockSize);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), outcome.file.buffer.begin()));
  EXPECT_TRUE(std::all_of(outcome.file.buffer.begin() + static_cast<std::ptrdiff_t>(bytes.size()),
                          outcome.file.buffer.end(), [](uint8_t b) { return b == 0; }));
}

INSTANTIATE_TEST_SUITE_P(Sizes, UpdateFileBlocks,
                         ::testing::Values(BlockCase{"HeaderOnly", 12, 1},
                                           BlockCase{"OneWholeBlock", 1024, 1},
                                           BlockCase{"OneByteIntoTheSecond", 1025, 2},
                                           BlockCase{"TwoWholeBlocks", 2048, 2},
                                           BlockCase{"OneByteIntoTheThird", 2049, 3}),
                         testing::CaseName());

struct TextCase {
  const char* name;
  uint32_t signature;
  const char* text;
};

class UpdateFileInformation : public ::testing::TestWithParam<TextCase> {};

TEST_P(UpdateFileInformation, ShowsNameAndVersionOrTheForeignSignature) {
  auto bytes = updateFileBytes(3000);
  putLe32(bytes, 0, GetParam().signature);
  const UpdateFileOutcome outcome = parseUpdateFile(bytes, "camera_fw");
  ASSERT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.file.informationText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, UpdateFileInformation,
    ::testing::Values(
        TextCase{"Ours", kUpdateFileSignature,
                 "+ File Name : camera_fw.bin\n\r\n+ File Firmware Version : 77\r\n"},
        TextCase{"ForeignShownSigned", 0xFFFFFFFEu,
                 "+ File Name : camera_fw.bin\n\r\n*****File ID (-2) doesn't equal. *****"},
        TextCase{
            "PacketIdentifier", 0x56594E02u,
            "+ File Name : camera_fw.bin\n\r\n*****File ID (1448693250) doesn't equal. *****"}),
    testing::CaseName());

TEST(UpdateFile, CrcOverTheBytesFromEightOnMatches) {
  const UpdateFileOutcome outcome = parseUpdateFile(updateFileBytes(5000), "fw");
  EXPECT_TRUE(outcome.file.crcMatches());
}

TEST(UpdateFile, CrcMismatchStillLoads) {
  auto bytes = updateFileBytes(5000);
  bytes[4000] ^= 0x01;
  const UpdateFileOutcome outcome = parseUpdateFile(bytes, "fw");
  ASSERT_TRUE(outcome.ok);
  EXPECT_FALSE(outcome.file.crcMatches());
  EXPECT_EQ(outcome.file.blockCount, 5);
}

struct ShortCase {
  const char* name;
  size_t size;
};

class UpdateFileTooShort : public ::testing::TestWithParam<ShortCase> {};

TEST_P(UpdateFileTooShort, FailsWithAMessage) {
  const std::vector<uint8_t> bytes(GetParam().size, 0x03);
  const UpdateFileOutcome outcome = parseUpdateFile(bytes, "fw");
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.error.find("too short"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Sizes, UpdateFileTooShort,
                         ::testing::Values(ShortCase{"Empty", 0}, ShortCase{"SignatureOnly", 4},
                                           ShortCase{"OneShortOfTheHeader", 11}),
                         testing::CaseName());

TEST(UpdateFile, MoreBlocksThanSixteenBitsCountIsRefused) {
  const std::vector<uint8_t> bytes(kMostUpdateBlocks * kUpdateBlockSize + 1, 0);
  const UpdateFileOutcome outcome = parseUpdateFile(bytes, "fw");
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.error.find("too large"), std::string::npos);
}

TEST(UpdateFile, UnreadableFileSaysSo) {
  EXPECT_EQ(readUpdateFile("/nonexistent/fw.udf").error, kOpenFailedText);
  EXPECT_EQ(readUpdateFile(std::filesystem::temp_directory_path().string()).error, kOpenFailedText);
}

struct PlanCase {
  const char* name;
  bool loaded;
  std::optional<uint32_t> camera;
  size_t questions;
};

class UpdatePlanQuestions : public ::testing::TestWithParam<PlanCase> {};

TEST_P(UpdatePlanQuestions, AskAboutADowngradeOnlyWhenTheCameraIsNewer) {
  const UpdateFileOutcome loaded = parseUpdateFile(updateFileBytes(100, 20240101), "fw");
  const UpdatePlan plan = planUpdate(GetParam().loaded ? &loaded.file : nullptr, GetParam().camera);
  if (!GetParam().loaded) {
    ASSERT_TRUE(plan.refusal.has_value());
    EXPECT_EQ(plan.refusal->text, "No firmware file information!!");
    EXPECT_EQ(plan.refusal->caption, "Warining");
    return;
  }
  ASSERT_EQ(plan.questions.size(), GetParam().questions);
  EXPECT_EQ(plan.questions.back().text, "Do you want to update a firmware?");
  if (GetParam().questions == 2) {
    EXPECT_EQ(plan.questions.front().text.rfind("Firmware version in a camera is less then", 0),
              0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, UpdatePlanQuestions,
                         ::testing::Values(PlanCase{"NothingLoaded", false, 13031203u, 0},
                                           PlanCase{"CameraNewer", true, 20250101u, 2},
                                           PlanCase{"CameraOlder", true, 13031203u, 1},
                                           PlanCase{"SameVersion", true, 20240101u, 1},
                                           PlanCase{"CameraUnknown", true, std::nullopt, 1}),
                         testing::CaseName());

}  // namespace
}  // namespace tessor
