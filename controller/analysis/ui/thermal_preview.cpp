#include "analysis/ui/thermal_preview.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "rect_roi.h"
#include "spot_roi.h"

namespace analysis {

namespace {
using solvane::BoxGeometry;
using solvane::CObjectROI;
using solvane::CRectROI;
using solvane::CSpotROI;
using solvane::RoiColour;
using solvane::RoiKind;

constexpr int kPaletteBytes = 768;
constexpr int kClickSlack = 3;     // a press and release this close is a click, not a drag
constexpr double kHandleSide = 6;  // device pixels

QColor colourOf(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

RoiKind kindOf(const QRect& rect) {
  return rect.width() <= 1 && rect.height() <= 1 ? RoiKind::Spot : RoiKind::Rect;
}

void place(CObjectROI& object, const QRect& rect) {
  if (object.kind() == RoiKind::Spot)
    static_cast<CSpotROI&>(object).setPosition(rect.x(), rect.y());
  else
    static_cast<CRectROI&>(object).setBox(BoxGeometry{rect.x(), rect.y(),
                                                      rect.x() + std::max(1, rect.width()),
                                                      rect.y() + std::max(1, rect.height())});
}
}  // namespace

ThermalPreview::ThermalPreview(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Live preview"));
  setMinimumSize(320, 240);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // The camera's regions are numbered and coloured once a drag has made them.
  editor_.setNumberingOnCompletion(true);
  updateView();
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
  const bool resized = image.size() != image_.size();
  image_ = std::move(image);
  ++framesShown_;
  if (resized) updateView();
  update();
}

void ThermalPreview::setMarks(std::vector<PreviewMark> marks) {
  std::map<int, int32_t> idOfKey;
  for (const auto& [id, key] : keyOf_) idOfKey[key] = id;
  std::map<int32_t, int> kept;
  int32_t selected = 0;
  const solvane::ImageBounds bounds{cameraSize().width(), cameraSize().height()};
  for (const PreviewMark& mark : marks) {
    const RoiKind kind = kindOf(mark.rect);
    int32_t id = 0;
    if (mark.selected && pendingCreated_ != 0 && kindOfObject(pendingCreated_) == kind) {
      // The current entry takes the shape just drawn for it, with the number and colour its
      // drag gave it.
      id = pendingCreated_;
      pendingCreated_ = 0;
    } else if (const auto old = idOfKey.find(mark.key); old != idOfKey.end() &&
                                                        !kept.count(old->second) &&
                                                        kindOfObject(old->second) == kind) {
      id = old->second;
    } else {
      // An entry shown for the first time (read from the camera or typed in) is complete at
      // once: there is no drag to wait for before it takes its number and colour.
      auto object = objects_.makeObject(kind);
      id = object->id();
      if (!objects_.add(std::move(object))) continue;
    }
    objects_.withObject(id, [&](CObjectROI& o) {
      place(o, mark.rect);
      o.clampTo(bounds);
      o.setName(mark.label);
    });
    kept[id] = mark.key;
    if (mark.selected) selected = id;
  }
  std::vector<int32_t> gone;
  objects_.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& all) {
    for (const auto& o : all)
      if (!kept.count(o->id()) && o->id() != pendingCreated_) gone.push_back(o->id());
  });
  for (int32_t id : gone) objects_.remove(id);
  keyOf_ = std::move(kept);
  if (selected != 0)
    objects_.select(selected);
  else
    objects_.deselectAll();
  update();
}

QRectF ThermalPreview::pictureArea() const {
  const QSizeF picture = cameraSize();
  const double scale = std::min(width() / picture.width(), height() / picture.height());
  const QSizeF shown = picture * scale;
  return QRectF(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

void ThermalPreview::updateView() {
  const QRectF area = pictureArea();
  const QSize picture = cameraSize();
  editor_.setView(solvane::ViewMapping{{picture.width(), picture.height()},
                                       area.width() / picture.width(),
                                       area.height() / picture.height()});
}

void ThermalPreview::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  updateView();
}

QPointF ThermalPreview::toPicture(QPointF widgetPoint) const {
  return widgetPoint - pictureArea().topLeft();
}

QRect ThermalPreview::cameraRectOf(int32_t id) const {
  QRect rect;
  objects_.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& all) {
    for (const auto& o : all) {
      if (o->id() != id) continue;
      if (o->kind() == RoiKind::Spot) {
        const auto& spot = static_cast<const CSpotROI&>(*o);
        rect = QRect(spot.x(), spot.y(), 1, 1);
      } else if (o->kind() == RoiKind::Rect) {
        const BoxGeometry& box = static_cast<const CRectROI&>(*o).box();
        rect = QRect(box.left, box.top, box.width(), box.height());
      }
    }
  });
  return rect;
}

std::optional<RoiKind> ThermalPreview::kindOfObject(int32_t id) const {
  std::optional<RoiKind> kind;
  objects_.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& all) {
    for (const auto& o : all)
      if (o->id() == id) kind = o->kind();
  });
  return kind;
}

void ThermalPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const QRectF area = pictureArea();
  if (!image_.isNull()) painter.drawImage(area, image_);
  painter.setRenderHint(QPainter::Antialiasing);
  const solvane::ViewMapping view = editor_.view();
  auto toWidget = [&](double x, double y) {
    const solvane::ImagePoint v = view.toView(x, y);
    return QPointF(v.x, v.y) + area.topLeft();
  };
  objects_.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& all) {
    for (const auto& o : all) {
      const bool selected = o->editState() != solvane::EditState::Normal;
      const QColor colour = colourOf(o->colour(selected ? RoiColour::Select : RoiColour::Normal));
      painter.setPen(QPen(colour, 2));
      QPointF labelAt;
      if (o->kind() == RoiKind::Spot) {
        const auto& spot = static_cast<const CSpotROI&>(*o);
        const QPointF c = toWidget(spot.x() + 0.5, spot.y() + 0.5);
        painter.drawLine(c - QPointF(6, 0), c + QPointF(6, 0));
        painter.drawLine(c - QPointF(0, 6), c + QPointF(0, 6));
        labelAt = c + QPointF(4, -4);
        // A spot has no handles: the selected one is boxed instead.
        if (selected)
          painter.drawRect(QRectF(c - QPointF(kHandleSide, kHandleSide),
                                  QSizeF(2 * kHandleSide, 2 * kHandleSide)));
      } else {
        const BoxGeometry& box = static_cast<const CRectROI&>(*o).box();
        const QRectF shape(toWidget(box.left, box.top), toWidget(box.right, box.bottom));
        painter.drawRect(shape);
        labelAt = shape.topLeft() + QPointF(3, -3);
      }
      if (selected) {
        painter.setPen(QPen(colour, 1));
        for (const solvane::ImagePoint& h : o->handles()) {
          const QPointF c = toWidget(h.x, h.y);
          painter.drawRect(QRectF(c - QPointF(kHandleSide / 2, kHandleSide / 2),
                                  QSizeF(kHandleSide, kHandleSide)));
        }
      }
      if (!o->name().isEmpty()) painter.drawText(labelAt, o->name());
    }
  });
}

void ThermalPreview::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || dragging_) return;
  updateView();
  dragging_ = true;
  drawing_ = false;
  pressedAt_ = event->position().toPoint();
  const QPointF p = toPicture(event->position());
  const int32_t hit = editor_.objectAt(p.x(), p.y());
  if (hit != 0 && keyOf_.count(hit)) {
    editor_.setTool(solvane::EditTool::Pointer);
    editor_.press(p.x(), p.y());
  } else if (drawnShape_ == DrawnShape::Spot) {
    // The spot is placed at once and follows the mouse until the release.
    editor_.setTool(solvane::EditTool::Spot);
    editor_.press(p.x(), p.y());
  } else {
    // Whether a rectangle is drawn waits for the mouse to leave the click's slack.
    drawing_ = true;
  }
  update();
}

void ThermalPreview::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  if (drawing_ && !editor_.tracking()) {
    if ((event->position().toPoint() - pressedAt_).manhattanLength() <= kClickSlack) return;
    const QPointF start = toPicture(pressedAt_);
    editor_.setTool(solvane::EditTool::Rect);
    editor_.press(start.x(), start.y());
  }
  const QPointF p = toPicture(event->position());
  editor_.move(p.x(), p.y());
  update();
}

void ThermalPreview::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return;
  dragging_ = false;
  const QPointF p = toPicture(event->position());
  const bool click = (event->position().toPoint() - pressedAt_).manhattanLength() <= kClickSlack;
  if (drawing_ && !editor_.tracking()) {
    drawing_ = false;
    if (!click || drawnShape_ == DrawnShape::Rectangle) return;
    // A click where either shape may be drawn places a spot.
    editor_.setTool(solvane::EditTool::Spot);
    editor_.press(p.x(), p.y());
  }
  drawing_ = false;
  const solvane::EditOutcome outcome = editor_.release(p.x(), p.y());
  editor_.setTool(solvane::EditTool::Pointer);
  if (outcome.id == 0) {
    update();
    return;
  }
  const QRect shape = cameraRectOf(outcome.id);
  if (outcome.created) {
    // Kept only if the page takes it for its current entry (setMarks, from the signal).
    pendingCreated_ = outcome.id;
    if (kindOfObject(outcome.id) == RoiKind::Spot)
      emit pointPicked(shape.topLeft());
    else
      emit rectangleDrawn(shape);
    if (pendingCreated_ != 0) objects_.remove(pendingCreated_);
    pendingCreated_ = 0;
  } else if (outcome.changed) {
    if (const auto key = keyOf_.find(outcome.id); key != keyOf_.end())
      emit markChanged(key->second, shape);
  }
  update();
}

}  // namespace analysis
