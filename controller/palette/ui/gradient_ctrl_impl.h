// The drawing and hit-testing part of the gradient control: a horizontal bar with the peg
// markers above or below it.
#pragma once

#include <QPoint>
#include <QRect>

#include "palette/gradient.h"

class QPainter;

namespace tessor {

enum class PegSide { RightTop, LeftBottom };

class CGradientCtrlImpl {
 public:
  static constexpr int kMargin = 8;
  static constexpr int kMarkerHeight = 10;
  static constexpr int kHitDistance = 5;

  void setArea(const QRect& area) { area_ = area; }
  void setPegSide(PegSide side) { side_ = side; }
  PegSide pegSide() const { return side_; }

  QRect barRect() const;
  int xOf(float position) const;
  float positionAt(int x) const;  // clamped to 0..1
  // The peg (or the start or end peg) whose marker is under `point`, kPegNone when none.
  int pegAt(const CGradient& gradient, const QPoint& point) const;

  void paint(QPainter& painter, const CGradient& gradient, int selected, bool focused) const;

 private:
  void paintMarker(QPainter& painter, int x, ColourRef colour, bool selected) const;

  QRect area_;
  PegSide side_ = PegSide::RightTop;
};

}  // namespace tessor
