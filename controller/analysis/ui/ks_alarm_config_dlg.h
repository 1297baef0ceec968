// The KS page "Alarm Config" with its region setup window: region alarms sent by "Set
// Alarm", and ten camera regions edited on a live preview at a quarter of the frame rate.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <array>

#include "analysis/core/camera_side.h"
#include "desktop/notifier.h"
#include "pages/core/command_port.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace analysis {

class ThermalPreview;

// While open the camera streams at a quarter of its rate and the window shows every frame
// the main window hands it; closing stops the stream.
class CKSRoiSetupDlg : public QDialog {
  Q_OBJECT

 public:
  // `pictureSize`: the camera's picture, which regions are held within until frames come.
  CKSRoiSetupDlg(pages::CommandPort& port, std::array<KsRegion, kRegionCount>& regions,
                 ShownUnit unit, QSize pictureSize, QWidget* parent = nullptr);
  ~CKSRoiSetupDlg() override;

  void showFrame(const std::vector<uint8_t>& pixels, int width, int height,
                 const std::vector<uint8_t>& palette);
  ThermalPreview* preview() const { return preview_; }
  void selectRegion(int index);
  // The selected region as changed by the user: geometry (0x0422) or correction (0x0423).
  void changeRegion(const KsRegion& region);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void refresh();
  void takeControls(bool correction);
  void showMarks();
  void streamWhileOpen(bool open);

  pages::CommandPort& port_;
  std::array<KsRegion, kRegionCount>& regions_;
  ShownUnit unit_;
  QSize pictureSize_;
  bool streaming_ = false;
  bool refreshing_ = false;
  QComboBox* region_ = nullptr;
  QComboBox* mode_ = nullptr;
  std::array<QSpinBox*, 4> geometry_{};  // x, y, width, height
  QCheckBox* used_ = nullptr;
  QDoubleSpinBox* emissivity_ = nullptr;
  QDoubleSpinBox* transmission_ = nullptr;
  QDoubleSpinBox* atmosphere_ = nullptr;
  ThermalPreview* preview_ = nullptr;
};

class CKSAlarmConfigDlg : public QWidget {
  Q_OBJECT

 public:
  CKSAlarmConfigDlg(pages::CommandPort& port, desktop::Notifier& notifier,
                    QWidget* parent = nullptr);
  ~CKSAlarmConfigDlg() override;

  KsRegionAlarm& alarm() { return alarm_; }
  void loadHeader(HeaderBytes header);
  void setAlarm();
  // "Setup": opens the region window (or raises it when open).
  void openSetup();
  // The region window while it is open.
  CKSRoiSetupDlg* setupDialog() const;
  void refresh();

 private:
  void takeControls();

  pages::CommandPort& port_;
  desktop::Notifier& notifier_;
  KsRegionAlarm alarm_;
  ShownUnit unit_ = ShownUnit::Celsius;
  QSize pictureSize_{384, 288};
  std::array<KsRegion, kRegionCount> regions_{};
  QComboBox* mode_ = nullptr;
  QComboBox* enable_ = nullptr;
  QComboBox* output_ = nullptr;
  QComboBox* condition_ = nullptr;
  QSpinBox* delay_ = nullptr;
  QDoubleSpinBox* temperature_ = nullptr;
  QPointer<CKSRoiSetupDlg> setup_;
  bool refreshing_ = false;
};

}  // namespace analysis
