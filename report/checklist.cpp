#include "checklist.h"

#include <algorithm>

namespace pagana {

std::string fileTitle(const std::filesystem::path& path) { return path.stem().string(); }

LoadOutcome Checklist::load(const std::filesystem::path& path) {
  // Only the analyzer's own spelling of the extension is accepted, exactly as it writes it.
  if (path.extension() != ".jpg") {
    notifier_.tell(kWrongExtension, kErrorTitle, desktop::Severity::Error);
    return LoadOutcome::Refused;
  }
  const SnapshotParse parse = parseSnapshotFile(path);
  if (parse.result == ParseResult::Refused) {
    if (!parse.message.empty())
      notifier_.tell(parse.message, kErrorTitle, desktop::Severity::Error);
    return LoadOutcome::Refused;
  }
  if (parse.result == ParseResult::NoInformation) {
    notifier_.tell(kNoIrInformation, kErrorTitle, desktop::Severity::Error);
    return LoadOutcome::Refused;
  }
  const std::string name = fileTitle(path);
  // The whole title is compared: "a" is a different image from "ab", though one starts the
  // other, and must not be turned away.
  const bool listed = std::any_of(rows_.begin(), rows_.end(),
                                  [&](const ChecklistRow& row) { return row.name == name; });
  if (listed) return LoadOutcome::AlreadyListed;
  std::error_code ec;
  std::filesystem::path fullPath = std::filesystem::absolute(path, ec);
  if (ec) fullPath = path;
  rows_.push_back(ChecklistRow{name, std::move(fullPath), formatValues(parse.fields)});
  notifyChanged();
  return LoadOutcome::Added;
}

void Checklist::setChecked(std::size_t row, bool checked) {
  if (row >= rows_.size() || rows_[row].checked == checked) return;
  rows_[row].checked = checked;
  notifyChanged();
}

bool Checklist::anyChecked() const {
  return std::any_of(rows_.begin(), rows_.end(), [](const ChecklistRow& r) { return r.checked; });
}

void Checklist::select(std::optional<std::size_t> row) {
  selected_ = (row && *row < rows_.size()) ? row : std::nullopt;
}

EditorState Checklist::editor() const {
  EditorState state;
  if (!selected_) return state;
  state.enabled = true;
  if (const CMeasureInfo* info = infos_.find(rows_[*selected_].name)) {
    state.buttonLabel = kUpdateLabel;
    state.texts = textsOf(*info);
  }
  return state;
}

void Checklist::addOrUpdate(const MeasureTexts& texts) {
  if (!selected_) return;
  const bool added = infos_.store(rows_[*selected_].name, texts);
  notifyChanged();
  notifier_.tell(added ? kAdded : kUpdated, kMessageTitle);
}

void Checklist::deleteSelected() {
  if (!selected_) return;
  infos_.remove(rows_[*selected_].name);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*selected_));
  selected_.reset();
  notifyChanged();
}

void Checklist::clearAll() {
  rows_.clear();
  infos_.clear();
  selected_.reset();
  notifyChanged();
}

bool Checklist::requireTicked() {
  if (anyChecked()) return true;
  notifier_.tell(kNothingTicked, kMessageTitle);
  return false;
}

std::vector<ReportPage> Checklist::pages() const {
  std::vector<ReportPage> pages;
  for (const ChecklistRow& row : rows_) {
    if (!row.checked) continue;
    const CMeasureInfo* info = infos_.find(row.name);
    pages.push_back(ReportPage{row, info ? textsOf(*info) : MeasureTexts{}});
  }
  return pages;
}

void Checklist::restoreInfos(const std::vector<CMeasureInfo>& infos) {
  for (const CMeasureInfo& info : infos) infos_.store(info.imageName, textsOf(info));
}

}  // namespace pagana
