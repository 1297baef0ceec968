// Turns mouse presses, moves and releases over the view (view pixels, with zoom, mirror and
// flip) into creating, selecting, moving and resizing objects of a manager. The mouse is
// held inside the image while a button is down, and every object stays inside it.
#pragma once

#include "manager_roi.h"

#include <utility>
#include <vector>

namespace solvane {

enum class EditTool { Pointer, Spot, Rect, Ellipse, Line, Polygon };

// What a press-to-release gesture did: which object it created or tracked, and whether that
// object's geometry differs from before the press (a creation always counts as a change).
struct EditOutcome {
  int32_t id = 0;
  bool created = false;
  bool changed = false;
  bool operator==(const EditOutcome&) const = default;
};

class CObjectEditor {
 public:
  explicit CObjectEditor(CManagerROI& objects) : objects_(objects) {}

  void setView(const ViewMapping& view) { view_ = view; }
  const ViewMapping& view() const { return view_; }
  // Choosing a tool ends any polygon being drawn.
  void setTool(EditTool tool);
  EditTool tool() const { return tool_; }

  // Left button only; other buttons and keys are not the editor's business while tracking.
  void press(double viewX, double viewY);
  void move(double viewX, double viewY);
  EditOutcome release(double viewX, double viewY);
  // Ends the polygon being drawn (double click); fewer than three vertices remove it.
  void finishPolygon();

  // The topmost object under a view point, whether or not it may be selected; 0 for none.
  int32_t objectAt(double viewX, double viewY) const;

  // Off (the default): a new object takes its class's number and colours when it is made,
  // at the press. On: only when its creation ends (the release, or the polygon's finish), so
  // a creation given up or refused uses no number.
  void setNumberingOnCompletion(bool on) { numberOnCompletion_ = on; }

  bool tracking() const { return tracking_ != Tracking::None; }
  int32_t activeId() const { return activeId_; }

 private:
  enum class Tracking { None, Create, Move, Resize, PolygonDraw };

  ImagePoint clampedImagePoint(double viewX, double viewY) const;
  std::pair<int32_t, HitResult> hitAt(ImagePoint p) const;
  std::vector<int32_t> activeGeometry() const;
  void startCreate(ImagePoint p);
  CObjectROI* active(std::vector<std::unique_ptr<CObjectROI>>& objects) const;

  CManagerROI& objects_;
  ViewMapping view_;
  EditTool tool_ = EditTool::Pointer;
  Tracking tracking_ = Tracking::None;
  int32_t activeId_ = 0;
  int handle_ = -1;
  int32_t lastX_ = 0, lastY_ = 0;  // image pixel of the last move while moving
  bool numberOnCompletion_ = false;
  bool creating_ = false;
  std::vector<int32_t> geometryAtPress_;
};

}  // namespace solvane
