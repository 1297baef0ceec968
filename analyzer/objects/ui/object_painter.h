// Draws the measurement objects over the view's picture: each shape in its colour (the
// selection colour while selected, the alarm colours while in alarm), its handles while
// selected, its hot and cold markers, and its label as text over a shadow.
#pragma once

#include "manager_roi.h"

#include <QColor>
#include <QImage>
#include <QPainter>

namespace solvane {

struct PaintOptions {
  TempUnit unit = TempUnit::Celsius;
  bool alarmColours = true;  // "ALARM_DISP": objects in alarm use their alarm colours
};

// 0x00BBGGRR as a colour.
QColor colourOf(uint32_t bgr);

// Paints in view pixels: `painter` covers the picture window of `view`.
void paintObject(QPainter& painter, const CObjectROI& object, const ViewMapping& view,
                 const PaintOptions& options);
void paintObjects(QPainter& painter, const CManagerROI& objects, const ViewMapping& view,
                  const PaintOptions& options);
// The objects over a copy of `picture` scaled to the view.
QImage composeObjects(const QImage& picture, const CManagerROI& objects, const ViewMapping& view,
                      const PaintOptions& options);

}  // namespace solvane
