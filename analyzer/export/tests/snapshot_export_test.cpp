// "Save OneShot Image": the composed picture, where the file goes, and what it carries.
#include "export/snapshot_export.h"
#include "export_test_support.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <ostream>

namespace solvane::exports {
namespace {

using testing::sampleTime;
using testing::ScratchFolder;

// Text drawing needs a GUI application; one for the whole test program, without a display.
void ensureGuiApplication() {
  static int argc = 1;
  static char name[] = "solvane_export_tests";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
  }();
}

std::array<uint8_t, 768> rampPalette() {
  std::array<uint8_t, 768> palette{};
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<uint8_t>(i);
    palette[3 * i + 1] = static_cast<uint8_t>(255 - i);
    palette[3 * i + 2] = 7;
  }
  return palette;
}

struct LabelCase {
  std::string name;
  int unit;
  std::string upper, lower;
};
void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

class RangeLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(RangeLabel, ShowsTheRangeEndsInTheDisplayUnit) {
  const RangeLabels labels = rangeLabels(50.0f, 10.0f, GetParam().unit);
  EXPECT_EQ(labels.upper, GetParam().upper);
  EXPECT_EQ(labels.lower, GetParam().lower);
}

INSTANTIATE_TEST_SUITE_P(Export, RangeLabel,
                         ::testing::Values(LabelCase{"Celsius", 0,
                                                     "55.00\xC2\xB0"
                                                     "C",
                                                     "45.00\xC2\xB0"
                                                     "C"},
                                           LabelCase{"Fahrenheit", 1,
                                                     "131.00\xC2\xB0"
                                                     "F",
                                                     "113.00\xC2\xB0"
                                                     "F"},
                                           LabelCase{"Kelvin", 2,
                                                     "328.15\xC2\xB0"
                                                     "K",
                                                     "318.15\xC2\xB0"
                                                     "K"}),
                         [](const auto& info) { return info.param.name; });

TEST(ColourBar, FillsItsColumnsHotEndOnTop) {
  QImage image(320, 240, QImage::Format_RGB32);
  image.fill(Qt::black);
  const auto palette = rampPalette();
  paintColourBar(image, palette);
  const int top = 255 - 255 * 40 / 240;
  EXPECT_EQ(image.pixel(260, 40), qRgb(top, 255 - top, 7));
  EXPECT_EQ(image.pixel(289, 40), qRgb(top, 255 - top, 7));
  const int bottom = 255 - 255 * 189 / 240;
  EXPECT_EQ(image.pixel(275, 189), qRgb(bottom, 255 - bottom, 7));
  // Outside: the column at W - 30, the row above and the row below.
  EXPECT_EQ(image.pixel(290, 100), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(259, 100), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(275, 39), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(275, 190), qRgb(0, 0, 0));
}

TEST(ColourBar, IsLeftOutOfLowPictures) {
  QImage image(160, 90, QImage::Format_RGB32);
  image.fill(Qt::black);
  QImage untouched = image;
  paintColourBar(image, rampPalette());
  EXPECT_EQ(image, untouched);
}

TEST(SnapshotPicture, DrawsBothRangeEndsAtTheRightEdge) {
  ensureGuiApplication();
  QImage image(320, 240, QImage::Format_RGB32);
  image.fill(qRgb(128, 128, 128));
  composeSnapshotPicture(image, 50.0f, 10.0f, 0, rampPalette());
  const auto changedIn = [&](int x0, int y0, int x1, int y1) {
    int changed = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) changed += image.pixel(x, y) != qRgb(128, 128, 128);
    }
    return changed;
  };
  EXPECT_GT(changedIn(200, 19, 312, 39), 0) << "upper label";
  EXPECT_EQ(changedIn(150, 0, 320, 18), 0) << "nothing above the upper label";
  EXPECT_GT(changedIn(200, 194, 312, 215), 0) << "lower label";
  EXPECT_EQ(changedIn(0, 0, 150, 240), 0) << "left half untouched";
}

TEST(SnapshotPath, OverwritesASnapshotLoadedFromDisk) {
  EXPECT_EQ(snapshotPath("/pics", "Cam", sampleTime(), std::string("/old/shot.jpg")),
            "/old/shot.jpg");
  EXPECT_EQ(snapshotPath("/pics", "Cam", sampleTime(), std::nullopt),
            "/pics/Cam_IR_20260307080910.jpg");
}

TEST(SnapshotSave, CarriesTheFrameAndTheBlocks) {
  ScratchFolder folder;
  snapshot::InfoBlock info{};
  info[21] = 11;  // palette
  std::array<uint8_t, 512> header{};
  header[4] = 17;
  std::vector<uint16_t> pixels(320 * 240);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint16_t>(i * 31);
  const snapshot::IrData ir = irDataOf(info, header, pixels.data(), 320, 240);
  QImage image(320, 240, QImage::Format_RGB32);
  image.fill(qRgb(10, 20, 30));
  const std::string path = folder.file("shot.jpg");
  const SnapshotOutcome outcome = saveSnapshot(path, image, &ir);
  ASSERT_TRUE(outcome.ok);
  EXPECT_TRUE(outcome.irInserted);
  const snapshot::ReadResult read = snapshot::readSnapshotFile(path);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.data.width(), 320);
  EXPECT_EQ(read.data.height(), 240);
  EXPECT_EQ(read.data.info[21], 11);
  EXPECT_EQ(read.data.pixels, pixels);
  EXPECT_TRUE(QImage(QString::fromStdString(path)).size() == QSize(320, 240));
}

TEST(SnapshotSave, FailureIsReportedNotSwallowed) {
  ScratchFolder folder;
  QImage image(32, 24, QImage::Format_RGB32);
  image.fill(Qt::white);
  const SnapshotOutcome outcome = saveSnapshot(folder.file("missing/shot.jpg"), image, nullptr);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.error, "Failed to create a file!!");
}

}  // namespace
}  // namespace solvane::exports
