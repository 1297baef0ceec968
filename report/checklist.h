// The rules of the report program's image list: loading snapshots into rows, ticking them,
// the inspection texts of the selected row, and which rows make report pages.
#pragma once

#include "desktop/notifier.h"
#include "measure_info.h"
#include "snapshot_values.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pagana {

inline constexpr const char* kMessageTitle = "Message";
inline constexpr const char* kWrongExtension = "Failed to load IR file!!";
inline constexpr const char* kAdded = "Added measurement information!";
inline constexpr const char* kUpdated = "Updated measurement information!";
inline constexpr const char* kNothingTicked = "Please check items on the list!";
inline constexpr const char* kAddLabel = "Add";
inline constexpr const char* kUpdateLabel = "Update";

struct ChecklistRow {
  std::string name;  // the file title: the row key
  std::filesystem::path path;
  ReportValues values;
  bool checked = false;
};

enum class LoadOutcome { Added, AlreadyListed, Refused };

// What the text fields and the Add/Update button show.
struct EditorState {
  bool enabled = false;
  std::string buttonLabel = kAddLabel;
  MeasureTexts texts;  // what the fields are filled with when the selection changes
};

// One page of the report: a ticked row and its texts (empty when none were typed).
struct ReportPage {
  ChecklistRow row;
  MeasureTexts texts;
};

class Checklist {
 public:
  explicit Checklist(desktop::Notifier& notifier) : notifier_(notifier) {}

  // Called after every change that the saved session should follow.
  void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

  LoadOutcome load(const std::filesystem::path& path);
  const std::vector<ChecklistRow>& rows() const { return rows_; }
  void setChecked(std::size_t row, bool checked);
  bool anyChecked() const;

  void select(std::optional<std::size_t> row);
  std::optional<std::size_t> selected() const { return selected_; }
  EditorState editor() const;

  // Stores the fields for the selected row; nothing without a selection.
  void addOrUpdate(const MeasureTexts& texts);
  void deleteSelected();
  void clearAll();

  // The gate of preview and print: tells the user when no row is ticked.
  bool requireTicked();
  std::vector<ReportPage> pages() const;

  const MeasureInfoList& infos() const { return infos_; }
  // Texts of an earlier session; rows are loaded separately with load().
  void restoreInfos(const std::vector<CMeasureInfo>& infos);

 private:
  void notifyChanged() {
    if (changed_) changed_();
  }

  desktop::Notifier& notifier_;
  std::vector<ChecklistRow> rows_;
  MeasureInfoList infos_;
  std::optional<std::size_t> selected_;
  std::function<void()> changed_;
};

// The file title of a snapshot: its name without the folder and the extension.
std::string fileTitle(const std::filesystem::path& path);

}  // namespace pagana
