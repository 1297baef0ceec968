// The KT page "Analysis": the global correction and ten spots placed on the live preview,
// each with optional local parameters set in CSpotPosSetDlg.
#pragma once

#include <QDialog>
#include <QWidget>

#include "analysis/core/camera_side.h"
#include "pages/core/command_port.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace analysis {

class ThermalPreview;

// The local parameters of one spot.
class CSpotPosSetDlg : public QDialog {
  Q_OBJECT

 public:
  CSpotPosSetDlg(const KtSpot& spot, ShownUnit unit, QWidget* parent = nullptr);
  KtSpot spot() const;

 private:
  KtSpot spot_;
  QCheckBox* local_ = nullptr;
  QDoubleSpinBox* emissivity_ = nullptr;
  QDoubleSpinBox* atmosphere_ = nullptr;
  QDoubleSpinBox* transmission_ = nullptr;
};

class CTabSpotDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CTabSpotDlg(pages::CommandPort& port, QWidget* parent = nullptr);

  KtAnalysisPage& model() { return model_; }
  void loadHeader(HeaderBytes header);
  void restoreDefaults();
  void sendCorrection();
  void sendSpots();
  ThermalPreview* preview() const { return preview_; }
  void refresh();

 private:
  void takeControls();
  void showMarks();
  void editLocalParameters();

  pages::CommandPort& port_;
  KtAnalysisPage model_;
  QDoubleSpinBox* emissivity_ = nullptr;
  QDoubleSpinBox* transmission_ = nullptr;
  QDoubleSpinBox* atmosphere_ = nullptr;
  QComboBox* spot_ = nullptr;
  QCheckBox* enabled_ = nullptr;
  QSpinBox* x_ = nullptr;
  QSpinBox* y_ = nullptr;
  ThermalPreview* preview_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace analysis
