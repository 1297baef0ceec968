#include "roi_labels.h"

namespace solvane {

namespace {
char unitLetter(TempUnit unit) {
  switch (unit) {
    case TempUnit::Fahrenheit: return 'F';
    case TempUnit::Kelvin: return 'K';
    default: return 'C';
  }
}
constexpr const char* kDegreeSign = "\xC2\xB0";

QByteArray nameBytes(const CObjectROI& object) { return object.name().toUtf8(); }
}  // namespace

QString degreeText(TempUnit unit) {
  return QString::fromUtf8(kDegreeSign) + QLatin1Char(unitLetter(unit));
}

float inUnit(float celsius, TempUnit unit) {
  switch (unit) {
    case TempUnit::Fahrenheit: return ConvertCelsToFah(celsius);
    case TempUnit::Kelvin: return ConvertCelToKel(celsius);
    default: return celsius;
  }
}

QString coordinateLabel(const CObjectROI& object) {
  if (!object.showLabel()) return object.coordinateText();
  return object.name() + QLatin1Char(' ') + object.coordinateText();
}

QString temperatureLabel(const CObjectROI& object, const RoiStatistics& stats, TempUnit unit) {
  if (!stats.valid) return coordinateLabel(object);
  const char letter = unitLetter(unit);
  const QByteArray name = nameBytes(object);
  const bool named = object.showLabel();
  if (object.kind() != RoiKind::Spot && object.showHot() && object.showCold()) {
    const double hot = inUnit(stats.maxTemp, unit), cold = inUnit(stats.minTemp, unit);
    return named ? QString::asprintf("%s [%.1f%s%c %.1f%s%c]", name.constData(), hot, kDegreeSign,
                                     letter, cold, kDegreeSign, letter)
                 : QString::asprintf("[%.1f%s%c %.1f%s%c]", hot, kDegreeSign, letter, cold,
                                     kDegreeSign, letter);
  }
  float celsius = stats.avgTemp;
  switch (object.shownStatistic()) {
    case Statistic::Min: celsius = stats.minTemp; break;
    case Statistic::Max: celsius = stats.maxTemp; break;
    default: break;
  }
  const double value = inUnit(celsius, unit);
  return named ? QString::asprintf("%s [%.1f%s%c]", name.constData(), value, kDegreeSign, letter)
               : QString::asprintf("[%.1f%s%c]", value, kDegreeSign, letter);
}

QString labelText(const CObjectROI& object, const RoiStatistics& stats, TempUnit unit) {
  if (object.editState() != EditState::Normal) return coordinateLabel(object);
  return temperatureLabel(object, stats, unit);
}

}  // namespace solvane
