// The trend panes' model: the time plot (one series per measurement object, plotting the
// statistic the object chose) and the hot/cold plot ("Hot" red, "Cold" blue). It holds the
// stored ranges, auto range, the start/stop state and a bounded history per series; the panes
// draw it.
#pragma once

#include "controls/unit_text.h"
#include "graphs/ring_series.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace solvane::graphs {

enum class TrendMode { TimePlot, HotCold };

inline constexpr std::string_view kTimePlotCaption = "Time Plot";
inline constexpr std::string_view kHotColdCaption = "Hot/Cold Plot";
inline constexpr std::string_view kYAxisTitle = "Temperature";
inline constexpr std::string_view kXAxisTitle = "Second";
inline constexpr std::string_view kYLabelFormat = "%.2f";
inline constexpr std::string_view kXLabelFormat = "%.3f";
inline constexpr uint32_t kGridColour = 0x969696;  // 0xRRGGBB
inline constexpr uint32_t kPlotAreaColour = 0xFFFFFF;
inline constexpr uint32_t kHotColour = 0xFF0000;
inline constexpr uint32_t kColdColour = 0x0000FF;
inline constexpr std::string_view kHotName = "Hot";
inline constexpr std::string_view kColdName = "Cold";

// Context menu of the trend panes.
inline constexpr std::string_view kStartText = "&Start";
inline constexpr std::string_view kStopText = "&Stop";
inline constexpr std::string_view kAutoRangeText = "&Auto Range";
inline constexpr std::string_view kRangeSettingText = "Range Setting";
inline constexpr std::string_view kExportBitmapText = "&Export (Bitmap)";
inline constexpr std::string_view kPropertiesText = "Properties...";

inline constexpr std::string_view kRangeOrderText = "The minimum value is less than maximum value.";
inline constexpr std::string_view kRangeOrderTitle = "Warning";

// Points kept per series: at 30 measurement passes a second, a little over two minutes.
inline constexpr size_t kDefaultHistory = 4096;

struct PlotRange {
  double xMin = 0.0;
  double xMax = 10.0;
  double yMin = -1000.0;
  double yMax = 1000.0;
  bool operator==(const PlotRange&) const = default;
};

// Which statistic an object's series follows (the object's plot function).
enum class PlotFunction : int32_t { Value = 0, Minimum = 1, Maximum = 2, Average = 3 };

// One object's statistics of one measurement pass, degrees Celsius.
struct ObjectSample {
  int32_t objectId = 0;
  int32_t plotFunction = 0;
  float value = 0;  // a spot's temperature
  float minimum = 0;
  float maximum = 0;
  float average = 0;
};
float plottedValue(const ObjectSample& sample);

struct TrendSeries {
  int32_t key;  // object id; 0 "Hot", 1 "Cold" in the hot/cold plot
  std::string name;
  uint32_t colour;  // 0xRRGGBB
  RingSeries points;
};

// The texts of the range dialog's four fields, checked before they replace the range.
struct RangeFields {
  std::string xMin, xMax, yMin, yMax;
};
struct RangeCheck {
  std::optional<PlotRange> range;  // set when accepted
  std::string message;             // why not, otherwise
};
RangeCheck checkRange(const RangeFields& fields);
RangeFields fieldsOf(const PlotRange& range);

// "<folder>/IRP_YYYYMMDDhhmmss.bmp" for the given local time.
std::filesystem::path exportBitmapPath(const std::filesystem::path& saveFolder,
                                       const std::tm& localTime);

class TrendPlot {
 public:
  explicit TrendPlot(TrendMode mode, size_t history = kDefaultHistory);

  TrendMode mode() const { return mode_; }
  std::string_view caption() const;
  const std::vector<TrendSeries>& series() const { return series_; }
  const TrendSeries* find(int32_t key) const;

  // Measurement objects come and go with the object list.
  void addObject(int32_t objectId, std::string name, uint32_t colour);
  void removeObject(int32_t objectId);
  void removeAllObjects();

  // Points at `seconds` since the plot started; ignored while stopped. Values in Celsius are
  // shown in `unit`.
  void appendObjects(double seconds, const std::vector<ObjectSample>& samples, controls::Unit unit);
  void appendHotCold(double seconds, float hotCelsius, float coldCelsius, controls::Unit unit);
  // Empties every series and restarts the clock of the x axis.
  void clearPoints();

  bool plotting() const { return plotting_; }
  void setPlotting(bool on) { plotting_ = on; }
  std::string_view startStopText() const { return plotting_ ? kStopText : kStartText; }
  bool rangeSettingEnabled() const { return !plotting_; }
  bool autoRange() const { return autoRange_; }
  void setAutoRange(bool on) { autoRange_ = on; }

  const PlotRange& storedRange() const { return range_; }
  void setStoredRange(const PlotRange& range) { range_ = range; }
  // What the axes show: the stored range, or with auto range the extent of the data.
  PlotRange shownRange() const;

 private:
  TrendMode mode_;
  size_t history_;
  std::vector<TrendSeries> series_;
  bool plotting_ = true;
  bool autoRange_ = false;
  PlotRange range_;
};

}  // namespace solvane::graphs
