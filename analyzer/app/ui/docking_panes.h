// The dockable panes of the main window. Each is a named pane with its caption; the
// camera-control pane already shows the camera address and the image-control pane the
// company logo, the rest of their contents arrives with the parts that use them.
#pragma once

#include <QDockWidget>
#include <QLabel>
#include <QUrl>

#include <functional>

class QLineEdit;

namespace solvane {

struct PaneName {
  const char* objectName;
  const char* caption;
};

inline constexpr PaneName kCameraControlPane{"CameraControlPane", "Camera Control"};
inline constexpr PaneName kImageControlPane{"ImageControlPane", "Image Control"};
inline constexpr PaneName kPlayControlPane{"PlayControlPane", "Play Control"};
inline constexpr PaneName kChartViewPane{"ChartViewPane", "Chart View"};
inline constexpr PaneName kHotColdPlotPane{"HotColdPlotPane", "Hot/Cold Plot View"};
inline constexpr PaneName kHistogramPane{"HistogramPane", "Histogram View"};
inline constexpr PaneName kOutputPane{"OutputPane", "Output"};

inline constexpr PaneName kAllPanes[] = {kCameraControlPane, kImageControlPane, kPlayControlPane,
                                         kChartViewPane,     kHotColdPlotPane,  kHistogramPane,
                                         kOutputPane};

using UrlOpener = std::function<bool(const QUrl&)>;

// A pane whose body later work replaces with setWidget.
QDockWidget* makePane(const PaneName& name, QWidget* parent);

// The picture that opens the company's web link when clicked.
class LogoLabel : public QLabel {
  Q_OBJECT
 public:
  LogoLabel(const QPixmap& picture, QUrl link, UrlOpener opener, QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QUrl link_;
  UrlOpener opener_;
};

}  // namespace solvane
