// The one widget that draws any settings page from its model: a list for every choice, a
// spin box for every integer range, an address line for every address, a label for every
// read-out, and the page's buttons.
#pragma once

#include <QWidget>

#include <map>
#include <string>
#include <string_view>

#include "pages/core/settings_page_model.h"

class QHBoxLayout;
class QPushButton;

namespace pages {

class SettingsPageWidget : public QWidget {
  Q_OBJECT

 public:
  explicit SettingsPageWidget(SettingsPageModel& model, QWidget* parent = nullptr);

  SettingsPageModel& model() { return model_; }
  // The control of a catalogue field (object name = the field's key).
  QWidget* control(std::string_view key) const;
  QPushButton* button(std::string_view caption) const;
  // A button of a hand-written addition to the page (a window it opens).
  QPushButton* addButton(const QString& caption);
  // Shows the model's values again.
  void refresh();

 private:
  QWidget* makeControl(size_t field);
  void showValue(size_t field);

  SettingsPageModel& model_;
  std::map<size_t, QWidget*> controls_;
  std::map<std::string, QPushButton*, std::less<>> buttons_;
  QHBoxLayout* buttonRow_ = nullptr;
};

}  // namespace pages
