// The measurement parameter dialogs: the global one (menu "Emissivity etc."), the material
// table it opens, and an object's local environment.
#pragma once

#include "app/notifier.h"
#include "controls/ui/environment_fields.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace solvane::controls {

class CEmissivityTableDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CEmissivityTableDlg(Notifier& notifier, QWidget* parent = nullptr);

  QTreeWidget* tree() const { return tree_; }
  std::optional<float> chosen() const { return chosen_; }
  // OK: a leaf closes the dialog with its emissivity; anything else is refused with a message.
  void acceptCurrent();

 private:
  void choose(QTreeWidgetItem* item, bool tellWhenNoValue);

  Notifier& notifier_;
  QTreeWidget* tree_;
  std::optional<float> chosen_;
};

class CEmissivityDlg : public QDialog {
  Q_OBJECT
 public:
  CEmissivityDlg(const EnvParams& params, Unit unit, Notifier& notifier, QWidget* parent = nullptr);

  EnvironmentFields* fields() const { return fields_; }
  QPushButton* applyButton() const { return apply_; }
  QPushButton* tableButton() const { return table_; }
  // Runs the table modally; tests replace it with a chooser of their own.
  void setTableChooser(std::function<std::optional<float>()> chooser) {
    chooser_ = std::move(chooser);
  }

 signals:
  // "Apply": the document takes the values and the view redraws.
  void applied(const EnvParams& params);

 private:
  void openTable();

  Notifier& notifier_;
  EnvironmentFields* fields_;
  QPushButton* apply_;
  QPushButton* table_;
  std::function<std::optional<float>()> chooser_;
};

// The local environment of one measurement object: when on, the object's statistics use these
// values instead of the global ones.
struct LocalEnvironment {
  bool enabled = false;
  EnvParams params{1.0f, 1.0f, 1.0f, 1.0f};
};

class CLocalEmissivityDlg : public QDialog {
  Q_OBJECT
 public:
  CLocalEmissivityDlg(const QString& objectName, const LocalEnvironment& local, Unit unit,
                      Notifier& notifier, QWidget* parent = nullptr);

  LocalEnvironment result() const;
  QCheckBox* useLocal() const { return useLocal_; }
  EnvironmentFields* fields() const { return fields_; }

 private:
  QCheckBox* useLocal_;
  EnvironmentFields* fields_;
};

}  // namespace solvane::controls
