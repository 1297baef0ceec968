#include "controls/ui/emissivity_dlg.h"

#include "controls/material_table.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace solvane::controls {

namespace {

void addNodes(QTreeWidgetItem* parent, QTreeWidget* tree, const std::vector<MaterialNode>& nodes) {
  for (const auto& node : nodes) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, QString::fromStdString(node.text));
    addNodes(item, tree, node.children);
  }
}

}  // namespace

CEmissivityTableDlg::CEmissivityTableDlg(Notifier& notifier, QWidget* parent)
    : QDialog(parent), notifier_(notifier), tree_(new QTreeWidget(this)) {
  setWindowTitle("Emissivity Table");
  tree_->setHeaderHidden(true);
  tree_->setAccessibleName("Materials");
  addNodes(nullptr, tree_, materialTree());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName("Cancel");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEmissivityTableDlg::acceptCurrent);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // A double-click on a group only opens or closes it.
  connect(tree_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { choose(item, false); });
}

void CEmissivityTableDlg::acceptCurrent() { choose(tree_->currentItem(), true); }

void CEmissivityTableDlg::choose(QTreeWidgetItem* item, bool tellWhenNoValue) {
  const auto value = item ? emissivityOfItem(item->text(0).toStdString()) : std::optional<float>{};
  if (!value) {
    if (tellWhenNoValue) notifier_.tell(std::string(kSelectMaterialText), "Warning");
    return;
  }
  chosen_ = value;
  accept();
}

CEmissivityDlg::CEmissivityDlg(const EnvParams& params, Unit unit, Notifier& notifier,
                               QWidget* parent)
    : QDialog(parent),
      notifier_(notifier),
      fields_(new EnvironmentFields(params, unit, notifier, this)),
      apply_(new QPushButton("Apply", this)),
      table_(new QPushButton("Emissivity Table...", this)) {
  setWindowTitle("Emissivity etc.");
  apply_->setAccessibleName("Apply");
  table_->setAccessibleName("Emissivity table");
  auto* close = new QPushButton("Close", this);
  close->setAccessibleName("Close");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(table_);
  buttons->addStretch(1);
  buttons->addWidget(apply_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fields_);
  layout->addLayout(buttons);
  connect(apply_, &QPushButton::clicked, this, [this] { emit applied(fields_->env()); });
  connect(table_, &QPushButton::clicked, this, &CEmissivityDlg::openTable);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  chooser_ = [this]() -> std::optional<float> {
    CEmissivityTableDlg table(notifier_, this);
    if (table.exec() != QDialog::Accepted) return std::nullopt;
    return table.chosen();
  };
}

void CEmissivityDlg::openTable() {
  if (const auto value = chooser_()) fields_->setEmissivity(*value);
}

CLocalEmissivityDlg::CLocalEmissivityDlg(const QString& objectName, const LocalEnvironment& local,
                                         Unit unit, Notifier& notifier, QWidget* parent)
    : QDialog(parent),
      useLocal_(new QCheckBox("Use local environment", this)),
      fields_(new EnvironmentFields(local.params, unit, notifier, this)) {
  setWindowTitle("Local Emissivity - " + objectName);
  useLocal_->setAccessibleName("Use local environment");
  useLocal_->setChecked(local.enabled);
  fields_->setEnabled(local.enabled);
  connect(useLocal_, &QCheckBox::toggled, fields_, &QWidget::setEnabled);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName("Cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(useLocal_);
  layout->addWidget(fields_);
  layout->addWidget(buttons);
}

LocalEnvironment CLocalEmissivityDlg::result() const {
  return LocalEnvironment{useLocal_->isChecked(), fields_->env()};
}

}  // namespace solvane::controls
