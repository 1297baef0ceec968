#include "object_painter.h"

#include "circle_roi.h"
#include "line_roi.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "roi_labels.h"
#include "spot_roi.h"

#include <QFont>
#include <QPolygonF>

#include <cmath>

namespace solvane {

QColor colourOf(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

namespace {

QPointF toView(const ViewMapping& view, double x, double y) {
  const ImagePoint p = view.toView(x, y);
  return {p.x, p.y};
}

QRectF boxInView(const ViewMapping& view, const BoxGeometry& box) {
  return QRectF(toView(view, box.left, box.top), toView(view, box.right, box.bottom)).normalized();
}

void marker(QPainter& painter, QPointF at, const QColor& colour) {
  // A small filled triangle pointing at the pixel, with a dark outline.
  const QPolygonF triangle{{at.x(), at.y()}, {at.x() - 5, at.y() - 9}, {at.x() + 5, at.y() - 9}};
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(colour);
  painter.drawPolygon(triangle);
  painter.setBrush(Qt::NoBrush);
}

}  // namespace

void paintObject(QPainter& painter, const CObjectROI& object, const ViewMapping& view,
                 const PaintOptions& options) {
  const bool inAlarm = options.alarmColours && object.generationAlarm();
  const bool selected = object.editState() != EditState::Normal;
  const QColor shape = colourOf(inAlarm    ? object.colour(RoiColour::AlarmRect)
                                : selected ? object.colour(RoiColour::Select)
                                           : object.colour(RoiColour::Normal));
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(shape, 2.0));
  painter.setBrush(Qt::NoBrush);
  QPointF labelAt;
  switch (object.kind()) {
    case RoiKind::Spot: {
      const auto& spot = static_cast<const CSpotROI&>(object);
      const QPointF c = toView(view, spot.x() + 0.5, spot.y() + 0.5);
      painter.drawLine(c + QPointF(-6, 0), c + QPointF(6, 0));
      painter.drawLine(c + QPointF(0, -6), c + QPointF(0, 6));
      labelAt = c + QPointF(8, -8);
      break;
    }
    case RoiKind::Rect: {
      const QRectF r = boxInView(view, static_cast<const CRectROI&>(object).box());
      painter.drawRect(r);
      labelAt = r.topLeft() + QPointF(2, -4);
      break;
    }
    case RoiKind::Circle: {
      const QRectF r = boxInView(view, static_cast<const CCircleROI&>(object).box());
      painter.drawEllipse(r);
      labelAt = r.topLeft() + QPointF(2, -4);
      break;
    }
    case RoiKind::Line: {
      const auto& line = static_cast<const CLineROI&>(object);
      const QPointF a = toView(view, line.start().x + 0.5, line.start().y + 0.5);
      const QPointF b = toView(view, line.end().x + 0.5, line.end().y + 0.5);
      painter.drawLine(a, b);
      labelAt = a + QPointF(4, -6);
      break;
    }
    case RoiKind::Polygon: {
      QPolygonF polygon;
      for (const auto& v : static_cast<const CPolygonROI&>(object).vertices())
        polygon << toView(view, v.x, v.y);
      painter.drawPolygon(polygon);
      if (!polygon.isEmpty()) labelAt = polygon.boundingRect().topLeft() + QPointF(2, -4);
      break;
    }
  }
  if (selected) {
    const QColor handleColour = colourOf(object.colour(RoiColour::Tracker));
    const double size = object.kind() == RoiKind::Line ? 10.0 : 6.0;
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(handleColour);
    for (const auto& h : object.handles()) {
      const QPointF c = toView(view, h.x, h.y);
      painter.drawRect(QRectF(c.x() - size / 2, c.y() - size / 2, size, size));
    }
    painter.setBrush(Qt::NoBrush);
  }
  const RoiStatistics& stats = object.statistics();
  if (stats.valid && object.kind() != RoiKind::Spot) {
    if (object.showHot())
      marker(painter, toView(view, stats.maxX + 0.5, stats.maxY + 0.5), Qt::red);
    if (object.showCold())
      marker(painter, toView(view, stats.minX + 0.5, stats.minY + 0.5), Qt::blue);
  }
  const QString text = labelText(object, stats, options.unit);
  QFont font(object.font().face);
  // Points, as the Labels page previews them.
  font.setPointSize(std::max(object.font().size, 1));
  painter.setFont(font);
  painter.setPen(colourOf(object.colour(RoiColour::ShadowText)));
  painter.drawText(labelAt + QPointF(1, 1), text);
  painter.setPen(colourOf(inAlarm ? object.colour(RoiColour::AlarmText)
                                  : object.colour(RoiColour::NormalText)));
  painter.drawText(labelAt, text);
  painter.restore();
}

void paintObjects(QPainter& painter, const CManagerROI& objects, const ViewMapping& view,
                  const PaintOptions& options) {
  objects.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& list) {
    for (const auto& o : list) paintObject(painter, *o, view, options);
  });
}

QImage composeObjects(const QImage& picture, const CManagerROI& objects, const ViewMapping& view,
                      const PaintOptions& options) {
  const int w = static_cast<int>(std::lround(view.image.width * view.zoomX));
  const int h = static_cast<int>(std::lround(view.image.height * view.zoomY));
  QImage out =
      picture.scaled(w, h).mirrored(view.mirror, view.flip).convertToFormat(QImage::Format_ARGB32);
  QPainter painter(&out);
  paintObjects(painter, objects, view, options);
  painter.end();
  return out;
}

}  // namespace solvane
