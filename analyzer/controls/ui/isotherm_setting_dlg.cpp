#include "controls/ui/isotherm_setting_dlg.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace solvane::controls {

namespace {

QString bandTitle(IsothermBand band) {
  switch (band) {
    case IsothermBand::Interval: return "Interval";
    case IsothermBand::Above: return "Above";
    case IsothermBand::Below: return "Below";
  }
  return {};
}

}  // namespace

CIsothermSettingDlg::CIsothermSettingDlg(const IsothermSettings& settings, Unit unit,
                                         float rangeLow, float rangeHigh, Notifier& notifier,
                                         QWidget* parent)
    : QDialog(parent), notifier_(notifier), editor_(settings, unit, rangeLow, rangeHigh) {
  setWindowTitle("Isotherm Editor");
  chooser_ = [this](uint32_t rgb) -> std::optional<uint32_t> {
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(rgb), this);
    if (!chosen.isValid()) return std::nullopt;
    return chosen.rgb() & 0xFFFFFFu;
  };
  auto* layout = new QVBoxLayout(this);
  for (IsothermBand band : kIsothermBands) {
    const auto b = static_cast<size_t>(band);
    auto* box = new QGroupBox(bandTitle(band), this);
    auto* form = new QFormLayout(box);
    enable_[b] = new QCheckBox("Enable", box);
    enable_[b]->setAccessibleName(bandTitle(band) + " enable");
    colour_[b] = new QPushButton("Colour...", box);
    colour_[b]->setAccessibleName(bandTitle(band) + " colour");
    form->addRow(enable_[b], colour_[b]);
    auto addLimit = [&](IsothermLimit which, const QString& label) {
      auto* field = new StepField(bandTitle(band) + " " + label.toLower(), box);
      limit_[static_cast<size_t>(which)] = field;
      form->addRow(label, field);
      connect(field, &StepField::stepped, this,
              [this, which](int d) { handle(editor_.step(which, d)); });
      connect(field, &StepField::typed, this,
              [this, which](const QString& t) { handle(editor_.type(which, t.toStdString())); });
    };
    if (band == IsothermBand::Interval) {
      addLimit(IsothermLimit::IntervalLower, "Lower");
      addLimit(IsothermLimit::IntervalUpper, "Upper");
    } else {
      addLimit(band == IsothermBand::Above ? IsothermLimit::Above : IsothermLimit::Below, "Limit");
    }
    nameFormLabels(form);
    layout->addWidget(box);
    connect(enable_[b], &QCheckBox::toggled, this,
            [this, band](bool on) { setBandEnabled(band, on); });
    connect(colour_[b], &QPushButton::clicked, this, [this, band] {
      if (const auto rgb = chooser_(editor_.colourOf(band))) setBandColour(band, *rgb);
    });
  }
  auto* close = new QPushButton("Close", this);
  close->setAccessibleName("Close");
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(close);
  refresh();
}

void CIsothermSettingDlg::setBandEnabled(IsothermBand band, bool on) {
  if (editor_.isEnabled(band) == on) return;
  editor_.setEnabled(band, on);
  refresh();
  emit settingsChanged(editor_.settings());
}

void CIsothermSettingDlg::setBandColour(IsothermBand band, uint32_t rgb) {
  editor_.setColour(band, rgb);
  refresh();
  emit settingsChanged(editor_.settings());
}

void CIsothermSettingDlg::handle(Refusal refusal) {
  const bool moved = refusal == Refusal::None || refusal == Refusal::MinimumReachedMax ||
                     refusal == Refusal::MaximumReachedMin;
  if (refusal != Refusal::None)
    notifier_.tell(std::string(refusalText(refusal)), std::string(kStatusTitle), Severity::Warning);
  refresh();
  if (moved) emit settingsChanged(editor_.settings());
}

void CIsothermSettingDlg::refresh() {
  for (IsothermBand band : kIsothermBands) {
    const auto b = static_cast<size_t>(band);
    const QSignalBlocker blocker(enable_[b]);
    enable_[b]->setChecked(editor_.isEnabled(band));
    const QColor colour = QColor::fromRgb(editor_.colourOf(band));
    colour_[b]->setStyleSheet(QString("background-color: %1").arg(colour.name()));
  }
  for (size_t i = 0; i < limit_.size(); ++i)
    limit_[i]->setText(
        QString::number(editor_.limitTenths(static_cast<IsothermLimit>(i)) / 10.0, 'f', 1));
}

IsothermMenu addIsothermMenu(QMenu& menu) {
  IsothermMenu entries;
  entries.editor = menu.addAction(
      QString::fromUtf8(kIsothermEditorMenu.data(), static_cast<int>(kIsothermEditorMenu.size())));
  for (IsothermBand band : kIsothermBands) {
    const std::string_view text = isothermMenuText(band);
    QAction* action = menu.addAction(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
    action->setCheckable(true);
    entries.bands[static_cast<size_t>(band)] = action;
  }
  return entries;
}

}  // namespace solvane::controls
