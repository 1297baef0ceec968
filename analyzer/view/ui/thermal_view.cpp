#include "view/ui/thermal_view.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyle>

namespace solvane {
namespace {

// The picture's pixels as an image, without a copy: valid while the frame is held.
QImage imageOf(const ComposedFrame& frame) {
  if (frame.picture.empty()) return {};
  return QImage(reinterpret_cast<const uchar*>(frame.picture.data()), frame.width, frame.height,
                frame.width * 4, QImage::Format_ARGB32);
}

void triangle(QPainter& painter, QPointF at, const QColor& colour) {
  QPainterPath path;
  path.moveTo(at.x(), at.y() - 7);
  path.lineTo(at.x() - 6, at.y() + 5);
  path.lineTo(at.x() + 6, at.y() + 5);
  path.closeSubpath();
  painter.fillPath(path, colour);
  painter.setPen(QPen(Qt::white, 1));
  painter.drawPath(path);
}

}  // namespace

CVynCamSDKView::CVynCamSDKView(FramePipeline& pipeline, QWidget* parent)
    : QWidget(parent), pipeline_(pipeline) {
  setObjectName("ThermalView");
  setAccessibleName("Thermal picture");
  setMouseTracking(true);
  setMinimumSize(320, 240);
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setInterval(50);
  connect(&timer_, &QTimer::timeout, this, &CVynCamSDKView::tick);
  hBar_ = new QScrollBar(Qt::Horizontal, this);
  hBar_->setObjectName("pictureHorizontalScroll");
  hBar_->setAccessibleName("Scroll the picture sideways");
  vBar_ = new QScrollBar(Qt::Vertical, this);
  vBar_->setObjectName("pictureVerticalScroll");
  vBar_->setAccessibleName("Scroll the picture up and down");
  for (QScrollBar* bar : {hBar_, vBar_}) {
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this] { update(); });
  }
}

