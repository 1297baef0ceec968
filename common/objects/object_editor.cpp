#include "object_editor.h"

#include "circle_roi.h"
#include "line_roi.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <algorithm>
#include <cmath>

namespace solvane {

namespace {
RoiKind kindOf(EditTool tool) {
  switch (tool) {
    case EditTool::Spot: return RoiKind::Spot;
    case EditTool::Rect: return RoiKind::Rect;
    case EditTool::Ellipse: return RoiKind::Circle;
    case EditTool::Line: return RoiKind::Line;
    default: return RoiKind::Polygon;
  }
}
int32_t pixelOf(double v, int32_t limit) {
  return static_cast<int32_t>(std::clamp(std::floor(v), 0.0, double(std::max(limit - 1, 0))));
}
// Every coordinate that places an object, to tell whether a drag changed it.
std::vector<int32_t> geometryOf(const CObjectROI& o) {
  switch (o.kind()) {
    case RoiKind::Spot: {
      const auto& spot = static_cast<const CSpotROI&>(o);
      return {spot.x(), spot.y()};
    }
    case RoiKind::Rect:
    case RoiKind::Circle: {
      const BoxGeometry& b = o.kind() == RoiKind::Rect ? static_cast<const CRectROI&>(o).box()
                                                       : static_cast<const CCircleROI&>(o).box();
      return {b.left, b.top, b.right, b.bottom};
    }
    case RoiKind::Line: {
      const auto& line = static_cast<const CLineROI&>(o);
      return {line.start().x, line.start().y, line.end().x, line.end().y};
    }
    case RoiKind::Polygon: {
      std::vector<int32_t> all;
      for (const PixelPoint& v : static_cast<const CPolygonROI&>(o).vertices()) {
        all.push_back(v.x);
        all.push_back(v.y);
      }
      return all;
    }
  }
  return {};
}
}  // namespace

void CObjectEditor::setTool(EditTool tool) {
  if (tracking_ == Tracking::PolygonDraw) finishPolygon();
  tool_ = tool;
}

ImagePoint CObjectEditor::clampedImagePoint(double viewX, double viewY) const {
  const ImagePoint p = view_.toImage(viewX, viewY);
  // The cursor is confined to the picture: a point past its edge counts as on the edge.
  return {std::clamp(p.x, 0.0, double(view_.image.width)),
          std::clamp(p.y, 0.0, double(view_.image.height))};
}

CObjectROI* CObjectEditor::active(std::vector<std::unique_ptr<CObjectROI>>& objects) const {
  for (auto& o : objects)
    if (o->id() == activeId_) return o.get();
  return nullptr;
}

void CObjectEditor::startCreate(ImagePoint p) {
  const RoiKind kind = kindOf(tool_);
  if (!objects_.canAdd(kind)) return;
  auto object = numberOnCompletion_ ? CManagerROI::blankObject(kind) : objects_.makeObject(kind);
  const ImageBounds bounds = view_.image;
  const int32_t px = pixelOf(p.x, bounds.width), py = pixelOf(p.y, bounds.height);
  switch (kind) {
    case RoiKind::Spot: static_cast<CSpotROI&>(*object).setPosition(px, py); break;
    case RoiKind::Rect: static_cast<CRectROI&>(*object).setBox({px, py, px + 1, py + 1}); break;
    case RoiKind::Circle: static_cast<CCircleROI&>(*object).setBox({px, py, px + 1, py + 1}); break;
    case RoiKind::Line: static_cast<CLineROI&>(*object).setEnds({px, py}, {px, py}); break;
    case RoiKind::Polygon: {
      const PixelPoint corner{static_cast<int32_t>(std::lround(p.x)),
                              static_cast<int32_t>(std::lround(p.y))};
      // The second vertex follows the mouse until the next press fixes it.
      static_cast<CPolygonROI&>(*object).setVertices({corner, corner});
      break;
    }
  }
  object->clampTo(bounds);
  object->setEditState(EditState::Creating);
  activeId_ = object->id();
  if (!objects_.add(std::move(object))) {
    activeId_ = 0;
    return;
  }
  switch (kind) {
    case RoiKind::Spot: tracking_ = Tracking::Move; break;
    case RoiKind::Line: tracking_ = Tracking::Resize, handle_ = 1; break;
    case RoiKind::Polygon: tracking_ = Tracking::PolygonDraw, handle_ = 1; break;
    default: tracking_ = Tracking::Resize, handle_ = kBottomRight; break;
  }
  lastX_ = px, lastY_ = py;
  creating_ = true;
}

std::pair<int32_t, HitResult> CObjectEditor::hitAt(ImagePoint p) const {
  // The topmost object (drawn last) under the point wins.
  std::pair<int32_t, HitResult> found{0, {}};
  objects_.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    for (auto it = objects.rbegin(); it != objects.rend() && found.first == 0; ++it) {
      const HitResult h = (*it)->hitTest(p, view_);
      if (h.part != HitPart::None) found = {(*it)->id(), h};
    }
  });
  return found;
}

