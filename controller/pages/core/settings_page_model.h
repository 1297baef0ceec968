// One settings page as the user sees it, without widgets: the current value of each of its
// catalogue fields, filled from the camera header, and the rules of a change (questions,
// greyed entries, which commands go out). One generic widget draws any of these.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "camera/settings_catalogue.h"
#include "desktop/notifier.h"
#include "pages/core/command_port.h"
#include "pages/core/range_list.h"

namespace pages {

struct ChoiceEntry {
  std::string text;
  int64_t value = 0;
  bool enabled = true;
};

class SettingsPageModel {
 public:
  SettingsPageModel(camera::Page page, CommandPort& port, desktop::Notifier& notifier);

  camera::Page page() const { return page_; }
  std::string_view caption() const { return camera::pageCaption(page_); }
  const std::vector<const camera::FieldEntry*>& fields() const { return fields_; }
  int64_t value(size_t field) const { return values_.at(field); }
  int64_t value(std::string_view key) const;
  std::optional<size_t> fieldIndex(std::string_view key) const;
  // The entries a list field offers now (a KS range list comes from the camera).
  std::vector<ChoiceEntry> choices(size_t field) const;
  // Buttons in the order their first command appears.
  const std::vector<std::string_view>& buttons() const { return buttons_; }

  // The camera's current settings. The range list is the camera's (version 33 and later).
  void loadHeader(camera::HeaderView header, std::vector<MeasurementRange> ranges = {});
  uint8_t cameraVersion() const { return version_; }

  // A change by the user. False when it was not taken (a question answered No, an entry
  // that is greyed or absent, a value out of limits): the control shows the value again.
  bool change(size_t field, int64_t value);
  bool change(std::string_view key, int64_t value);
  // Shows a value the camera already has (it came with an upload, not from the user):
  // nothing is sent. False for a value the field cannot take.
  bool show(std::string_view key, int64_t value);
  void press(std::string_view button);
  // KT "Initialized": the page's defaults, set and sent.
  void restoreDefaults();

  // Called after the values changed other than through change() (header, defaults).
  void setRefreshHandler(std::function<void()> handler) { refresh_ = std::move(handler); }

 private:
  bool acceptable(size_t field, int64_t value) const;
  bool approved(const camera::CommandEntry& command);
  void send(const camera::CommandEntry& command);
  void refreshed() {
    if (refresh_) refresh_();
  }

  camera::Page page_;
  CommandPort& port_;
  desktop::Notifier& notifier_;
  std::vector<const camera::FieldEntry*> fields_;
  std::vector<const camera::CommandEntry*> commands_;
  std::vector<std::string_view> buttons_;
  std::vector<int64_t> values_;
  std::vector<MeasurementRange> ranges_;
  uint8_t version_ = 0;
  bool highRangeOffered_ = false;
  std::function<void()> refresh_;
};

}  // namespace pages
