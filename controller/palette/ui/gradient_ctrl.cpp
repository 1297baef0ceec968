#include "palette/ui/gradient_ctrl.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "palette/tooltip_text.h"

namespace tessor {

namespace {
constexpr float kPageStep = 0.1f;
constexpr float kArrowStep = 0.025f;
}  // namespace

CGradientCtrl::CGradientCtrl(CGradient& gradient, QWidget* parent)
    : QWidget(parent), gradient_(gradient), tooltipTemplate_(kDefaultTooltipTemplate) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setMinimumSize(120, 40);
  setAccessibleName("Gradient");
  setAccessibleDescription("Double Click to Add a New Peg");
  impl_.setArea(rect());
}

void CGradientCtrl::setSelectedIndex(int index) {
  selected_ = index;
  update();
}

void CGradientCtrl::setPegSide(PegSide side) {
  impl_.setPegSide(side);
  update();
}

void CGradientCtrl::resizeEvent(QResizeEvent* event) {
  impl_.setArea(rect());
  QWidget::resizeEvent(event);
}

void CGradientCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  impl().paint(painter, gradient_, selected_, hasFocus());
}

bool CGradientCtrl::event(QEvent* event) {
  // Tab selects the next peg here instead of moving the focus on.
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (tooltipsShown_) {
      showTooltip(help->pos(), help->globalPos());
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QWidget::event(event);
}

void CGradientCtrl::showTooltip(const QPoint& local, const QPoint& global) {
  const int index = impl().pegAt(gradient_, local);
  float position = impl().positionAt(local.x());
  ColourRef colour = gradient_.colourAt(position);
  if (index != kPegNone) {
    const CPeg peg = gradient_.peg(index);
    position = index == kPegEnd ? 1.0f : index == kPegStart ? 0.0f : peg.position;
    colour = peg.colour;
  }
  QToolTip::showText(
      global, QString::fromStdString(formatTooltip(tooltipTemplate_, position, colour)), this);
}

void CGradientCtrl::forgetStaleSelection() {
  if (selected_ >= gradient_.pegCount()) selected_ = kPegNone;
}

void CGradientCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  const int hit = impl().pegAt(gradient_, event->position().toPoint());
  if (hit != selected_) {
    selected_ = hit;
    emit selectionChanged(selected_);
  }
  dragging_ = selected_ >= 0;
  moved_ = false;
  update();
}

void CGradientCtrl::mouseMoveEvent(QMouseEvent* event) {
  forgetStaleSelection();
  if (!dragging_ || selected_ < 0) return;
  const CPeg peg = gradient_.peg(selected_);
  selected_ =
      gradient_.setPeg(selected_, peg.colour, impl().positionAt(event->position().toPoint().x()));
  moved_ = true;
  emit pegMoving(selected_);
  update();
}

void CGradientCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (dragging_ && moved_) emit pegMoved(selected_);
  dragging_ = false;
  moved_ = false;
}

void CGradientCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint point = event->position().toPoint();
  const int hit = impl().pegAt(gradient_, point);
  if (hit != kPegNone) {
    emit pegDoubleClicked(hit);
    return;
  }
  if (!impl()
           .barRect()
           .adjusted(0, -CGradientCtrlImpl::kMarkerHeight, 0, CGradientCtrlImpl::kMarkerHeight)
           .contains(point))
    return;
  const float position = impl().positionAt(point.x());
  emit addPegRequested(gradient_.colourAt(position), position);
}

void CGradientCtrl::moveSelectedTo(float position) {
  if (selected_ < 0) return;  // the fixed pegs stay where they are
  const CPeg peg = gradient_.peg(selected_);
  selected_ = gradient_.setPeg(selected_, peg.colour, std::clamp(position, 0.0f, 1.0f));
  emit pegMoved(selected_);
  update();
}

void CGradientCtrl::keyPressEvent(QKeyEvent* event) {
  forgetStaleSelection();
  const float current = selected_ >= 0 ? gradient_.peg(selected_).position : 0.0f;
  switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      if (selected_ >= 0) {
        gradient_.removePeg(selected_);
        selected_ = kPegNone;
        emit selectionChanged(selected_);
        update();
      }
      break;
    case Qt::Key_Tab:
      if (gradient_.pegCount() > 0) {
        selected_ = selected_ >= 0 && selected_ + 1 < gradient_.pegCount() ? selected_ + 1 : 0;
        emit selectionChanged(selected_);
        update();
      }
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (selected_ != kPegNone) emit pegDoubleClicked(selected_);
      break;
    case Qt::Key_PageUp: moveSelectedTo(current - kPageStep); break;
    case Qt::Key_PageDown: moveSelectedTo(current + kPageStep); break;
    case Qt::Key_Home: moveSelectedTo(0.0f); break;
    case Qt::Key_End: moveSelectedTo(1.0f); break;
    case Qt::Key_Left:
    case Qt::Key_Up: moveSelectedTo(current - kArrowStep); break;
    case Qt::Key_Right:
    case Qt::Key_Down: moveSelectedTo(current + kArrowStep); break;
    case Qt::Key_Insert: {
      float position = 0.5f;
      if (selected_ >= 0) position = current;
      if (selected_ == kPegStart) position = 0.0f;
      if (selected_ == kPegEnd) position = 1.0f;
      emit addPegRequested(gradient_.colourAt(position), position);
      break;
    }
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

}  // namespace tessor
