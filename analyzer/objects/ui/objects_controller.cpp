#include "objects_controller.h"

#include "app/commands.h"
#include "app/ui/docking_panes.h"
#include "app/ui/main_frame.h"
#include "app/vyn_cam_sdk_doc.h"
#include "object_painter.h"
#include "view/ui/thermal_view.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

#include <algorithm>
#include <bit>
#include <utility>

namespace solvane {
namespace {

struct KindChoice {
  RoiKind kind;
  const char* text;
  const char* objectName;
};
constexpr KindChoice kDeleteKinds[] = {
    {RoiKind::Spot, "Delete All Spots", "actionDeleteSpots"},
    {RoiKind::Rect, "Delete All Rectangles", "actionDeleteRectangles"},
    {RoiKind::Circle, "Delete All Ellipses", "actionDeleteEllipses"},
    {RoiKind::Line, "Delete All Lines", "actionDeleteLines"},
    {RoiKind::Polygon, "Delete All Polygons", "actionDeletePolygons"},
};

TempUnit unitOf(int32_t setting) { return static_cast<TempUnit>(std::clamp(setting, 0, 2)); }

}  // namespace

std::optional<ViewPlacement> placementOf(const CVynCamSDKView& view, uint16_t width,
                                         uint16_t height) {
  if (width == 0 || height == 0) return std::nullopt;
  const PictureRect rect = view.pictureRect();
  ViewMapping mapping;
  mapping.image = {width, height};
  mapping.zoomX = rect.zoomX;
  mapping.zoomY = rect.zoomY;
  mapping.mirror = view.options().mirror;
  mapping.flip = view.options().flip;
  return ViewPlacement{mapping, QPointF(rect.x, rect.y)};
}

ObjectsController::ObjectsController(CMainFrame& frame, CVynCamSDKDoc& document, Notifier& notifier,
                                     FramePipeline& pipeline, CVynCamSDKView& view,
                                     std::function<void()> rerender)
    : QObject(&frame),
      frame_(frame),
      document_(document),
      notifier_(notifier),
      pipeline_(pipeline),
      view_(view),
      rerender_(std::move(rerender)) {
  unit_ = static_cast<int32_t>(unitOf(document_.settings().tempUnit));
  // The pipeline runs on the thread that delivered the frame: the measurement never holds
  // up the window, which only paints the objects' last statistics.
  pipeline_.attach(StageSlot::Measure, [this](FrameContext& c) { return measure(c); });
  view_.setOverlay([this](QPainter& painter, const ComposedFrame& composed,
                          const PictureRect& rect) { paint(painter, composed, rect); });
  view_.installEventFilter(this);
  view_.setFocusPolicy(Qt::ClickFocus);

  if (QDockWidget* pane = frame_.pane(kOutputPane)) {
    output_ = pane->findChild<QPlainTextEdit*>();
    if (!output_) {
      output_ = new QPlainTextEdit(pane);
      output_->setObjectName("outputText");
      output_->setReadOnly(true);
      pane->setWidget(output_);
    }
    output_->setAccessibleName("Output messages");
  }
  bindCommands();
  applyLabelFont();
  connect(&frame_, &CMainFrame::settingsChanged, this, [this] {
    applyLabelFont();
    view_.update();
  });
  showContext();
}

void ObjectsController::applyLabelFont() {
  const AnalyzerSettings& s = document_.settings();
  objects_.setLabelFont(LabelFont{QString::fromStdString(s.fontName), s.fontSize},
                        static_cast<uint32_t>(s.fontColor1), static_cast<uint32_t>(s.fontColor2));
}

void ObjectsController::bindCommands() {
  for (size_t i = 0; i < kEditTools.size(); ++i)
    frame_.bind(kEditTools[i], this,
                [this, i](bool) { chooseTool(static_cast<EditTool>(static_cast<int>(i))); });
  frame_.bind(Command::RoiLock, this, [this](bool checked) { setLocked(checked); });
  frame_.bind(Command::ShowGraphics, this, [this](bool checked) { setShowGraphics(checked); });
  frame_.bind(Command::SaveObjects, this, [this](bool) {
    QString path = QFileDialog::getSaveFileName(&frame_, "Save Objects", {},
                                                "XML Files (*.xml);;All Files (*.*)");
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".") + kDefaultExtension;
    saveTo(path.toStdString());
  });
  frame_.bind(Command::LoadObjects, this, [this](bool) {
    const QString path =
        QFileDialog::getOpenFileName(&frame_, "Load Objects", {}, "XML Files (*.xml)");
    if (!path.isEmpty()) loadFrom(path.toStdString());
  });
}

