#include "manager_roi.h"

#include "circle_roi.h"
#include "line_roi.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <algorithm>

namespace solvane {

namespace {
// 0x00BBGGRR. Each class cycles through strong colours that read well on every palette, in
// a different order per class so that neighbouring objects of two classes differ.
constexpr std::array<ColourTriple, 8> kRectColours{{{0x00FFFF, 0xFFFFFF, 0x00FFFF},
                                                    {0x00FF00, 0xFFFFFF, 0x00FF00},
                                                    {0xFFFF00, 0xFFFFFF, 0xFFFF00},
                                                    {0xFF00FF, 0xFFFFFF, 0xFF00FF},
                                                    {0x0080FF, 0xFFFFFF, 0x0080FF},
                                                    {0xFF8000, 0xFFFFFF, 0xFF8000},
                                                    {0x80FF80, 0xFFFFFF, 0x80FF80},
                                                    {0xC0C0C0, 0xFFFFFF, 0xC0C0C0}}};
constexpr std::array<ColourTriple, 8> kCircleColours{{{0x00FF00, 0xFFFFFF, 0x00FF00},
                                                      {0xFFFF00, 0xFFFFFF, 0xFFFF00},
                                                      {0xFF00FF, 0xFFFFFF, 0xFF00FF},
                                                      {0x00FFFF, 0xFFFFFF, 0x00FFFF},
                                                      {0xFF8000, 0xFFFFFF, 0xFF8000},
                                                      {0x0080FF, 0xFFFFFF, 0x0080FF},
                                                      {0xC0C0C0, 0xFFFFFF, 0xC0C0C0},
                                                      {0x80FF80, 0xFFFFFF, 0x80FF80}}};
constexpr std::array<ColourTriple, 8> kLineColours{{{0xFFFF00, 0xFFFFFF, 0xFFFF00},
                                                    {0xFF00FF, 0xFFFFFF, 0xFF00FF},
                                                    {0x00FFFF, 0xFFFFFF, 0x00FFFF},
                                                    {0x00FF00, 0xFFFFFF, 0x00FF00},
                                                    {0xC0C0C0, 0xFFFFFF, 0xC0C0C0},
                                                    {0x80FF80, 0xFFFFFF, 0x80FF80},
                                                    {0x0080FF, 0xFFFFFF, 0x0080FF},
                                                    {0xFF8000, 0xFFFFFF, 0xFF8000}}};
constexpr std::array<ColourTriple, 8> kPolygonColours{{{0xFF00FF, 0xFFFFFF, 0xFF00FF},
                                                       {0x00FFFF, 0xFFFFFF, 0x00FFFF},
                                                       {0x00FF00, 0xFFFFFF, 0x00FF00},
                                                       {0xFFFF00, 0xFFFFFF, 0xFFFF00},
                                                       {0x80FF80, 0xFFFFFF, 0x80FF80},
                                                       {0xC0C0C0, 0xFFFFFF, 0xC0C0C0},
                                                       {0xFF8000, 0xFFFFFF, 0xFF8000},
                                                       {0x0080FF, 0xFFFFFF, 0x0080FF}}};
constexpr std::array<std::array<uint32_t, 2>, 8> kSpotColours{{{0xFFFFFF, 0x00FFFF},
                                                               {0x00FFFF, 0xFFFFFF},
                                                               {0x00FF00, 0xFFFFFF},
                                                               {0xFFFF00, 0xFFFFFF},
                                                               {0xFF00FF, 0xFFFFFF},
                                                               {0x0080FF, 0xFFFFFF},
                                                               {0xFF8000, 0xFFFFFF},
                                                               {0x80FF80, 0xFFFFFF}}};

const char* defaultNameFormat(RoiKind kind) {
  switch (kind) {
    case RoiKind::Spot: return "Spot %d";
    case RoiKind::Rect: return "Rect %d";
    case RoiKind::Circle: return "Circ %d";
    case RoiKind::Line: return "Line %d";
    case RoiKind::Polygon: return "Poly %d";
  }
  return "Object %d";
}
}  // namespace

const std::array<ColourTriple, 8>& areaColourTable(RoiKind kind) {
  switch (kind) {
    case RoiKind::Circle: return kCircleColours;
    case RoiKind::Line: return kLineColours;
    case RoiKind::Polygon: return kPolygonColours;
    default: return kRectColours;
  }
}

const std::array<std::array<uint32_t, 2>, 8>& spotColourTable() { return kSpotColours; }

CManagerROI::CManagerROI() = default;

std::unique_ptr<CObjectROI> CManagerROI::blankObject(RoiKind kind) {
  switch (kind) {
    case RoiKind::Spot: return std::make_unique<CSpotROI>();
    case RoiKind::Rect: return std::make_unique<CRectROI>();
    case RoiKind::Circle: return std::make_unique<CCircleROI>();
    case RoiKind::Line: return std::make_unique<CLineROI>();
    case RoiKind::Polygon: return std::make_unique<CPolygonROI>();
  }
  return std::make_unique<CRectROI>();
}

std::unique_ptr<CObjectROI> CManagerROI::makeObject(RoiKind kind) {
  std::unique_ptr<CObjectROI> object = blankObject(kind);
  std::lock_guard lock(objectLock_);
  stampLocked(*object);
  return object;
}

bool CManagerROI::numberNewObject(int32_t id) {
  std::lock_guard lock(objectLock_);
  for (auto& object : objects_) {
    if (object->id() != id) continue;
    stampLocked(*object);
    return true;
  }
  return false;
}

void CManagerROI::stampLocked(CObjectROI& object) {
  const RoiKind kind = object.kind();
  const auto k = static_cast<size_t>(kind);
  const int32_t number = ++nameCounters_[k];
  object.setNumber(number);
  object.setName(QString::asprintf(defaultNameFormat(kind), number));
  const auto entry = static_cast<size_t>(colourIndex_[k]);
  colourIndex_[k] = (colourIndex_[k] + 1) % 8;
  if (kind == RoiKind::Spot) {
    object.setColour(RoiColour::Normal, kSpotColours[entry][0]);
    object.setColour(RoiColour::Select, kSpotColours[entry][1]);
  } else {
    const ColourTriple& c = areaColourTable(kind)[entry];
    object.setColour(RoiColour::Normal, c.normal);
    object.setColour(RoiColour::Select, c.select);
    object.setColour(RoiColour::Tracker, c.tracker);
  }
  object.setFont(font_);
  object.setColour(RoiColour::NormalText, textColour_);
  object.setColour(RoiColour::ShadowText, shadowColour_);
}

bool CManagerROI::add(std::unique_ptr<CObjectROI> object) {
  if (!object) return false;
  std::lock_guard lock(objectLock_);
  const bool spot = isSpot(object->kind());
  if (spot ? spots_ >= spotLimit_ : areas_ >= areaLimit_) return false;
  ++(spot ? spots_ : areas_);
  if (locked_) object->setEditState(EditState::Normal);
  objects_.push_back(std::move(object));
  return true;
}

int32_t CManagerROI::replaceAll(std::vector<std::unique_ptr<CObjectROI>> objects) {
  std::vector<std::unique_ptr<CObjectROI>> kept;
  kept.reserve(objects.size());
  std::lock_guard lock(objectLock_);
  int32_t spots = 0, areas = 0, dropped = 0;
  for (auto& object : objects) {
    if (!object) continue;
    const bool spot = isSpot(object->kind());
    if (spot ? spots >= spotLimit_ : areas >= areaLimit_) {
      ++dropped;
      continue;
    }
    ++(spot ? spots : areas);
    object->setLocked(locked_);
    object->setEditState(EditState::Normal);
    kept.push_back(std::move(object));
  }
  objects_.swap(kept);
  spots_ = spots;
  areas_ = areas;
  selected_ = 0;
  return dropped;
}

bool CManagerROI::remove(int32_t id) {
  std::lock_guard lock(objectLock_);
  const auto it =
      std::find_if(objects_.begin(), objects_.end(), [id](const auto& o) { return o->id() == id; });
  if (it == objects_.end()) return false;
  --(isSpot((*it)->kind()) ? spots_ : areas_);
  if (selected_ == id) selected_ = 0;
  objects_.erase(it);
  return true;
}

void CManagerROI::clear() {
  std::lock_guard lock(objectLock_);
  objects_.clear();
  spots_ = areas_ = 0;
  selected_ = 0;
}

void CManagerROI::removeKind(RoiKind kind) {
  std::lock_guard lock(objectLock_);
  // From the end, as the list is drawn front to back.
  for (auto it = objects_.end(); it != objects_.begin();) {
    --it;
    if ((*it)->kind() != kind) continue;
    --(isSpot(kind) ? spots_ : areas_);
    if (selected_ == (*it)->id()) selected_ = 0;
    it = objects_.erase(it);
  }
}

int32_t CManagerROI::spotCount() const {
  std::lock_guard lock(objectLock_);
  return spots_;
}
int32_t CManagerROI::areaCount() const {
  std::lock_guard lock(objectLock_);
  return areas_;
}
int32_t CManagerROI::size() const {
  std::lock_guard lock(objectLock_);
  return static_cast<int32_t>(objects_.size());
}
void CManagerROI::setLimits(int32_t spots, int32_t areas) {
  std::lock_guard lock(objectLock_);
  spotLimit_ = std::max(spots, 0);
  areaLimit_ = std::max(areas, 0);
}
int32_t CManagerROI::spotLimit() const {
  std::lock_guard lock(objectLock_);
  return spotLimit_;
}
int32_t CManagerROI::areaLimit() const {
  std::lock_guard lock(objectLock_);
  return areaLimit_;
}
bool CManagerROI::canAdd(RoiKind kind) const {
  std::lock_guard lock(objectLock_);
  return isSpot(kind) ? spots_ < spotLimit_ : areas_ < areaLimit_;
}

bool CManagerROI::select(int32_t id) {
  std::lock_guard lock(objectLock_);
  if (locked_) return false;
  CObjectROI* chosen = nullptr;
  for (auto& o : objects_)
    if (o->id() == id) chosen = o.get();
  if (!chosen) return false;
  for (auto& o : objects_) o->setEditState(EditState::Normal);
  chosen->setEditState(EditState::Selected);
  selected_ = id;
  return true;
}

void CManagerROI::deselectAll() {
  std::lock_guard lock(objectLock_);
  for (auto& o : objects_) o->setEditState(EditState::Normal);
  selected_ = 0;
}

int32_t CManagerROI::selectedId() const {
  std::lock_guard lock(objectLock_);
  return selected_;
}

void CManagerROI::setLocked(bool locked) {
  std::lock_guard lock(objectLock_);
  locked_ = locked;
  for (auto& o : objects_) o->setLocked(locked);
  if (locked) {
    for (auto& o : objects_) o->setEditState(EditState::Normal);
    selected_ = 0;
  }
}

bool CManagerROI::locked() const {
  std::lock_guard lock(objectLock_);
  return locked_;
}

void CManagerROI::setLabelFont(const LabelFont& font, uint32_t textColour, uint32_t shadowColour) {
  std::lock_guard lock(objectLock_);
  font_ = font;
  textColour_ = textColour & 0xFFFFFFu;
  shadowColour_ = shadowColour & 0xFFFFFFu;
  // Labels are one look for the whole picture: the objects already placed follow the new
  // font and colours at once instead of keeping the look they were made with.
  for (const std::unique_ptr<CObjectROI>& object : objects_) {
    object->setFont(font_);
    object->setColour(RoiColour::NormalText, textColour_);
    object->setColour(RoiColour::ShadowText, shadowColour_);
  }
}

LabelFont CManagerROI::labelFont() const {
  std::lock_guard lock(objectLock_);
  return font_;
}

void CManagerROI::withObjects(
    const std::function<void(std::vector<std::unique_ptr<CObjectROI>>&)>& visit) {
  std::lock_guard lock(objectLock_);
  visit(objects_);
}

void CManagerROI::withObjects(
    const std::function<void(const std::vector<std::unique_ptr<CObjectROI>>&)>& visit) const {
  std::lock_guard lock(objectLock_);
  visit(objects_);
}

bool CManagerROI::withObject(int32_t id, const std::function<void(CObjectROI&)>& visit) {
  std::lock_guard lock(objectLock_);
  for (auto& o : objects_) {
    if (o->id() == id) {
      visit(*o);
      return true;
    }
  }
  return false;
}

std::vector<std::unique_ptr<CObjectROI>> CManagerROI::snapshot() const {
  std::lock_guard lock(objectLock_);
  std::vector<std::unique_ptr<CObjectROI>> copies;
  copies.reserve(objects_.size());
  for (const auto& o : objects_) copies.push_back(o->clone());
  return copies;
}

}  // namespace solvane