PictureArea CVynCamSDKView::pictureArea() const {
  const auto [w, h] = pipeline_.frameSize();
  const PictureRect full = layoutPicture(width(), height(), w, h, options_.zoom);
  return pictureAreaOf(width(), height(), full.width, full.height,
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void CVynCamSDKView::refreshScrollBars() {
  const PictureArea area = pictureArea();
  shownSize_ = pipeline_.frameSize();
  const auto [w, h] = shownSize_;
  const PictureRect full = layoutPicture(width(), height(), w, h, options_.zoom);
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  hBar_->setRange(0, area.maxScrollX);
  hBar_->setPageStep(std::max(1, area.width));
  hBar_->setSingleStep(std::max(1, static_cast<int>(full.zoomX * 8)));
  hBar_->setGeometry(0, area.height, area.width, extent);
  hBar_->setVisible(area.horizontalBar);
  vBar_->setRange(0, area.maxScrollY);
  vBar_->setPageStep(std::max(1, area.height));
  vBar_->setSingleStep(std::max(1, static_cast<int>(full.zoomY * 8)));
  vBar_->setGeometry(area.width, 0, extent, area.height);
  vBar_->setVisible(area.verticalBar);
}

void CVynCamSDKView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  refreshScrollBars();
}

void CVynCamSDKView::setOptions(const ViewOptions& options) {
  options_ = options;
  refreshScrollBars();
  update();
}

void CVynCamSDKView::setStatusText(const QString& text) {
  status_ = text;
  update();
}

void CVynCamSDKView::setPaletteColours(const std::array<uint8_t, 768>& palette) {
  palette_ = palette;
  update();
}

void CVynCamSDKView::tick() {
  if (pipeline_.frameCount() == paintedFrame_) return;
  if (pipeline_.frameSize() != shownSize_) refreshScrollBars();
  update();
}

PictureRect CVynCamSDKView::pictureRect() const {
  const auto [w, h] = pipeline_.frameSize();
  const PictureArea area = pictureArea();
  return layoutPicture(area.width + kColourScaleWidth, area.height, w, h, options_.zoom,
                       hBar_->value(), vBar_->value());
}

std::optional<ImagePixel> CVynCamSDKView::imagePointAt(QPoint position) const {
  const auto [w, h] = pipeline_.frameSize();
  if (w == 0) return std::nullopt;
  const PictureArea area = pictureArea();
  if (position.x() < 0 || position.y() < 0 || position.x() >= area.width ||
      position.y() >= area.height)
    return std::nullopt;  // over the colour scale or a scroll bar
  const PictureRect rect = pictureRect();
  double px = position.x() - rect.x;
  double py = position.y() - rect.y;
  // The picture is turned on screen; the read-out names the pixel of the frame itself.
  if (options_.mirror) px = rect.width - 1 - px;
  if (options_.flip) py = rect.height - 1 - py;
  return imagePointOf(px, py, rect.zoomX, rect.zoomY, w, h);
}

void CVynCamSDKView::drawPicture(QPainter& painter, const ComposedFrame& frame,
                                 const PictureRect& rect) const {
  if (!frame.picture.empty()) {
    const QImage picture = imageOf(frame);
    const QRect target(rect.x, rect.y, rect.width, rect.height);
    if (options_.mirror || options_.flip)
      painter.drawImage(target, picture.mirrored(options_.mirror, options_.flip));
    else
      painter.drawImage(target, picture);
    auto place = [&](int32_t x, int32_t y) {
      const double sx = options_.mirror ? frame.width - 1 - x : x;
      const double sy = options_.flip ? frame.height - 1 - y : y;
      return QPointF(rect.x + (sx + 0.5) * rect.zoomX, rect.y + (sy + 0.5) * rect.zoomY);
    };
    if (frame.hotCold) {
      const HotCold& hc = *frame.hotCold;
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setFont(QFont("Arial", 10));
      if (options_.hot) {
        const QPointF at = place(hc.hotX, hc.hotY);
        triangle(painter, at, QColor(255, 0, 0, 255));
        if (options_.showTemp) {
          painter.setPen(Qt::white);
          painter.drawText(at + QPointF(8, -8), QString::fromStdString(hotLabel(
                                                    inUnit(hc.hot, options_.unit), options_.unit)));
        }
      }
      if (options_.cold) {
        const QPointF at = place(hc.coldX, hc.coldY);
        triangle(painter, at, QColor(0, 0, 255, 255));
        if (options_.showTemp) {
          painter.setPen(Qt::white);
          painter.drawText(
              at + QPointF(8, -8),
              QString::fromStdString(coldLabel(inUnit(hc.cold, options_.unit), options_.unit)));
        }
      }
    }
    if (overlay_) {
      painter.save();
      overlay_(painter, frame, rect);
      painter.restore();
    }
    if (options_.timeStamp) {
      painter.setPen(Qt::white);
      painter.setFont(QFont("Arial", 10));
      painter.drawText(rect.x + 6, rect.y + rect.height - 8,
                       QString::fromStdString(timeStampText(QDateTime::currentSecsSinceEpoch())));
    }
  }
}

void CVynCamSDKView::drawScene(QPainter& painter, const ComposedFrame& frame,
                               const PictureRect& rect) const {
  painter.fillRect(QRect(0, 0, width(), height()), Qt::black);
  {
    // A picture larger than its area is cut at the area's edge, never painted over the
    // colour scale.
    const PictureArea area = pictureArea();
    painter.save();
    painter.setClipRect(QRect(0, 0, area.width, area.height));
    drawPicture(painter, frame, rect);
    painter.restore();
  }
  // The colour scale column: the palette from hot (top) to cold, with the display window.
  const int scaleX = std::max(0, width() - kColourScaleWidth) + 20;
  const int top = 30;
  const int barHeight = std::max(10, height() - 60);
  for (int row = 0; row < barHeight; ++row) {
    const int index = 255 - row * 255 / std::max(1, barHeight - 1);
    painter.setPen(QColor(palette_[3 * index], palette_[3 * index + 1], palette_[3 * index + 2]));
    painter.drawLine(scaleX, top + row, scaleX + 24, top + row);
  }
  if (frame.span > 0) {
    painter.setPen(Qt::white);
    painter.setFont(QFont("Arial", 9));
    const float high = inUnit(frame.level + frame.span / 2, options_.unit);
    const float low = inUnit(frame.level - frame.span / 2, options_.unit);
    painter.drawText(scaleX, top - 8, QString::number(high, 'f', 1));
    painter.drawText(scaleX, top + barHeight + 16, QString::number(low, 'f', 1));
  }
  if (!status_.isEmpty()) {
    painter.setPen(QColor(255, 255, 0));
    painter.setFont(QFont("Arial", 10));
    painter.drawText(8, 18, status_);
  }
}

QImage CVynCamSDKView::composedPicture() const {
  const auto frame = pipeline_.latest();
  if (!frame || frame->picture.empty()) return {};
  QImage image(frame->width, frame->height, QImage::Format_RGB32);
  QPainter painter(&image);
  drawPicture(painter, *frame, PictureRect{0, 0, frame->width, frame->height, 1.0f, 1.0f});
  return image;
}

void CVynCamSDKView::copyToClipboard() {
  const QImage image = composedPicture();
  if (!image.isNull()) QApplication::clipboard()->setImage(image);
}

void CVynCamSDKView::paintEvent(QPaintEvent*) {
  const auto held = pipeline_.latest();
  static const ComposedFrame kNothing;
  const ComposedFrame& frame = held ? *held : kNothing;
  const PictureRect rect = pictureRect();
  // Composed off screen and copied in one block, so the picture never flickers.
  if (buffer_.size() != size()) buffer_ = QImage(size(), QImage::Format_RGB32);
  {
    QPainter offscreen(&buffer_);
    drawScene(offscreen, frame, rect);
  }
  QPainter painter(this);
  painter.drawImage(0, 0, buffer_);
  paintedFrame_ = frame.frameNumber;
  ++paints_;
}

void CVynCamSDKView::mouseMoveEvent(QMouseEvent* event) {
  const auto point = imagePointAt(event->position().toPoint());
  if (!point) return;
  const auto intensity = pipeline_.intensityAt(point->x, point->y);
  emit mouseRead(point->x, point->y, intensity.value_or(0),
                 pipeline_.temperatureAt(point->x, point->y));
}

}  // namespace solvane
