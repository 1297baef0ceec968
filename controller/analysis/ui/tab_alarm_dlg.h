// The KT page "Alarm": two alarm settings with their optional region, drawn and edited on
// the live preview, sent together by "Set Alarm".
#pragma once

#include <QWidget>

#include <array>

#include "analysis/core/camera_side.h"
#include "desktop/notifier.h"
#include "pages/core/command_port.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace analysis {

class ThermalPreview;

class CTabAlarmDlg : public QWidget {
  Q_OBJECT

 public:
  CTabAlarmDlg(pages::CommandPort& port, desktop::Notifier& notifier, QWidget* parent = nullptr);

  const KtAlarmPage& model() const { return model_; }
  void loadHeader(HeaderBytes header);
  void restoreDefaults();
  void setAlarm();
  ThermalPreview* preview() const { return preview_; }

 private:
  struct AlarmControls {
    QButtonGroup* function = nullptr;
    QComboBox* condition = nullptr;
    QSpinBox* value = nullptr;
    QSpinBox* duration = nullptr;
    QCheckBox* roiUsed = nullptr;
    QCheckBox* exclude = nullptr;
    std::array<QSpinBox*, 4> rect{};  // left, top, right, bottom
  };

  QWidget* buildAlarm(size_t index);
  void refresh();
  void takeControls();
  void showMarks();

  pages::CommandPort& port_;
  desktop::Notifier& notifier_;
  KtAlarmPage model_;
  std::array<AlarmControls, 2> controls_{};
  QComboBox* regionOf_ = nullptr;
  QPushButton* setButton_ = nullptr;
  ThermalPreview* preview_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace analysis
