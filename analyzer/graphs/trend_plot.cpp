#include "graphs/trend_plot.h"

#include "controls/refusal.h"

#include <algorithm>
#include <cstdio>

namespace solvane::graphs {

float plottedValue(const ObjectSample& sample) {
  switch (static_cast<PlotFunction>(sample.plotFunction)) {
    case PlotFunction::Minimum: return sample.minimum;
    case PlotFunction::Maximum: return sample.maximum;
    case PlotFunction::Average: return sample.average;
    case PlotFunction::Value: break;
  }
  return sample.value;
}

RangeCheck checkRange(const RangeFields& fields) {
  double values[4] = {};
  const std::string* texts[4] = {&fields.xMin, &fields.xMax, &fields.yMin, &fields.yMax};
  for (int i = 0; i < 4; ++i)
    if (!controls::parseDecimal(*texts[i], values[i]))
      return {std::nullopt, std::string(controls::refusalText(controls::Refusal::NotANumber))};
  const PlotRange range{values[0], values[1], values[2], values[3]};
  if (!(range.xMin < range.xMax) || !(range.yMin < range.yMax))
    return {std::nullopt, std::string(kRangeOrderText)};
  return {range, {}};
}

RangeFields fieldsOf(const PlotRange& range) {
  auto text = [](double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
    return std::string(buffer);
  };
  return {text(range.xMin), text(range.xMax), text(range.yMin), text(range.yMax)};
}

std::filesystem::path exportBitmapPath(const std::filesystem::path& saveFolder,
                                       const std::tm& localTime) {
  char name[64];
  std::snprintf(name, sizeof name, "IRP_%04d%02d%02d%02d%02d%02d.bmp", localTime.tm_year + 1900,
                localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min,
                localTime.tm_sec);
  return saveFolder / name;
}

TrendPlot::TrendPlot(TrendMode mode, size_t history) : mode_(mode), history_(history) {
  if (mode_ == TrendMode::HotCold) {
    series_.push_back(TrendSeries{0, std::string(kHotName), kHotColour, RingSeries(history_)});
    series_.push_back(TrendSeries{1, std::string(kColdName), kColdColour, RingSeries(history_)});
  }
}

std::string_view TrendPlot::caption() const {
  return mode_ == TrendMode::HotCold ? kHotColdCaption : kTimePlotCaption;
}

const TrendSeries* TrendPlot::find(int32_t key) const {
  for (const auto& s : series_)
    if (s.key == key) return &s;
  return nullptr;
}

void TrendPlot::addObject(int32_t objectId, std::string name, uint32_t colour) {
  if (mode_ != TrendMode::TimePlot || find(objectId)) return;
  series_.push_back(
      TrendSeries{objectId, std::move(name), colour & 0xFFFFFFu, RingSeries(history_)});
}

void TrendPlot::removeObject(int32_t objectId) {
  if (mode_ != TrendMode::TimePlot) return;
  std::erase_if(series_, [&](const TrendSeries& s) { return s.key == objectId; });
}

void TrendPlot::removeAllObjects() {
  if (mode_ == TrendMode::TimePlot) series_.clear();
}

void TrendPlot::appendObjects(double seconds, const std::vector<ObjectSample>& samples,
                              controls::Unit unit) {
  if (!plotting_ || mode_ != TrendMode::TimePlot) return;
  for (const auto& sample : samples)
    for (auto& s : series_)
      if (s.key == sample.objectId)
        s.points.push({seconds, controls::toDisplay(plottedValue(sample), unit)});
}

void TrendPlot::appendHotCold(double seconds, float hotCelsius, float coldCelsius,
                              controls::Unit unit) {
  if (!plotting_ || mode_ != TrendMode::HotCold) return;
  series_[0].points.push({seconds, controls::toDisplay(hotCelsius, unit)});
  series_[1].points.push({seconds, controls::toDisplay(coldCelsius, unit)});
}

void TrendPlot::clearPoints() {
  for (auto& s : series_) s.points.clear();
}

PlotRange TrendPlot::shownRange() const {
  if (!autoRange_) return range_;
  std::optional<Extent> x, y;
  for (const auto& s : series_) {
    if (s.points.empty()) continue;
    const Extent sx{s.points.at(0).seconds, s.points.newest().seconds};
    const Extent sy = *s.points.valueExtent();
    x = x ? Extent{std::min(x->low, sx.low), std::max(x->high, sx.high)} : sx;
    y = y ? Extent{std::min(y->low, sy.low), std::max(y->high, sy.high)} : sy;
  }
  if (!x) return range_;
  PlotRange shown;
  shown.xMin = x->low;
  shown.xMax = x->high > x->low ? x->high : x->low + 1.0;
  // A little room above and below so a flat line does not sit on the frame.
  const double margin = std::max((y->high - y->low) * 0.05, 0.5);
  shown.yMin = y->low - margin;
  shown.yMax = y->high + margin;
  return shown;
}

}  // namespace solvane::graphs
