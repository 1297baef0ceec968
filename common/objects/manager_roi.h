// The ordered list of measurement objects (drawing order), their counts and limits, the
// selection, the lock against editing and the label font of new objects. Its object lock is
// taken by every change and by every measurement pass.
#pragma once

#include "object_roi.h"

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace solvane {

class CManagerROI {
 public:
  static constexpr int32_t kDefaultSpotLimit = 30;
  static constexpr int32_t kDefaultAreaLimit = 30;

  CManagerROI();

  // A new object of `kind` with its class's next default name ("Spot %d", "Rect %d", ...),
  // its class's next colours and the manager's label font. Not yet in the list.
  std::unique_ptr<CObjectROI> makeObject(RoiKind kind);
  // The two halves of makeObject, for owners that number an object only once its creation
  // is complete: a bare object of `kind` with the default fields, and the stamp that gives
  // the object in the list with `id` its class's next number, name, colours and font.
  static std::unique_ptr<CObjectROI> blankObject(RoiKind kind);
  bool numberNewObject(int32_t id);

  // Appends; false (object dropped) when the limit of its group is reached.
  bool add(std::unique_ptr<CObjectROI> object);
  // Puts `objects` in place of the whole list in one step, so a measurement pass sees the
  // old list or the new one, never a mix; objects beyond the limits are dropped (returned).
  int32_t replaceAll(std::vector<std::unique_ptr<CObjectROI>> objects);
  bool remove(int32_t id);
  void clear();
  // Removes every object of one kind.
  void removeKind(RoiKind kind);

  int32_t spotCount() const;
  int32_t areaCount() const;
  int32_t size() const;
  void setLimits(int32_t spots, int32_t areas);
  int32_t spotLimit() const;
  int32_t areaLimit() const;
  bool canAdd(RoiKind kind) const;

  // Selection: one object at a time; refused while locked.
  bool select(int32_t id);
  void deselectAll();
  int32_t selectedId() const;  // 0 when none

  // Locking deselects every object.
  void setLocked(bool locked);
  bool locked() const;

  void setLabelFont(const LabelFont& font, uint32_t textColour, uint32_t shadowColour);
  LabelFont labelFont() const;

  // Runs `visit` over the list under the object lock. The list may be read and changed in
  // place (geometry, fields) but not grown or shrunk from inside.
  void withObjects(const std::function<void(std::vector<std::unique_ptr<CObjectROI>>&)>& visit);
  void withObjects(
      const std::function<void(const std::vector<std::unique_ptr<CObjectROI>>&)>& visit) const;
  // Runs `visit` on one object under the lock; false when no object has that id.
  bool withObject(int32_t id, const std::function<void(CObjectROI&)>& visit);

  // Copies of the objects (new ids), for code that must not hold the lock for long.
  std::vector<std::unique_ptr<CObjectROI>> snapshot() const;

 private:
  bool isSpot(RoiKind kind) const { return kind == RoiKind::Spot; }
  // Takes the class's next number and colours; the object lock is held by the caller.
  void stampLocked(CObjectROI& object);

  // Guards every field below: the list, counts, selection, lock flag and font.
  mutable std::mutex objectLock_;
  std::vector<std::unique_ptr<CObjectROI>> objects_;
  int32_t spots_ = 0;
  int32_t areas_ = 0;
  int32_t spotLimit_ = kDefaultSpotLimit;
  int32_t areaLimit_ = kDefaultAreaLimit;
  int32_t selected_ = 0;
  bool locked_ = false;
  LabelFont font_;
  uint32_t textColour_ = 0xFFFFFF;
  uint32_t shadowColour_ = 0x1E1E1E;
  // Per class (index = kind code): the number of the next default name and the next entry
  // of the class's colour table.
  std::array<int32_t, 6> nameCounters_{};
  std::array<int32_t, 6> colourIndex_{};
};

// The colour triples (normal, select, tracker) of rectangles, ellipses, lines and polygons,
// and the marker pairs (normal, select) of spots, taken in turn by new objects.
struct ColourTriple {
  uint32_t normal, select, tracker;
};
const std::array<ColourTriple, 8>& areaColourTable(RoiKind kind);
const std::array<std::array<uint32_t, 2>, 8>& spotColourTable();

}  // namespace solvane
