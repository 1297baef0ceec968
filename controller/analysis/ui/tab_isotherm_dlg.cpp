#include "analysis/ui/tab_isotherm_dlg.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "analysis/ui/page_form.h"

namespace analysis {

namespace {
QColor qColourOf(uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}
uint32_t colourOf(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
         static_cast<uint32_t>(c.blue()) << 16;
}
}  // namespace

CTabIsothermDlg::CTabIsothermDlg(pages::CommandPort& port, QWidget* parent)
    : QWidget(parent), port_(port) {
  setAccessibleName("Isotherm");
  auto* layout = new QVBoxLayout(this);
  for (size_t i = 0; i < 2; ++i) {
    const QString title = QString("Isotherm %1").arg(i + 1);
    auto* group = new QGroupBox(title, this);
    group->setAccessibleName(title);
    auto* grid = new QGridLayout(group);
    Controls& c = controls_[i];
    c.enabled = form::check("Enable", group);
    c.enabled->setAccessibleName(title + " Enable");
    c.colour = form::button("Colour...", group);
    c.colour->setAccessibleName(title + " Colour");
    c.position = form::list(title + " Position", kIsothermPositionNames, group);
    c.top = form::decimal(title + " Top", -300.0, 3000.0, 1, group);
    c.bottom = form::decimal(title + " Bottom", -300.0, 3000.0, 1, group);
    grid->addWidget(c.enabled, 0, 0);
    grid->addWidget(c.colour, 0, 1);
    grid->addWidget(form::label("Position", group), 1, 0);
    grid->addWidget(c.position, 1, 1);
    grid->addWidget(form::label("Top", group), 2, 0);
    grid->addWidget(c.top, 2, 1);
    grid->addWidget(form::label("Bottom", group), 3, 0);
    grid->addWidget(c.bottom, 3, 1);
    layout->addWidget(group);
    auto changed = [this] { takeControls(); };
    connect(c.enabled, &QCheckBox::toggled, this, changed);
    connect(c.position, &QComboBox::currentIndexChanged, this, changed);
    connect(c.top, &QDoubleSpinBox::valueChanged, this, changed);
    connect(c.bottom, &QDoubleSpinBox::valueChanged, this, changed);
    connect(c.colour, &QPushButton::clicked, this, [this, i] {
      const QColor chosen = QColorDialog::getColor(qColourOf(model_.isotherms[i].colour), this);
      if (!chosen.isValid()) return;
      model_.isotherms[i].colour = colourOf(chosen);
      refresh();
    });
  }
  auto* send = form::button("Send Isotherm", this);
  layout->addWidget(send);
  layout->addStretch();
  connect(send, &QPushButton::clicked, this, &CTabIsothermDlg::sendIsotherms);
  refresh();
}

void CTabIsothermDlg::takeControls() {
  if (refreshing_) return;
  for (size_t i = 0; i < 2; ++i) {
    KtIsotherm& iso = model_.isotherms[i];
    iso.enabled = controls_[i].enabled->isChecked();
    iso.position = controls_[i].position->currentIndex();
    iso.top = controls_[i].top->value();
    iso.bottom = controls_[i].bottom->value();
  }
}

void CTabIsothermDlg::refresh() {
  refreshing_ = true;
  const QString unit = model_.unit == ShownUnit::Fahrenheit ? " \u00B0F" : " \u00B0C";
  for (size_t i = 0; i < 2; ++i) {
    const KtIsotherm& iso = model_.isotherms[i];
    Controls& c = controls_[i];
    c.enabled->setChecked(iso.enabled);
    c.position->setCurrentIndex(iso.position);
    c.top->setSuffix(unit);
    c.bottom->setSuffix(unit);
    c.top->setValue(iso.top);
    c.bottom->setValue(iso.bottom);
    c.colour->setStyleSheet(QString("background-color: %1").arg(qColourOf(iso.colour).name()));
  }
  refreshing_ = false;
}

void CTabIsothermDlg::loadHeader(HeaderBytes header) {
  model_.loadHeader(header);
  refresh();
}

void CTabIsothermDlg::restoreDefaults() {
  const Commands sent = model_.restoreDefaults();
  refresh();
  for (const auto& command : sent) port_.sendSetting(command);
}

void CTabIsothermDlg::sendIsotherms() {
  takeControls();
  for (const auto& command : model_.sendIsotherms()) port_.sendSetting(command);
}

}  // namespace analysis