void ObjectsController::showContext() {
  frame_.updateCommandContext([this](CommandContext& c) {
    c.picture = picture_;
    c.editTool = static_cast<int32_t>(editor_.tool());
    c.roiLocked = objects_.locked();
    c.showGraphics = showGraphics_;
  });
}

void ObjectsController::changed() {
  view_.update();
  if (rerender_) rerender_();
  emit objectsChanged();
}

void ObjectsController::chooseTool(EditTool tool) {
  const bool drawing = editor_.tracking();
  editor_.setTool(tool);
  if (drawing) changed();  // a polygon being drawn was ended (or dropped)
  showContext();
}

void ObjectsController::setLocked(bool locked) {
  objects_.setLocked(locked);
  view_.update();
  showContext();
}

void ObjectsController::setShowGraphics(bool show) {
  showGraphics_ = show;
  view_.update();
  showContext();
}

void ObjectsController::setAlarmColours(bool on) {
  if (on == alarmColours_) return;
  alarmColours_ = on;
  view_.update();
}

void ObjectsController::linkChanged(bool connected) {
  if (connected) measureAfresh_ = true;
  setLocked(!connected);
}

void ObjectsController::deleteSelected() {
  if (editor_.tracking()) return;
  const int32_t id = objects_.selectedId();
  if (id != 0 && objects_.remove(id)) changed();
}

void ObjectsController::deleteKind(RoiKind kind) {
  if (editor_.tracking()) return;
  objects_.removeKind(kind);
  changed();
}

void ObjectsController::deleteAll() {
  if (editor_.tracking()) return;
  objects_.clear();
  changed();
}

void ObjectsController::output(const QString& line) {
  if (output_) output_->appendPlainText(line);
}

ObjectFileOutcome ObjectsController::saveTo(const std::filesystem::path& path) {
  const auto [w, h] = pipeline_.frameSize();
  const ObjectFileOutcome outcome =
      saveObjects(path, objects_, w, h, [this](const QString& line) { output(line); });
  if (outcome.ok())
    notifier_.tell(kObjectsSavedText);
  else
    notifier_.tell(outcome.message.toStdString(), outcome.title.toStdString(), Severity::Warning);
  return outcome;
}

ObjectFileOutcome ObjectsController::loadFrom(const std::filesystem::path& path) {
  if (editor_.tracking()) editor_.setTool(editor_.tool());  // ends a polygon being drawn
  const auto [w, h] = pipeline_.frameSize();
  const ObjectFileOutcome outcome =
      loadObjects(path, objects_, w, h, [this](const QString& line) { output(line); });
  if (!outcome.ok()) {
    notifier_.tell(outcome.message.toStdString(), outcome.title.toStdString(), Severity::Warning);
    return outcome;
  }
  changed();
  return outcome;
}

bool ObjectsController::measure(FrameContext& c) {
  MeasurementFrame f;
  f.frame = &c.frame;
  f.width = c.width;
  f.height = c.height;
  f.table = c.input.table;
  // A range change refills the same table: its limits tell the tables apart.
  f.tableRevision = (static_cast<uint64_t>(std::bit_cast<uint32_t>(c.input.rangeMin)) << 32) |
                    std::bit_cast<uint32_t>(c.input.rangeMax);
  f.env = c.input.env;
  f.frameNumber = ++measured_;
  if (measureAfresh_.exchange(false)) pass_.restart();
  c.out.measurements = pass_.run(f, objects_, static_cast<TempUnit>(unit_.load()));
  if (c.out.measurements && !c.replay)
    for (const MeasurementObserver& observer : observers_) observer(*c.out.measurements);
  if (!pictureSeen_.exchange(true))
    QMetaObject::invokeMethod(
        this,
        [this] {
          picture_ = true;
          showContext();
        },
        Qt::QueuedConnection);
  return true;
}

