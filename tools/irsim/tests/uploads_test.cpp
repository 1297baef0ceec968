// The camera's side of uploads over a raw client: user palettes are stored per slot, the
// firmware image is taken only block by block in order and checked when complete, and each
// outcome shows in the command log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace irsim_test {
namespace {

constexpr uint16_t kPaletteType = 40;
constexpr uint16_t kFirmwareType = 49;

std::vector<uint8_t> paletteBlock(uint8_t slot, uint32_t pictureLength) {
  std::vector<uint8_t> block(9228, 0);
  block[7] = slot;
  for (size_t i = 8; i < 1032; ++i) block[i] = static_cast<uint8_t>(i);
  put32(block, 1032, pictureLength);
  for (size_t i = 0; i < std::min<size_t>(pictureLength, 8192); ++i)
    block[1036 + i] = static_cast<uint8_t>(0xA0 + i);
  return block;
}

// An update file of `size` bytes: signature, CRC of bytes 8 on, version, a counting image.
std::vector<uint8_t> updateFile(size_t size, int32_t version) {
  std::vector<uint8_t> file(size);
  for (size_t i = 12; i < size; ++i) file[i] = static_cast<uint8_t>(i * 13 + 5);
  put32(file, 0, 0x56594E03);
  put32(file, 8, static_cast<uint32_t>(version));
  put32(file, 4, irsim::crc32(std::span<const uint8_t>(file).subspan(8)));
  return file;
}

std::vector<uint8_t> firmwareRecord(const std::vector<uint8_t>& file, uint16_t number) {
  const auto count = static_cast<uint16_t>((file.size() + 1023) / 1024);
  std::vector<uint8_t> record(1036, 0);
  put32(record, 0, le32(file.data() + 8));
  put32(record, 4, static_cast<uint32_t>(file.size()));
  put16(record, 8, count);
  put16(record, 10, number);
  const size_t from = (number - 1u) * 1024u;
  for (size_t i = 0; i < 1024 && from + i < file.size(); ++i) record[12 + i] = file[from + i];
  return record;
}

// Sends one upload packet and returns the answer's type and second code.
std::pair<uint16_t, int16_t> upload(Camera& camera, uint16_t type,
                                    const std::vector<uint8_t>& payload) {
  camera.client.send(type, payload);
  const auto answer = camera.client.read();
  EXPECT_TRUE(answer.has_value());
  if (!answer) return {0, 0};
  EXPECT_EQ(answer->code(0), static_cast<int16_t>(type));
  return {answer->type, answer->code(1)};
}

bool logSays(const Camera& camera, const std::string& words) {
  return camera.sim->waitForCommand(
      [&](const irsim::LogEntry& e) { return e.note.find(words) != std::string::npos; }, kBound);
}

TEST(Crc32, MatchesTheStandardCheckValue) {
  const std::string text = "123456789";
  EXPECT_EQ(irsim::crc32(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())),
            0xCBF43926u);
}

TEST(PaletteUpload, IsStoredInItsSlotWithItsPicture) {
  Camera camera(makeOptions("kt640", 20, scratchDirectory()));
  const auto block = paletteBlock(1, 300);
  EXPECT_EQ(upload(camera, kPaletteType, block), std::make_pair(uint16_t{6}, int16_t{0}));
  const auto stored = camera.sim->uploads().palette(1);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->block, block);
  EXPECT_EQ(stored->picture.size(), 300u);
  EXPECT_EQ(stored->picture.front(), 0xA0);
  EXPECT_FALSE(camera.sim->uploads().palette(0).has_value());
  EXPECT_TRUE(logSays(camera, "ack, user palette 2 stored, picture 300 bytes"));
}

struct BadPaletteCase {
  const char* name;
  uint8_t slot;
  uint32_t pictureLength;
};

void PrintTo(const BadPaletteCase& c, std::ostream* os) { *os << c.name; }

class PaletteRefused : public ::testing::TestWithParam<BadPaletteCase> {};

TEST_P(PaletteRefused, WithTheUploadReasonAndNothingStored) {
  Camera camera(makeOptions("kt640", 20, scratchDirectory()));
  EXPECT_EQ(upload(camera, kPaletteType, paletteBlock(GetParam().slot, GetParam().pictureLength)),
            std::make_pair(uint16_t{21}, irsim::kReasonBadUpload));
  EXPECT_FALSE(camera.sim->uploads().palette(0).has_value());
  EXPECT_FALSE(camera.sim->uploads().palette(1).has_value());
}

