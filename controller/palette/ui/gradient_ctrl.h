// The gradient control: shows a gradient and lets the user select, drag, add and delete
// its pegs with the mouse and the keyboard. It reports what happened to the page.
#pragma once

#include <QWidget>
#include <string>

#include "palette/gradient.h"
#include "palette/ui/gradient_ctrl_impl.h"

namespace tessor {

class CGradientCtrl : public QWidget {
  Q_OBJECT

 public:
  // The gradient belongs to the page and outlives the control.
  explicit CGradientCtrl(CGradient& gradient, QWidget* parent = nullptr);

  int selectedIndex() const { return selected_; }
  void setSelectedIndex(int index);
  PegSide pegSide() const { return impl_.pegSide(); }
  void setPegSide(PegSide side);
  bool tooltipsShown() const { return tooltipsShown_; }
  void setTooltipsShown(bool on) { tooltipsShown_ = on; }
  void setTooltipTemplate(std::string pattern) { tooltipTemplate_ = std::move(pattern); }
  // The drawing part, laid out for the control's current size (a hidden widget is resized
  // without a resize event).
  const CGradientCtrlImpl& impl() const {
    impl_.setArea(rect());
    return impl_;
  }

  QSize sizeHint() const override { return QSize(360, 56); }

 signals:
  void selectionChanged(int index);
  void pegMoving(int index);
  void pegMoved(int index);
  void addPegRequested(unsigned colour, float position);
  void pegDoubleClicked(int index);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void moveSelectedTo(float position);
  // The page may change the gradient under the control: a selection past the last peg is
  // dropped rather than acted on.
  void forgetStaleSelection();
  void showTooltip(const QPoint& local, const QPoint& global);

  CGradient& gradient_;
  mutable CGradientCtrlImpl impl_;
  int selected_ = kPegNone;
  bool dragging_ = false;
  bool moved_ = false;
  bool tooltipsShown_ = true;
  std::string tooltipTemplate_;
};

}  // namespace tessor
