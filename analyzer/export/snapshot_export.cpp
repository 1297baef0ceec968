#include "export/snapshot_export.h"

#include "export/file_names.h"
#include "export/temperature_map.h"

#include <irdex.h>

#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace solvane::exports {
namespace {

constexpr const char* kDegreeSign = "\xC2\xB0";

// Label anchors from the picture's right edge and its top and bottom.
constexpr int kLabelRightInset = 10;
constexpr int kUpperLabelY = 20;
constexpr int kLowerLabelFromBottom = 45;

// The colour bar's columns from the right edge and its rows.
constexpr int kBarLeftInset = 60;
constexpr int kBarRightInset = 30;
constexpr int kBarTop = 40;
constexpr int kBarBottomInset = 51;

std::string labelText(float celsius, int tempUnit) {
  float value = celsius;
  char unit = 'C';
  if (tempUnit == 1) {
    value = ConvertCelsToFah(celsius);
    unit = 'F';
  } else if (tempUnit == 2) {
    value = ConvertCelToKel(celsius);
    unit = 'K';
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.2f%s%c", static_cast<double>(value), kDegreeSign, unit);
  return text;
}

// Right-aligned text whose top is at y, as the picture's labels were always placed.
void drawRightAligned(QPainter& painter, int right, int y, const QString& text) {
  const QFontMetrics metrics = painter.fontMetrics();
  painter.drawText(right - metrics.horizontalAdvance(text), y + metrics.ascent(), text);
}

}  // namespace

RangeLabels rangeLabels(float level, float span, int tempUnit) {
  return RangeLabels{labelText(level + span / 2.0f, tempUnit),
                     labelText(level - span / 2.0f, tempUnit)};
}

void paintColourBar(QImage& picture, const std::array<uint8_t, 768>& palette) {
  const int w = picture.width();
  const int h = picture.height();
  if (h <= kColourBarMinHeight || picture.depth() != 32) return;
  const int left = std::max(0, w - kBarLeftInset);
  const int right = std::min(w, w - kBarRightInset);
  for (int y = kBarTop; y <= h - kBarBottomInset; ++y) {
    const int entry = 255 - (255 * y) / h;
    const QRgb colour = qRgb(palette[3 * entry], palette[3 * entry + 1], palette[3 * entry + 2]);
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = left; x < right; ++x) row[x] = colour;
  }
}

void composeSnapshotPicture(QImage& picture, float level, float span, int tempUnit,
                            const std::array<uint8_t, 768>& palette) {
  if (picture.depth() != 32) picture = picture.convertToFormat(QImage::Format_RGB32);
  const RangeLabels labels = rangeLabels(level, span, tempUnit);
  const QString upper = QString::fromStdString(labels.upper);
  const QString lower = QString::fromStdString(labels.lower);
  const int w = picture.width();
  const int h = picture.height();
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    drawRightAligned(painter, w - kLabelRightInset, kUpperLabelY, upper);
    drawRightAligned(painter, w - kLabelRightInset, h - kLowerLabelFromBottom, lower);
    painter.setPen(Qt::white);
    drawRightAligned(painter, w - kLabelRightInset + 1, kUpperLabelY - 1, upper);
    drawRightAligned(painter, w - kLabelRightInset + 1, h - kLowerLabelFromBottom - 1, lower);
  }
  paintColourBar(picture, palette);
}

std::string snapshotPath(const std::string& savePath, const std::string& cameraName,
                         const std::tm& localTime,
                         const std::optional<std::string>& loadedSnapshot) {
  if (loadedSnapshot && !loadedSnapshot->empty()) return *loadedSnapshot;
  return exportFileName(savePath, cameraName, ExportKind::Snapshot, localTime);
}

snapshot::IrData irDataOf(const snapshot::InfoBlock& infoBlock,
                          const std::array<uint8_t, 512>& camHeader, const uint16_t* pixels,
                          uint16_t width, uint16_t height) {
  snapshot::IrData ir;
  ir.info = infoBlock;
  // The block's size must be the frame's, or a reader would cut the frame differently.
  ir.info[0] = static_cast<uint8_t>(width);
  ir.info[1] = static_cast<uint8_t>(width >> 8);
  ir.info[2] = static_cast<uint8_t>(height);
  ir.info[3] = static_cast<uint8_t>(height >> 8);
  ir.camHeader = camHeader;
  if (pixels) ir.pixels.assign(pixels, pixels + std::size_t{width} * height);
  return ir;
}

SnapshotOutcome saveSnapshot(const std::string& path, const QImage& composed,
                             const snapshot::IrData* ir) {
  SnapshotOutcome outcome;
  outcome.path = path;
  const QImage image =
      composed.format() == QImage::Format_RGB32 || composed.format() == QImage::Format_ARGB32
          ? composed
          : composed.convertToFormat(QImage::Format_RGB32);
  // Little-endian 0xAARRGGBB words are the bytes B, G, R, A.
  const snapshot::Picture picture{
      image.width(), image.height(), static_cast<int>(image.bytesPerLine()),
      snapshot::PixelFormat::Bgrx,
      std::span<const uint8_t>(image.constBits(), static_cast<std::size_t>(image.sizeInBytes()))};
  const snapshot::WriteResult written = snapshot::writeSnapshotFile(path, picture, ir);
  outcome.ok = written.ok();
  outcome.irInserted = written.irInserted;
  if (!outcome.ok) outcome.error = kFailedToCreateFile;
  return outcome;
}

}  // namespace solvane::exports
