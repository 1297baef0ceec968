// The texts drawn beside an object: its coordinates while it is being edited, its
// temperatures otherwise, each with or without the object's name.
#pragma once

#include "object_roi.h"

#include <QString>

namespace solvane {

// "°C", "°F" or "°K": the degree sign and the unit letter.
QString degreeText(TempUnit unit);
// A Celsius value in the unit.
float inUnit(float celsius, TempUnit unit);

QString coordinateLabel(const CObjectROI& object);
// Hot and cold when both markers are on, else the object's chosen statistic; a spot shows
// its value. Falls back to the coordinates while there is no measurement.
QString temperatureLabel(const CObjectROI& object, const RoiStatistics& stats, TempUnit unit);
// The label of the object's current state: coordinates while edited, temperatures else.
QString labelText(const CObjectROI& object, const RoiStatistics& stats, TempUnit unit);

}  // namespace solvane