void ObjectsController::paint(QPainter& painter, const ComposedFrame& composed,
                              const PictureRect& rect) {
  // The unit is read here, on the window's thread, and handed to the next passes.
  const TempUnit unit = unitOf(document_.settings().tempUnit);
  unit_ = static_cast<int32_t>(unit);
  if (!showGraphics_ || composed.width == 0 || composed.height == 0) return;
  ViewMapping mapping;
  mapping.image = {composed.width, composed.height};
  mapping.zoomX = rect.zoomX;
  mapping.zoomY = rect.zoomY;
  mapping.mirror = view_.options().mirror;
  mapping.flip = view_.options().flip;
  painter.translate(rect.x, rect.y);
  painter.setClipRect(QRect(0, 0, rect.width, rect.height), Qt::IntersectClip);
  paintObjects(painter, objects_, mapping, PaintOptions{unit, alarmColours_});
}

std::optional<ViewPlacement> ObjectsController::placement() const {
  const auto [w, h] = pipeline_.frameSize();
  return placementOf(view_, w, h);
}

void ObjectsController::showContextMenu(QPoint at) {
  QMenu menu(&view_);
  menu.setObjectName("objectMenu");
  menu.setAccessibleName("Measurement objects");
  QAction* selected = menu.addAction("Delete Selected Object");
  selected->setObjectName("actionDeleteSelected");
  selected->setEnabled(objects_.selectedId() != 0);
  connect(selected, &QAction::triggered, this, &ObjectsController::deleteSelected);
  if (localEnvironmentEditor_) {
    QAction* local = menu.addAction("Local Emissivity...");
    local->setObjectName("actionLocalEmissivity");
    const int32_t id = objects_.selectedId();
    local->setEnabled(id != 0);
    connect(local, &QAction::triggered, this, [this, id] { localEnvironmentEditor_(id); });
  }
  menu.addSeparator();
  for (const KindChoice& choice : kDeleteKinds) {
    QAction* action = menu.addAction(choice.text);
    action->setObjectName(choice.objectName);
    connect(action, &QAction::triggered, this, [this, kind = choice.kind] { deleteKind(kind); });
  }
  QAction* all = menu.addAction("Delete All Objects");
  all->setObjectName("actionDeleteAll");
  all->setEnabled(objects_.size() > 0);
  connect(all, &QAction::triggered, this, &ObjectsController::deleteAll);
  menu.exec(view_.mapToGlobal(at));
}

bool ObjectsController::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &view_ || !showGraphics_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const auto place = placement();
      if (!place) return false;
      const QPointF p = mouse->position() - place->origin;
      editor_.setView(place->mapping);
      if (event->type() == QEvent::MouseMove) {
        // The read-out of the view goes on while an object follows the mouse.
        if (editor_.tracking()) {
          editor_.move(p.x(), p.y());
          view_.update();
        }
        return false;
      }
      // Other buttons are not the editor's business, and are swallowed while it tracks.
      if (mouse->button() != Qt::LeftButton) return editor_.tracking();
      if (event->type() == QEvent::MouseButtonPress) {
        editor_.press(p.x(), p.y());
        view_.update();
      } else if (event->type() == QEvent::MouseButtonDblClick) {
        if (editor_.tool() == EditTool::Polygon && editor_.tracking()) {
          editor_.finishPolygon();
          changed();
        }
      } else if (editor_.tracking()) {
        editor_.release(p.x(), p.y());
        if (!editor_.tracking()) changed();
      }
      return true;
    }
    case QEvent::KeyPress: {
      if (editor_.tracking()) return true;  // keys do nothing while an object is moved
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Delete) {
        deleteSelected();
        return true;
      }
      return false;
    }
    case QEvent::ContextMenu:
      if (!editor_.tracking()) showContextMenu(static_cast<QContextMenuEvent*>(event)->pos());
      return true;
    default: return false;
  }
}

}  // namespace solvane
