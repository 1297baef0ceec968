#include "analysis/ui/thermal_preview.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace analysis {

namespace {
constexpr int kPaletteBytes = 768;
constexpr int kClickSlack = 3;  // a press and release this close is a click, not a drag
}  // namespace

ThermalPreview::ThermalPreview(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Live preview"));
  setMinimumSize(320, 240);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ThermalPreview::showFrame(const std::vector<uint8_t>& pixels, int width, int height,
                               const std::vector<uint8_t>& palette) {
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height) return;
  QImage image(width, height, QImage::Format_Indexed8);
  QList<QRgb> colours(256);
  for (int i = 0; i < 256; ++i) {
    colours[i] = static_cast<int>(palette.size()) >= kPaletteBytes
                     ? qRgb(palette[3 * i], palette[3 * i + 1], palette[3 * i + 2])
                     : qRgb(i, i, i);
  }
  image.setColorTable(colours);
  for (int y = 0; y < height; ++y)
    std::copy_n(pixels.data() + static_cast<size_t>(y) * width, width, image.scanLine(y));
  image_ = std::move(image);
  ++framesShown_;
  update();
}

void ThermalPreview::setMarks(std::vector<PreviewMark> marks) {
  marks_ = std::move(marks);
  update();
}

QRectF ThermalPreview::pictureArea() const {
  const QSizeF picture = cameraSize();
  const double scale = std::min(width() / picture.width(), height() / picture.height());
  const QSizeF shown = picture * scale;
  return QRectF(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

QPoint ThermalPreview::toCamera(QPointF p) const {
  const QRectF area = pictureArea();
  const QSize picture = cameraSize();
  const int x = static_cast<int>((p.x() - area.left()) * picture.width() / area.width());
  const int y = static_cast<int>((p.y() - area.top()) * picture.height() / area.height());
  return {std::clamp(x, 0, picture.width() - 1), std::clamp(y, 0, picture.height() - 1)};
}

QRectF ThermalPreview::toWidget(const QRect& r) const {
  const QRectF area = pictureArea();
  const QSize picture = cameraSize();
  const double sx = area.width() / picture.width();
  const double sy = area.height() / picture.height();
  return QRectF(area.left() + r.x() * sx, area.top() + r.y() * sy, std::max(1, r.width()) * sx,
                std::max(1, r.height()) * sy);
}

void ThermalPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const QRectF area = pictureArea();
  if (!image_.isNull()) painter.drawImage(area, image_);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const PreviewMark& mark : marks_) {
    const QRectF shape = toWidget(mark.rect);
    painter.setPen(QPen(mark.selected ? Qt::yellow : Qt::green, 2));
    if (mark.rect.width() <= 1 && mark.rect.height() <= 1) {
      const QPointF c = shape.center();
      painter.drawLine(c - QPointF(6, 0), c + QPointF(6, 0));
      painter.drawLine(c - QPointF(0, 6), c + QPointF(0, 6));
    } else {
      painter.drawRect(shape);
    }
    if (!mark.label.isEmpty()) painter.drawText(shape.topLeft() + QPointF(3, -3), mark.label);
  }
  if (dragging_) {
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawRect(QRectF(dragStart_, dragNow_).normalized());
  }
}

void ThermalPreview::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  dragStart_ = dragNow_ = event->position().toPoint();
}

void ThermalPreview::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  dragNow_ = event->position().toPoint();
  update();
}

void ThermalPreview::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return;
  dragging_ = false;
  dragNow_ = event->position().toPoint();
  update();
  if ((dragNow_ - dragStart_).manhattanLength() <= kClickSlack) {
    emit pointPicked(toCamera(dragNow_));
    return;
  }
  const QPoint a = toCamera(dragStart_);
  const QPoint b = toCamera(dragNow_);
  // Built from the corners' extremes: QRect::normalized() is off by one for reversed drags.
  emit rectangleDrawn(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                            QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))));
}

}  // namespace analysis
