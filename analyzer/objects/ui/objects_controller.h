// The measurement objects in the running analyzer: the measurement stage of the frame
// pipeline, the objects drawn over the view, mouse editing on the view, the Measure menu's
// tools and lock, deleting, "Show Graphics", and saving and loading the object file.
#pragma once

#include "app/notifier.h"
#include "manager_roi.h"
#include "measurement_pass.h"
#include "object_editor.h"
#include "object_file.h"
#include "view/frame_pipeline.h"
#include "view/view_layout.h"

#include <QObject>
#include <QPointF>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPlainTextEdit;

namespace solvane {

class CMainFrame;
class CVynCamSDKDoc;
class CVynCamSDKView;

// The view's picture window as the object editor and painter need it: `origin` is where
// the picture's top-left corner lies in widget pixels.
struct ViewPlacement {
  ViewMapping mapping;
  QPointF origin;
};
// Nothing while no frame has been shown.
std::optional<ViewPlacement> placementOf(const CVynCamSDKView& view, uint16_t width,
                                         uint16_t height);

class ObjectsController : public QObject {
  Q_OBJECT
 public:
  // `rerender` composes the still frame again, so a frozen picture measures changed objects.
  ObjectsController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                    FramePipeline& pipeline, CVynCamSDKView& view, std::function<void()> rerender);

  CManagerROI& objects() { return objects_; }
  CObjectEditor& editor() { return editor_; }
  // The last measurement published (also found in every composed frame).
  std::shared_ptr<const MeasurementResult> latestMeasurements() const { return pass_.latest(); }

  // Called on the measuring thread after every pass over a new frame (not a re-render of a
  // still one), in the order added; add before frames flow.
  using MeasurementObserver = std::function<void(const MeasurementResult&)>;
  void addMeasurementObserver(MeasurementObserver observer) {
    observers_.push_back(std::move(observer));
  }

  // The context menu offers "Local Emissivity..." for the selected object when an editor
  // is given (the controls own the dialog).
  void setLocalEnvironmentEditor(std::function<void(int32_t objectId)> editor) {
    localEnvironmentEditor_ = std::move(editor);
  }

  void chooseTool(EditTool tool);
  void setLocked(bool locked);
  void setShowGraphics(bool show);
  bool showGraphics() const { return showGraphics_; }
  // Whether objects in alarm are drawn in their alarm colours now (the alarm's display
  // choice, and the off beats of its flashing).
  void setAlarmColours(bool on);
  bool alarmColours() const { return alarmColours_; }
  // Objects are locked while no camera is connected and unlocked by a new connection, whose
  // frames may differ from the last one's: cached conversions are dropped.
  void linkChanged(bool connected);
  void deleteSelected();
  void deleteKind(RoiKind kind);
  void deleteAll();

  // The file commands without their dialogs; messages go to the notifier and output pane.
  ObjectFileOutcome saveTo(const std::filesystem::path& path);
  ObjectFileOutcome loadFrom(const std::filesystem::path& path);
  QPlainTextEdit* outputPane() const { return output_; }

 signals:
  // After a change to the list (added, removed, loaded): graphs and alarms refresh.
  void objectsChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void bindCommands();
  // The label font and colours of the settings ("FONT_*") for every object.
  void applyLabelFont();
  void showContext();
  void changed();
  bool measure(FrameContext& context);
  void paint(QPainter& painter, const ComposedFrame& frame, const PictureRect& rect);
  void output(const QString& line);
  std::optional<ViewPlacement> placement() const;
  void showContextMenu(QPoint at);

  CMainFrame& frame_;
  CVynCamSDKDoc& document_;
  Notifier& notifier_;
  FramePipeline& pipeline_;
  CVynCamSDKView& view_;
  std::function<void()> rerender_;
  CManagerROI objects_;
  CObjectEditor editor_{objects_};
  MeasurementPass pass_;   // pipeline thread only (its runs are serialised)
  uint64_t measured_ = 0;  // pipeline thread only
  std::vector<MeasurementObserver> observers_;
  std::function<void(int32_t)> localEnvironmentEditor_;
  std::atomic<int32_t> unit_{0};  // the temperature unit of labels, set by the window
  std::atomic<bool> pictureSeen_{false};
  std::atomic<bool> measureAfresh_{false};  // set by the window, taken by the pipeline
  bool showGraphics_ = true;
  bool alarmColours_ = true;
  bool picture_ = false;
  QPlainTextEdit* output_ = nullptr;
};

}  // namespace solvane
