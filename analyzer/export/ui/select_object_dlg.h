// "Select Object": the user moves measurement objects from "Activated Object" to "Selected
// Object" for the object log. The limits (30 spots, 30 other objects) are the core's.
#pragma once

#include "export/object_log.h"

#include <QDialog>

#include <vector>

class QListWidget;
class QPushButton;

namespace solvane::exports {

// One measurement object the dialog can offer.
struct SelectableObject {
  int32_t id = 0;
  QString name;
  ObjectKind kind = ObjectKind::Spot;
};

class CSelectObjectDlg : public QDialog {
  Q_OBJECT
 public:
  CSelectObjectDlg(std::vector<SelectableObject> activated, ObjectSelection selected = {},
                   QWidget* parent = nullptr);

  const ObjectSelection& selection() const { return selection_; }

  QListWidget* activatedList() const { return activatedList_; }
  QListWidget* selectedList() const { return selectedList_; }
  QPushButton* addButton() const { return addButton_; }
  QPushButton* removeButton() const { return removeButton_; }

 private:
  // Moves the highlighted objects that still fit into the selection.
  void addHighlighted();
  void removeHighlighted();
  void refresh();

  std::vector<SelectableObject> objects_;
  ObjectSelection selection_;
  QListWidget* activatedList_;
  QListWidget* selectedList_;
  QPushButton* addButton_;
  QPushButton* removeButton_;
};

}  // namespace solvane::exports
