#include "export/ui/select_object_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace solvane::exports {
namespace {

constexpr int kIdRole = Qt::UserRole;

void fillList(QListWidget* list, const std::vector<SelectableObject>& objects,
              const ObjectSelection& selection, bool selected) {
  list->clear();
  for (const auto& object : objects) {
    if (selection.contains(object.id) != selected) continue;
    auto* item = new QListWidgetItem(object.name, list);
    item->setData(kIdRole, object.id);
  }
}

}  // namespace

CSelectObjectDlg::CSelectObjectDlg(std::vector<SelectableObject> activated,
                                   ObjectSelection selected, QWidget* parent)
    : QDialog(parent), objects_(std::move(activated)), selection_(std::move(selected)) {
  setWindowTitle(tr("Select Object"));
  auto* grid = new QGridLayout;

  auto* activatedLabel = new QLabel(tr("Activated Object"), this);
  activatedList_ = new QListWidget(this);
  activatedList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  activatedList_->setAccessibleName(tr("Activated Object"));
  activatedLabel->setBuddy(activatedList_);
  activatedLabel->setAccessibleName(tr("Activated Object caption"));

  auto* selectedLabel = new QLabel(tr("Selected Object"), this);
  selectedList_ = new QListWidget(this);
  selectedList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  selectedList_->setAccessibleName(tr("Selected Object"));
  selectedLabel->setBuddy(selectedList_);
  selectedLabel->setAccessibleName(tr("Selected Object caption"));

  addButton_ = new QPushButton(QStringLiteral(">"), this);
  addButton_->setAccessibleName(tr("Add to the selected objects"));
  removeButton_ = new QPushButton(QStringLiteral("<"), this);
  removeButton_->setAccessibleName(tr("Remove from the selected objects"));
  auto* moves = new QVBoxLayout;
  moves->addStretch();
  moves->addWidget(addButton_);
  moves->addWidget(removeButton_);
  moves->addStretch();

  grid->addWidget(activatedLabel, 0, 0);
  grid->addWidget(selectedLabel, 0, 2);
  grid->addWidget(activatedList_, 1, 0);
  grid->addLayout(moves, 1, 1);
  grid->addWidget(selectedList_, 1, 2);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(addButton_, &QPushButton::clicked, this, &CSelectObjectDlg::addHighlighted);
  connect(removeButton_, &QPushButton::clicked, this, &CSelectObjectDlg::removeHighlighted);
  connect(activatedList_, &QListWidget::itemDoubleClicked, this, &CSelectObjectDlg::addHighlighted);
  connect(selectedList_, &QListWidget::itemDoubleClicked, this,
          &CSelectObjectDlg::removeHighlighted);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  refresh();
}

void CSelectObjectDlg::addHighlighted() {
  for (const QListWidgetItem* item : activatedList_->selectedItems()) {
    const int32_t id = item->data(kIdRole).toInt();
    for (const auto& object : objects_) {
      // A kind already at its limit refuses the object, which stays where it is.
      if (object.id == id) selection_.add(id, object.name.toStdString(), object.kind);
    }
  }
  refresh();
}

void CSelectObjectDlg::removeHighlighted() {
  for (const QListWidgetItem* item : selectedList_->selectedItems()) {
    selection_.remove(item->data(kIdRole).toInt());
  }
  refresh();
}

void CSelectObjectDlg::refresh() {
  fillList(activatedList_, objects_, selection_, false);
  fillList(selectedList_, objects_, selection_, true);
}

}  // namespace solvane::exports
