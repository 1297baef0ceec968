// Turns mouse presses, moves and releases over the view (view pixels, with zoom, mirror and
// flip) into creating, selecting, moving and resizing objects of a manager. The mouse is
// held inside the image while a button is down, and every object stays inside it.
#pragma once

#include "manager_roi.h"

namespace solvane {

enum class EditTool { Pointer, Spot, Rect, Ellipse, Line, Polygon };

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
  void release(double viewX, double viewY);
  // Ends the polygon being drawn (double click); fewer than three vertices remove it.
  void finishPolygon();

  bool tracking() const { return tracking_ != Tracking::None; }
  int32_t activeId() const { return activeId_; }

 private:
  enum class Tracking { None, Create, Move, Resize, PolygonDraw };

  ImagePoint clampedImagePoint(double viewX, double viewY) const;
  void startCreate(ImagePoint p);
  CObjectROI* active(std::vector<std::unique_ptr<CObjectROI>>& objects) const;

  CManagerROI& objects_;
  ViewMapping view_;
  EditTool tool_ = EditTool::Pointer;
  Tracking tracking_ = Tracking::None;
  int32_t activeId_ = 0;
  int handle_ = -1;
  int32_t lastX_ = 0, lastY_ = 0;  // image pixel of the last move while moving
};

}  // namespace solvane