int32_t CObjectEditor::objectAt(double viewX, double viewY) const {
  return hitAt(clampedImagePoint(viewX, viewY)).first;
}

std::vector<int32_t> CObjectEditor::activeGeometry() const {
  std::vector<int32_t> geometry;
  objects_.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    for (const auto& o : objects)
      if (o->id() == activeId_) geometry = geometryOf(*o);
  });
  return geometry;
}

void CObjectEditor::press(double viewX, double viewY) {
  const ImagePoint p = clampedImagePoint(viewX, viewY);
  if (tracking_ == Tracking::PolygonDraw) {
    // Fix the moving vertex and start the next one.
    objects_.withObject(activeId_, [&](CObjectROI& o) {
      auto& polygon = static_cast<CPolygonROI&>(o);
      auto vertices = polygon.vertices();
      if (static_cast<int32_t>(vertices.size()) < CPolygonROI::kMaxVertices)
        vertices.push_back(vertices.back());
      polygon.setVertices(std::move(vertices));
      handle_ = static_cast<int>(polygon.vertices().size()) - 1;
      polygon.resizeHandle(handle_, p, view_.image);
    });
    return;
  }
  if (tool_ != EditTool::Pointer) {
    if (!objects_.locked()) startCreate(p);
    return;
  }
  if (objects_.locked()) return;
  const auto [hitId, hit] = hitAt(p);
  if (hitId == 0) {
    objects_.deselectAll();
    activeId_ = 0;
    return;
  }
  if (!objects_.select(hitId)) return;
  activeId_ = hitId;
  tracking_ = hit.part == HitPart::Handle ? Tracking::Resize : Tracking::Move;
  handle_ = hit.handle;
  creating_ = false;
  geometryAtPress_ = activeGeometry();
  lastX_ = pixelOf(p.x, view_.image.width);
  lastY_ = pixelOf(p.y, view_.image.height);
  objects_.withObject(activeId_, [](CObjectROI& o) { o.setEditState(EditState::Tracking); });
}

void CObjectEditor::move(double viewX, double viewY) {
  if (tracking_ == Tracking::None) return;
  const ImagePoint p = clampedImagePoint(viewX, viewY);
  const int32_t px = pixelOf(p.x, view_.image.width), py = pixelOf(p.y, view_.image.height);
  objects_.withObject(activeId_, [&](CObjectROI& o) {
    switch (tracking_) {
      case Tracking::Move:
        if (o.kind() == RoiKind::Spot)
          o.resizeHandle(-1, p, view_.image);
        else
          o.moveBy(px - lastX_, py - lastY_, view_.image);
        break;
      case Tracking::Resize:
      case Tracking::PolygonDraw: handle_ = o.resizeHandle(handle_, p, view_.image); break;
      default: break;
    }
  });
  lastX_ = px, lastY_ = py;
}

EditOutcome CObjectEditor::release(double viewX, double viewY) {
  if (tracking_ == Tracking::None || tracking_ == Tracking::PolygonDraw) return {};
  move(viewX, viewY);
  tracking_ = Tracking::None;
  objects_.select(activeId_);
  if (creating_) {
    creating_ = false;
    if (numberOnCompletion_) objects_.numberNewObject(activeId_);
    return {activeId_, true, true};
  }
  return {activeId_, false, activeGeometry() != geometryAtPress_};
}

void CObjectEditor::finishPolygon() {
  if (tracking_ != Tracking::PolygonDraw) return;
  tracking_ = Tracking::None;
  bool keep = false;
  objects_.withObject(activeId_, [&](CObjectROI& o) {
    auto& polygon = static_cast<CPolygonROI&>(o);
    auto vertices = polygon.vertices();
    // The vertex that followed the mouse is dropped when it sits on the one before it.
    if (vertices.size() >= 2 && vertices.back() == vertices[vertices.size() - 2])
      vertices.pop_back();
    keep = static_cast<int32_t>(vertices.size()) >= CPolygonROI::kMinVertices;
    polygon.setVertices(std::move(vertices));
  });
  creating_ = false;
  if (keep) {
    if (numberOnCompletion_) objects_.numberNewObject(activeId_);
    objects_.select(activeId_);
  } else {
    objects_.remove(activeId_);
    activeId_ = 0;
  }
}

}  // namespace solvane
