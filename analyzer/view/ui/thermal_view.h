// The thermal view: paints the last composed frame scaled into its picture window (turned for
// mirror and flip) with the hot and cold markers, the time stamp, the status text and the
// colour scale column, double-buffered on the 50 ms display timer; reads out the mouse.
#pragma once

#include "view/frame_pipeline.h"
#include "view/view_layout.h"

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QScrollBar;

namespace solvane {

struct ViewOptions {
  float zoom = 1.0f;
  bool mirror = false;
  bool flip = false;
  bool hot = false;
  bool cold = false;
  bool showTemp = true;
  bool timeStamp = true;
  int32_t unit = 0;
};

class CVynCamSDKView : public QWidget {
  Q_OBJECT
 public:
  explicit CVynCamSDKView(FramePipeline& pipeline, QWidget* parent = nullptr);

  void setOptions(const ViewOptions& options);
  const ViewOptions& options() const { return options_; }
  void setStatusText(const QString& text);
  QString statusText() const { return status_; }
  void setPaletteColours(const std::array<uint8_t, 768>& palette);

  // The 50 ms display timer (runs while live).
  void startDisplayTimer() { timer_.start(); }
  void stopDisplayTimer() { timer_.stop(); }
  bool displayTimerActive() const { return timer_.isActive(); }
  uint64_t paintedFrames() const { return paintedFrame_; }
  int paintCount() const { return paints_; }

  PictureRect pictureRect() const;
  // Where the picture may paint: never over the colour scale or the scroll bars.
  PictureArea pictureArea() const;
  // Shows, hides and sizes the scroll bars for the picture's size now.
  void refreshScrollBars();
  QScrollBar* horizontalScrollBar() const { return hBar_; }
  QScrollBar* verticalScrollBar() const { return vBar_; }
  // The image pixel under a widget position; nothing before the first frame.
  std::optional<ImagePixel> imagePointAt(QPoint position) const;
  // The composed picture as shown (turned, with markers): the clipboard's image.
  QImage composedPicture() const;
  void copyToClipboard();
  // Drawn over the picture after the markers (also into the clipboard's image); `rect` is
  // where the picture lies in the painter.
  using Overlay = std::function<void(QPainter&, const ComposedFrame&, const PictureRect&)>;
  void setOverlay(Overlay overlay) { overlay_ = std::move(overlay); }

 signals:
  // Mouse read-out: image pixel, display value and temperature (Celsius) when known.
  void mouseRead(int x, int y, int intensity, std::optional<float> celsius);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void tick();
  void drawScene(QPainter& painter, const ComposedFrame& frame, const PictureRect& rect) const;
  // The picture turned for mirror and flip, the hot and cold markers and the time stamp.
  void drawPicture(QPainter& painter, const ComposedFrame& frame, const PictureRect& rect) const;

  FramePipeline& pipeline_;
  ViewOptions options_;
  QString status_;
  QTimer timer_;
  uint64_t paintedFrame_ = 0;
  std::pair<uint16_t, uint16_t> shownSize_{0, 0};  // the frame size the scroll bars fit
  int paints_ = 0;
  std::array<uint8_t, 768> palette_{};
  QImage buffer_;
  QScrollBar* hBar_ = nullptr;
  QScrollBar* vBar_ = nullptr;
  Overlay overlay_;
};

}  // namespace solvane
