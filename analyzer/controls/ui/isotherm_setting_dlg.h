// Menu "&Isotherm editor": the three bands with their switches, colours and limits, and the
// menu entries that switch each band on or off.
#pragma once

#include "app/notifier.h"
#include "controls/isotherm_rules.h"
#include "controls/ui/step_field.h"

#include <QDialog>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QMenu;
class QPushButton;

namespace solvane::controls {

class CIsothermSettingDlg : public QDialog {
  Q_OBJECT
 public:
  // The image's temperature range in Celsius bounds the enabled limits.
  CIsothermSettingDlg(const IsothermSettings& settings, Unit unit, float rangeLow, float rangeHigh,
                      Notifier& notifier, QWidget* parent = nullptr);

  IsothermSettings settings() const { return editor_.settings(); }
  QCheckBox* enableBox(IsothermBand band) const { return enable_[static_cast<size_t>(band)]; }
  QPushButton* colourButton(IsothermBand band) const { return colour_[static_cast<size_t>(band)]; }
  StepField* limitField(IsothermLimit which) const { return limit_[static_cast<size_t>(which)]; }
  void setBandEnabled(IsothermBand band, bool on);
  void setBandColour(IsothermBand band, uint32_t rgb);
  // The colour button asks through this; tests answer without a colour dialog.
  void setColourChooser(std::function<std::optional<uint32_t>(uint32_t)> chooser) {
    chooser_ = std::move(chooser);
  }

 signals:
  // Every change reaches the view at once.
  void settingsChanged(const IsothermSettings& settings);

 private:
  void handle(Refusal refusal);
  void refresh();

  Notifier& notifier_;
  IsothermEditor editor_;
  std::array<QCheckBox*, 3> enable_{};
  std::array<QPushButton*, 3> colour_{};
  std::array<StepField*, 4> limit_{};
  std::function<std::optional<uint32_t>(uint32_t)> chooser_;
};

// Adds "&Isotherm editor" and the checkable "&Interval", "&Above", "&Below" entries to a menu.
struct IsothermMenu {
  QAction* editor = nullptr;
  std::array<QAction*, 3> bands{};  // by IsothermBand
};
IsothermMenu addIsothermMenu(QMenu& menu);

}  // namespace solvane::controls
