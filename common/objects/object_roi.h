// The base of every measurement object: the fields all kinds share (name, id, edit state,
// colours, display flags, plot function, alarm and generation records, local environment,
// label font, last statistics) and the interface each shape implements in its own file.
#pragma once

#include "roi_types.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace solvane {

// Statistics of the last measurement pass, in degrees Celsius.
struct RoiStatistics {
  bool valid = false;
  float minTemp = 0, maxTemp = 0, avgTemp = 0, stdDev = 0;
  int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
};

struct LabelFont {
  QString face = QStringLiteral("Arial");
  int32_t size = 11;
};

class CObjectROI {
 public:
  using SpanSink = std::function<void(const PixelSpan&)>;

  virtual ~CObjectROI() = default;
  CObjectROI(const CObjectROI&) = delete;
  CObjectROI& operator=(const CObjectROI&) = delete;

  virtual RoiKind kind() const = 0;
  virtual std::unique_ptr<CObjectROI> clone() const = 0;

  // Geometry. Every operation keeps the object inside `bounds`.
  virtual HitResult hitTest(ImagePoint point, const ViewMapping& view) const = 0;
  virtual void moveBy(int32_t dx, int32_t dy, const ImageBounds& bounds) = 0;
  // Moves handle `handle` to `point`; returns the handle that is now under the point (a box
  // dragged over its opposite side turns inside out and its handles swap).
  virtual int resizeHandle(int handle, ImagePoint point, const ImageBounds& bounds) = 0;
  // Pulls the object inside `bounds`; true when anything had to change.
  virtual bool clampTo(const ImageBounds& bounds) = 0;
  virtual std::vector<ImagePoint> handles() const = 0;

  // The pixels the statistics read, row by row from the top, columns ascending.
  virtual void forEachSpan(const ImageBounds& bounds, const SpanSink& sink) const = 0;
  // The per-pixel test the spans are made of.
  virtual bool contains(int32_t x, int32_t y) const = 0;
  // The coordinate part of the coordinate label, e.g. "[ 10, 20]".
  virtual QString coordinateText() const = 0;

  // Shared fields.
  const QString& name() const { return name_; }
  void setName(const QString& name) { name_ = name; }
  int32_t id() const { return id_; }
  // The number of the default name and of the short name ("Sp%d" / "Ar%d").
  int32_t number() const { return number_; }
  void setNumber(int32_t number) { number_ = number; }
  QString shortName() const;
  EditState editState() const { return editState_; }
  void setEditState(EditState state) { editState_ = state; }

  uint32_t colour(RoiColour which) const { return colours_[static_cast<int>(which)]; }
  void setColour(RoiColour which, uint32_t bgr) {
    colours_[static_cast<int>(which)] = bgr & 0xFFFFFFu;
  }

  bool showLabel() const { return showLabel_; }
  void setShowLabel(bool on) { showLabel_ = on; }
  bool showHot() const { return showHot_; }
  void setShowHot(bool on) { showHot_ = on; }
  bool showCold() const { return showCold_; }
  void setShowCold(bool on) { showCold_ = on; }
  bool showTemperature() const { return showTemperature_; }
  void setShowTemperature(bool on) { showTemperature_ = on; }
  bool locked() const { return locked_; }
  void setLocked(bool on) { locked_ = on; }

  int32_t plotFunction() const { return plotFunction_; }
  void setPlotFunction(int32_t function) { plotFunction_ = function; }
  // The statistic the single-value label and the trend show.
  Statistic shownStatistic() const;

  const AlarmRecord& alarm() const { return alarm_; }
  // The id of the record always names this object.
  void setAlarm(const AlarmRecord& record);
  const GenerationRecord& generation() const { return generation_; }
  void setGeneration(const GenerationRecord& record) { generation_ = record; }
  bool generationAlarm() const { return generationAlarm_; }
  void setGenerationAlarm(bool on) { generationAlarm_ = on; }

  bool localEnvironmentOn() const { return localEnvironmentOn_; }
  void setLocalEnvironmentOn(bool on) { localEnvironmentOn_ = on; }
  const EnvParams& localEnvironment() const { return localEnvironment_; }
  void setLocalEnvironment(const EnvParams& env) { localEnvironment_ = env; }
  // The local environment when its flag is on, else the global one.
  EnvParams environmentFor(const EnvParams& global) const {
    return localEnvironmentOn_ ? localEnvironment_ : global;
  }

  const LabelFont& font() const { return font_; }
  void setFont(const LabelFont& font) { font_ = font; }

  const RoiStatistics& statistics() const { return statistics_; }
  void setStatistics(const RoiStatistics& stats) { statistics_ = stats; }

 protected:
  CObjectROI();
  // Copies every shared field and takes a new id: a clone is another object.
  void copySharedFrom(const CObjectROI& other);

 private:
  // The run's one source of object ids: alarm tables and graphs tell objects apart by them,
  // so no two objects of a run may share one, whichever list made them.
  static std::atomic<int32_t> nextId_;

  QString name_;
  int32_t id_;
  int32_t number_ = 0;
  EditState editState_ = EditState::Normal;
  std::array<uint32_t, kRoiColourCount> colours_{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                                 0xFFFFFF, 0x1E1E1E, 0xFFFFFF, 0x0000FF};
  bool showLabel_ = true;
  bool showHot_ = false;
  bool showCold_ = false;
  bool showTemperature_ = false;
  bool locked_ = false;
  int32_t plotFunction_ = 0;
  AlarmRecord alarm_;
  GenerationRecord generation_;
  bool generationAlarm_ = false;
  bool localEnvironmentOn_ = false;
  EnvParams localEnvironment_{1.0f, 1.0f, 1.0f, 1.0f};
  LabelFont font_;
  RoiStatistics statistics_;
};

// Helpers the shapes share.
namespace roi_geometry {
// Distance from a point to a segment, in image pixels, scaled per axis by the view so the
// tolerance is the same number of device pixels on both axes.
double viewDistanceToSegment(ImagePoint p, ImagePoint a, ImagePoint b, const ViewMapping& view);
// True when `p` lies within a handle square of `sizeDevice` device pixels centred on `h`.
bool onHandle(ImagePoint p, ImagePoint h, double sizeDevice, const ViewMapping& view);
int32_t clampInt(int64_t value, int32_t low, int32_t high);
}  // namespace roi_geometry

}  // namespace solvane
