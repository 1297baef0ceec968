// "Save OneShot Image": the view's picture with the display range and the colour bar drawn
// on it, saved as a radiometric snapshot that also carries the raw frame.
#pragma once

#include "snapshot/snapshot.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace solvane::exports {

// The two ends of the display range (level +- span / 2, degrees Celsius) as the picture shows
// them: "%.2f" in the display unit (0 C, 1 F, 2 K), the degree sign and the unit letter.
struct RangeLabels {
  std::string upper;
  std::string lower;
};
RangeLabels rangeLabels(float level, float span, int tempUnit);

// Pictures taller than this get the colour bar.
inline constexpr int kColourBarMinHeight = 90;

// Draws the range ends (black, then white one pixel up and right, right-aligned at
// x = W - 10 / W - 9, tops at y = 20 and H - 45) and, when H > 90, the colour bar from x = W - 60
// to W - 30 over rows 40 .. H - 51, hot end on top. `palette` is 256 RGB triplets. The picture must
// be 32-bit; needs a running QGuiApplication for the text.
void composeSnapshotPicture(QImage& picture, float level, float span, int tempUnit,
                            const std::array<uint8_t, 768>& palette);

// The colour bar alone (no text), for callers that draw labels their own way.
void paintColourBar(QImage& picture, const std::array<uint8_t, 768>& palette);

// Where the snapshot goes: over the snapshot the document shows when it was loaded from
// disk, else a new "_IR_" name under the save path.
std::string snapshotPath(const std::string& savePath, const std::string& cameraName,
                         const std::tm& localTime,
                         const std::optional<std::string>& loadedSnapshot);

// The IR data of a frame: the document's information block with the frame's own size, its
// camera header and its raw counts.
snapshot::IrData irDataOf(const snapshot::InfoBlock& infoBlock,
                          const std::array<uint8_t, 512>& camHeader, const uint16_t* pixels,
                          uint16_t width, uint16_t height);

struct SnapshotOutcome {
  bool ok = false;
  bool irInserted = false;
  std::string path;
  std::string error;  // the message to show when not ok
};

// Saves a composed picture (any format QImage converts to 32-bit) with the IR data when
// given; without it, or when it does not fit, the file is a plain JPEG.
SnapshotOutcome saveSnapshot(const std::string& path, const QImage& composed,
                             const snapshot::IrData* ir);

}  // namespace solvane::exports
