// A user palette from the gradient to the simulated camera through the SDK.
#include <gtest/gtest.h>

#include <cstring>

#include "palette/palette_record.h"
#include "palette/tests/sim_link.h"

namespace tessor {
namespace {

CGradient pageStartGradient() {
  CGradient g;
  g.setEndColour(makeColour(0, 0, 0));
  g.addPeg(makeColour(127, 0, 0), 0.765f);
  g.addPeg(makeColour(255, 0, 0), 0.585f);
  g.addPeg(makeColour(255, 127, 0), 0.4f);
  g.addPeg(makeColour(255, 255, 0), 0.3f);
  g.addPeg(makeColour(255, 255, 127), 0.113f);
  g.setStartColour(makeColour(255, 255, 255));
  g.setUseBackground(true);
  return g;
}

TEST(PaletteUploadEndToEnd, CameraStoresTheRecordAsBuilt) {
  testing::SimLink link;
  const PaletteUpload upload = preparePaletteUpload(pageStartGradient(), 1);
  ASSERT_TRUE(upload.ok) << upload.error;
  PaletteBlock block;
  std::memcpy(block.bytes, upload.record.data(), sizeof block.bytes);
  EXPECT_EQ(SendPaletteMessage(link.socket, &link.keepAlive, block), 1);
  ASSERT_TRUE(
      link.logSays("user palette 2 stored, picture " + std::to_string(upload.pictureBytes)));
  const auto stored = link.sim->uploads().palette(1);
  ASSERT_TRUE(stored.has_value());
  EXPECT_TRUE(std::equal(stored->block.begin(), stored->block.end(), upload.record.begin()));
  EXPECT_EQ(stored->picture.size(), upload.pictureBytes);
  // A PNG, whole: its signature first and its end chunk last.
  EXPECT_EQ(stored->picture[1], 'P');
  EXPECT_EQ(std::string(stored->picture.end() - 8, stored->picture.end() - 4), "IEND");
}

}  // namespace
}  // namespace tessor
