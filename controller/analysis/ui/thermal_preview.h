// A live picture of the camera with the camera-side regions and spots drawn over it, edited
// with the measurement objects both programs share. A drag on bare picture draws a new shape
// for the page's current entry; pressing a drawn mark moves it, or resizes it by a handle,
// always inside the picture. Everything is reported in camera pixels.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "manager_roi.h"
#include "object_editor.h"

namespace analysis {

struct PreviewMark {
  QRect rect;  // camera pixels; a spot is a rectangle of size 1
  QString label;
  bool selected = false;  // the page's current entry: a new shape is drawn for it
  int key = -1;           // the page's entry (alarm, spot or region index) the mark shows
};

// What a drag on bare picture makes.
enum class DrawnShape {
  Rectangle,  // a drag draws a rectangle; a click does nothing
  Spot,       // a click or a drag places a spot where the button is released
  Either,     // a click places a spot, a drag draws a rectangle
};

class ThermalPreview : public QWidget {
  Q_OBJECT

 public:
  explicit ThermalPreview(QWidget* parent = nullptr);

  // An 8-bit image of width x height with a 768-byte RGB palette (grey without one).
  void showFrame(const std::vector<uint8_t>& pixels, int width, int height,
                 const std::vector<uint8_t>& palette);
  void setMarks(std::vector<PreviewMark> marks);
  void setDrawnShape(DrawnShape shape) { drawnShape_ = shape; }
  int framesShown() const { return framesShown_; }
  QSize cameraSize() const { return image_.isNull() ? QSize(640, 480) : image_.size(); }
  // The objects behind the marks, for whoever needs their names, numbers and colours.
  const solvane::CManagerROI& objects() const { return objects_; }

 signals:
  // A new shape drawn for the current entry.
  void rectangleDrawn(QRect cameraRect);
  void pointPicked(QPoint cameraPoint);
  // The mark of `key` was moved or resized to `cameraRect` (sent only when it changed).
  void markChanged(int key, QRect cameraRect);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QRectF pictureArea() const;
  void updateView();
  QPointF toPicture(QPointF widgetPoint) const;
  QRect cameraRectOf(int32_t id) const;
  std::optional<solvane::RoiKind> kindOfObject(int32_t id) const;

  QImage image_;
  int framesShown_ = 0;
  DrawnShape drawnShape_ = DrawnShape::Rectangle;
  solvane::CManagerROI objects_;
  solvane::CObjectEditor editor_{objects_};
  std::map<int32_t, int> keyOf_;  // object id -> the page's entry
  bool dragging_ = false;
  bool drawing_ = false;        // pressed on bare picture, no shape begun yet
  int32_t pendingCreated_ = 0;  // drawn, not yet taken by the page
  QPoint pressedAt_;
};

}  // namespace analysis
