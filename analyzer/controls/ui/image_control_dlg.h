// The image control pane: the level/span read-out of the current window, the quick controls of
// the mapping (automatic window, palette, invert) and the kernel sizes of the blur filters.
#pragma once

#include "controls/unit_text.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace solvane::controls {

enum class BlurKernel { Box = 0, Stack = 1 };

// Palette names in menu index order.
const std::array<const char*, 13>& paletteNames();

class CImageControlDlg : public QWidget {
  Q_OBJECT
 public:
  explicit CImageControlDlg(QWidget* parent = nullptr);

  // The window the view shows now: level and span in Celsius, shown in the unit.
  void showWindow(float levelCelsius, float spanCelsius, Unit unit);
  void setAutomatic(bool automatic);
  void setPalette(int index, bool invert);
  void setKernelSize(BlurKernel kernel, int size);

  QLabel* windowLabel() const { return window_; }
  QCheckBox* automaticBox() const { return automatic_; }
  QComboBox* paletteBox() const { return palette_; }
  QCheckBox* invertBox() const { return invert_; }
  QSlider* kernelSlider(BlurKernel kernel) const { return sliders_[static_cast<size_t>(kernel)]; }
  QLabel* kernelLabel(BlurKernel kernel) const { return labels_[static_cast<size_t>(kernel)]; }

 signals:
  void automaticChanged(bool automatic);
  void paletteChanged(int index, bool invert);
  void kernelSizeChanged(BlurKernel kernel, int size);

 private:
  QLabel* window_;
  QCheckBox* automatic_;
  QComboBox* palette_;
  QCheckBox* invert_;
  std::array<QSlider*, 2> sliders_{};
  std::array<QLabel*, 2> labels_{};
};

}  // namespace solvane::controls
