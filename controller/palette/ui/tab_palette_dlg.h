// The KT page "Palette": design a gradient, keep it in a colour-scheme file and upload it
// to one of the camera's two user palette slots.
#pragma once

#include <QWidget>

#include "palette/gradient.h"
#include "palette/ui/gradient_ctrl.h"
#include "palette/ui/palette_page_port.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tessor {

class CTabPaletteDlg : public QWidget {
  Q_OBJECT

 public:
  // The port belongs to the host window and outlives the page.
  explicit CTabPaletteDlg(PalettePagePort& port, QWidget* parent = nullptr);

  const CGradient& gradient() const { return gradient_; }
  CGradientCtrl* gradientCtrl() const { return gradientCtrl_; }
  // The slot "Send" uploads to: 0 or 1.
  int selectedSlot() const;
  QString selectedPegTitle() const;

  // The buttons' actions, callable by the host and by tests.
  void addNewPeg();
  void deleteSelectedPeg();
  void loadScheme();
  void saveScheme();
  void sendPalette();

 private:
  void buildControls();
  void resetGradient();
  void refresh();
  void refreshSelectedPeg();
  void onSelectionChanged(int index);
  void onAddPegRequested(unsigned colour, float position);
  void onPegDoubleClicked(int index);
  void onSelectedPositionEdited(double value);
  void chooseNewPegColour();
  void chooseSelectedPegColour();
  void applyQuantization();

  PalettePagePort& port_;
  CGradient gradient_;
  ColourRef newPegColour_ = makeColour(255, 255, 255);

  CGradientCtrl* gradientCtrl_ = nullptr;
  QDoubleSpinBox* newPegPosition_ = nullptr;
  QPushButton* newPegColourButton_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QGroupBox* selectedGroup_ = nullptr;
  QDoubleSpinBox* selectedPosition_ = nullptr;
  QPushButton* selectedColourButton_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
  QComboBox* methodList_ = nullptr;
  QCheckBox* enableQuantization_ = nullptr;
  QSpinBox* quantization_ = nullptr;
  QCheckBox* showTooltips_ = nullptr;
  QRadioButton* pegsOnRightTop_ = nullptr;
  QRadioButton* pegsOnLeftBottom_ = nullptr;
  QRadioButton* slot1_ = nullptr;
  QRadioButton* slot2_ = nullptr;
  QPushButton* loadButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QPushButton* sendButton_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace tessor
