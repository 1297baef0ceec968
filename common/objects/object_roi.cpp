#include "object_roi.h"

#include <algorithm>
#include <cmath>

namespace solvane {

std::optional<RoiKind> roiKindFromCode(int32_t code) {
  if (code >= 1 && code <= 5) return static_cast<RoiKind>(code);
  return std::nullopt;
}

bool environmentChanged(const EnvParams& env) {
  // Products in single precision, truncated toward zero; a value that does not fit an
  // integer (not a number, or huge) can never equal the default, so it counts as changed.
  auto hundredfold = [](float value) -> std::optional<int64_t> {
    const float product = value * 100.0f;
    if (!std::isfinite(product) || std::fabs(product) > 1e15f) return std::nullopt;
    return static_cast<int64_t>(product);
  };
  const auto e = hundredfold(env.emissivity);
  const auto t = hundredfold(env.atmosphericTemp);
  const auto tau = hundredfold(env.transmission);
  return !e || !t || !tau || *e != 95 || *t != 2000 || *tau != 100;
}

ImagePoint ViewMapping::toImage(double viewX, double viewY) const {
  const double zx = zoomX > 0 ? zoomX : 1.0;
  const double zy = zoomY > 0 ? zoomY : 1.0;
  if (mirror) viewX = image.width * zx - viewX;
  if (flip) viewY = image.height * zy - viewY;
  return {viewX / zx, viewY / zy};
}

ImagePoint ViewMapping::toView(double imageX, double imageY) const {
  const double zx = zoomX > 0 ? zoomX : 1.0;
  const double zy = zoomY > 0 ? zoomY : 1.0;
  double vx = imageX * zx, vy = imageY * zy;
  if (mirror) vx = image.width * zx - vx;
  if (flip) vy = image.height * zy - vy;
  return {vx, vy};
}

double ViewMapping::imageUnitsX(double devicePixels) const {
  const double zx = zoomX > 0 ? zoomX : 1.0;
  return std::max(devicePixels / zx, 0.5);
}

double ViewMapping::imageUnitsY(double devicePixels) const {
  const double zy = zoomY > 0 ? zoomY : 1.0;
  return std::max(devicePixels / zy, 0.5);
}

std::atomic<int32_t> CObjectROI::nextId_{1};

CObjectROI::CObjectROI() : id_(nextId_.fetch_add(1)) { alarm_.id = id_; }

void CObjectROI::copySharedFrom(const CObjectROI& other) {
  const int32_t id = id_;
  name_ = other.name_;
  number_ = other.number_;
  editState_ = other.editState_;
  colours_ = other.colours_;
  showLabel_ = other.showLabel_;
  showHot_ = other.showHot_;
  showCold_ = other.showCold_;
  showTemperature_ = other.showTemperature_;
  locked_ = other.locked_;
  plotFunction_ = other.plotFunction_;
  alarm_ = other.alarm_;
  alarm_.id = id;
  generation_ = other.generation_;
  generationAlarm_ = other.generationAlarm_;
  localEnvironmentOn_ = other.localEnvironmentOn_;
  localEnvironment_ = other.localEnvironment_;
  font_ = other.font_;
  statistics_ = other.statistics_;
}

QString CObjectROI::shortName() const {
  return QString::asprintf(kind() == RoiKind::Spot ? "Sp%d" : "Ar%d", number_);
}

Statistic CObjectROI::shownStatistic() const {
  if (kind() == RoiKind::Spot) return Statistic::Value;
  switch (plotFunction_) {
    case 1: return Statistic::Min;
    case 2: return Statistic::Max;
    default: return Statistic::Average;  // an area's "value" is its mean
  }
}

void CObjectROI::setAlarm(const AlarmRecord& record) {
  alarm_ = record;
  alarm_.id = id_;
}

namespace roi_geometry {

double viewDistanceToSegment(ImagePoint p, ImagePoint a, ImagePoint b, const ViewMapping& view) {
  const double zx = view.zoomX > 0 ? view.zoomX : 1.0;
  const double zy = view.zoomY > 0 ? view.zoomY : 1.0;
  // In device units, where the tolerance is stated.
  const double px = p.x * zx, py = p.y * zy;
  const double ax = a.x * zx, ay = a.y * zy, bx = b.x * zx, by = b.y * zy;
  const double dx = bx - ax, dy = by - ay;
  const double lengthSquared = dx * dx + dy * dy;
  double t = 0;
  if (lengthSquared > 0)
    t = std::clamp(((px - ax) * dx + (py - ay) * dy) / lengthSquared, 0.0, 1.0);
  const double cx = ax + t * dx - px, cy = ay + t * dy - py;
  return std::sqrt(cx * cx + cy * cy);
}

bool onHandle(ImagePoint p, ImagePoint h, double sizeDevice, const ViewMapping& view) {
  return std::fabs(p.x - h.x) <= view.imageUnitsX(sizeDevice / 2) &&
         std::fabs(p.y - h.y) <= view.imageUnitsY(sizeDevice / 2);
}

int32_t clampInt(int64_t value, int32_t low, int32_t high) {
  if (high < low) high = low;
  return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
}

}  // namespace roi_geometry
}  // namespace solvane
