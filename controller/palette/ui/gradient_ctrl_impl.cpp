#include "palette/ui/gradient_ctrl_impl.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace tessor {

namespace {
QColor toQColor(ColourRef c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
}  // namespace

QRect CGradientCtrlImpl::barRect() const {
  QRect bar = area_.adjusted(kMargin, kMargin, -kMargin, -kMargin);
  if (side_ == PegSide::RightTop) {
    bar.setTop(bar.top() + kMarkerHeight + 2);
  } else {
    bar.setBottom(bar.bottom() - kMarkerHeight - 2);
  }
  return bar;
}

int CGradientCtrlImpl::xOf(float position) const {
  const QRect bar = barRect();
  return bar.left() + static_cast<int>(std::lround(position * (bar.width() - 1)));
}

float CGradientCtrlImpl::positionAt(int x) const {
  const QRect bar = barRect();
  if (bar.width() <= 1) return 0.0f;
  return std::clamp(static_cast<float>(x - bar.left()) / static_cast<float>(bar.width() - 1), 0.0f,
                    1.0f);
}

int CGradientCtrlImpl::pegAt(const CGradient& gradient, const QPoint& point) const {
  if (!area_.contains(point)) return kPegNone;
  int best = kPegNone;
  int bestDistance = kHitDistance + 1;
  auto consider = [&](int index, float position) {
    const int distance = std::abs(point.x() - xOf(position));
    if (distance < bestDistance) {
      best = index;
      bestDistance = distance;
    }
  };
  // Pegs first: on a tie a peg wins over the fixed peg it sits on.
  for (int i = 0; i < gradient.pegCount(); ++i)
    consider(i, gradient.pegs()[static_cast<size_t>(i)].position);
  consider(kPegStart, 0.0f);
  consider(kPegEnd, 1.0f);
  return best;
}

void CGradientCtrlImpl::paintMarker(QPainter& painter, int x, ColourRef colour,
                                    bool selected) const {
  const QRect bar = barRect();
  const bool above = side_ == PegSide::RightTop;
  const int tip = above ? bar.top() - 1 : bar.bottom() + 1;
  const int base = above ? tip - kMarkerHeight : tip + kMarkerHeight;
  const QPolygon marker(
      {QPoint(x, tip), QPoint(x - kMarkerHeight / 2, base), QPoint(x + kMarkerHeight / 2, base)});
  painter.setPen(QPen(selected ? Qt::red : Qt::black, selected ? 2 : 1));
  painter.setBrush(toQColor(colour));
  painter.drawPolygon(marker);
}

void CGradientCtrlImpl::paint(QPainter& painter, const CGradient& gradient, int selected,
                              bool focused) const {
  const QRect bar = barRect();
  if (bar.width() <= 0 || bar.height() <= 0) return;
  const std::vector<uint8_t> colours = gradient.makeEntries(bar.width());
  for (int x = 0; x < bar.width(); ++x) {
    const size_t i = 3 * static_cast<size_t>(x);
    painter.setPen(QColor(colours[i + 2], colours[i + 1], colours[i]));
    painter.drawLine(bar.left() + x, bar.top(), bar.left() + x, bar.bottom());
  }
  painter.setPen(focused ? QPen(Qt::blue, 1, Qt::DotLine) : QPen(Qt::gray));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar.adjusted(0, 0, -1, -1));
  paintMarker(painter, xOf(0.0f), gradient.startColour(), selected == kPegStart);
  paintMarker(painter, xOf(1.0f), gradient.endColour(), selected == kPegEnd);
  for (int i = 0; i < gradient.pegCount(); ++i) {
    const CPeg& peg = gradient.pegs()[static_cast<size_t>(i)];
    paintMarker(painter, xOf(peg.position), peg.colour, selected == i);
  }
}

}  // namespace tessor
