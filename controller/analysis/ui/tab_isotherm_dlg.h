// The KT page "Isotherm": two isotherms with their colour, position and limits.
#pragma once

#include <QWidget>

#include <array>

#include "analysis/core/camera_side.h"
#include "pages/core/command_port.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;

namespace analysis {

class CTabIsothermDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CTabIsothermDlg(pages::CommandPort& port, QWidget* parent = nullptr);

  KtIsothermPage& model() { return model_; }
  void loadHeader(HeaderBytes header);
  void restoreDefaults();
  void sendIsotherms();
  // Refreshes the controls after the model was changed from outside.
  void refresh();

 private:
  struct Controls {
    QCheckBox* enabled = nullptr;
    QPushButton* colour = nullptr;
    QComboBox* position = nullptr;
    QDoubleSpinBox* top = nullptr;
    QDoubleSpinBox* bottom = nullptr;
  };
  void takeControls();

  pages::CommandPort& port_;
  KtIsothermPage model_;
  std::array<Controls, 2> controls_{};
  bool refreshing_ = false;
};

}  // namespace analysis
