// A live picture of the camera with the camera-side regions and spots drawn over it. A drag
// draws a rectangle, a click places a point; both are reported in camera pixels.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace analysis {

struct PreviewMark {
  QRect rect;  // camera pixels; a point is a rectangle of size 1
  QString label;
  bool selected = false;
};

class ThermalPreview : public QWidget {
  Q_OBJECT

 public:
  explicit ThermalPreview(QWidget* parent = nullptr);

  // An 8-bit image of width x height with a 768-byte RGB palette (grey without one).
  void showFrame(const std::vector<uint8_t>& pixels, int width, int height,
                 const std::vector<uint8_t>& palette);
  void setMarks(std::vector<PreviewMark> marks);
  int framesShown() const { return framesShown_; }
  QSize cameraSize() const { return image_.isNull() ? QSize(640, 480) : image_.size(); }

 signals:
  void rectangleDrawn(QRect cameraRect);
  void pointPicked(QPoint cameraPoint);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QRectF pictureArea() const;
  QPoint toCamera(QPointF widgetPoint) const;
  QRectF toWidget(const QRect& cameraRect) const;

  QImage image_;
  std::vector<PreviewMark> marks_;
  int framesShown_ = 0;
  bool dragging_ = false;
  QPoint dragStart_, dragNow_;
};

}  // namespace analysis