INSTANTIATE_TEST_SUITE_P(Blocks, PaletteRefused,
                         ::testing::Values(BadPaletteCase{"SlotThree", 2, 10},
                                           BadPaletteCase{"PictureBeyondItsField", 0, 8193}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FirmwareUpload, InOrderIsReassembledAndItsCrcMatched) {
  Camera camera(makeOptions("kt640", 20, scratchDirectory()));
  const auto file = updateFile(2049, 20261208);
  for (uint16_t n = 1; n <= 3; ++n)
    EXPECT_EQ(upload(camera, kFirmwareType, firmwareRecord(file, n)).first, 6) << n;
  const auto image = camera.sim->uploads().firmware();
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->bytes, file);
  EXPECT_TRUE(image->crcMatched);
  EXPECT_EQ(image->version, 20261208);
  EXPECT_TRUE(logSays(camera, "firmware block 3/3, image of 2049 bytes, CRC matched"));
}

struct OrderCase {
  const char* name;
  std::vector<uint16_t> numbers;  // the last one is refused
  uint16_t pendingAfter;
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

class FirmwareOutOfOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(FirmwareOutOfOrder, IsRefusedAndTheImageDropped) {
  Camera camera(makeOptions("kt640", 20, scratchDirectory()));
  const auto file = updateFile(4000, 7);
  const auto& numbers = GetParam().numbers;
  for (size_t i = 0; i + 1 < numbers.size(); ++i)
    ASSERT_EQ(upload(camera, kFirmwareType, firmwareRecord(file, numbers[i])).first, 6);
  EXPECT_EQ(upload(camera, kFirmwareType, firmwareRecord(file, numbers.back())),
            std::make_pair(uint16_t{21}, irsim::kReasonBlockOutOfOrder));
  EXPECT_EQ(camera.sim->uploads().firmwareBlocksPending(), GetParam().pendingAfter);
  EXPECT_FALSE(camera.sim->uploads().firmware().has_value());
  EXPECT_TRUE(logSays(camera, "out of order"));
}

INSTANTIATE_TEST_SUITE_P(Orders, FirmwareOutOfOrder,
                         ::testing::Values(OrderCase{"StartsAtTwo", {2}, 0},
                                           OrderCase{"SkipsOne", {1, 3}, 0},
                                           OrderCase{"RepeatsOne", {1, 2, 2}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FirmwareUpload, BlockOneStartsAFreshImage) {
  Camera camera(makeOptions("kt640", 20, scratchDirectory()));
  const auto file = updateFile(2048, 7);
  ASSERT_EQ(upload(camera, kFirmwareType, firmwareRecord(file, 1)).first, 6);
  ASSERT_EQ(upload(camera, kFirmwareType, firmwareRecord(file, 1)).first, 6);
  EXPECT_EQ(upload(camera, kFirmwareType, firmwareRecord(file, 2)).first, 6);
  ASSERT_TRUE(camera.sim->uploads().firmware().has_value());
  EXPECT_TRUE(camera.sim->uploads().firmware()->crcMatched);
}

TEST(FirmwareUpload, CrcMismatchRefusesTheLastBlock) {
  Camera camera(makeOptions("kt640", 20, scratchDirectory()));
  auto file = updateFile(1500, 7);
  file[1400] ^= 0xFF;
  ASSERT_EQ(upload(camera, kFirmwareType, firmwareRecord(file, 1)).first, 6);
  EXPECT_EQ(upload(camera, kFirmwareType, firmwareRecord(file, 2)),
            std::make_pair(uint16_t{21}, irsim::kReasonImageRejected));
  ASSERT_TRUE(camera.sim->uploads().firmware().has_value());
  EXPECT_FALSE(camera.sim->uploads().firmware()->crcMatched);
  EXPECT_TRUE(logSays(camera, "CRC mismatch"));
}

TEST(FirmwareUpload, CountThatDoesNotFitTheSizeIsRefused) {
  Camera camera(makeOptions("kt640", 20, scratchDirectory()));
  auto record = firmwareRecord(updateFile(1500, 7), 1);
  put16(record, 8, 5);
  EXPECT_EQ(upload(camera, kFirmwareType, record),
            std::make_pair(uint16_t{21}, irsim::kReasonBadUpload));
}

}  // namespace
}  // namespace irsim_test
