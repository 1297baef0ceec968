#include "pages/core/settings_page_model.h"

#include <algorithm>
#include <string>

namespace pages {

namespace {

constexpr size_t kHighRangeOfferedOffset = 129;
// "High Mode" came with header version 11.
constexpr uint8_t kFirstVersionWithHighRange = 11;

bool mentions(const std::vector<std::string_view>& keys, std::string_view key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

SettingsPageModel::SettingsPageModel(camera::Page page, CommandPort& port,
                                     desktop::Notifier& notifier)
    : page_(page),
      port_(port),
      notifier_(notifier),
      fields_(camera::fieldsOf(page)),
      commands_(camera::commandsOf(page)) {
  for (const camera::FieldEntry* field : fields_) values_.push_back(field->initial);
  for (const camera::CommandEntry* command : commands_)
    if (!command->button.empty() && !mentions(buttons_, command->button))
      buttons_.push_back(command->button);
}

std::optional<size_t> SettingsPageModel::fieldIndex(std::string_view key) const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i]->key == key) return i;
  return std::nullopt;
}

int64_t SettingsPageModel::value(std::string_view key) const {
  const auto index = fieldIndex(key);
  return index ? values_[*index] : 0;
}

std::vector<ChoiceEntry> SettingsPageModel::choices(size_t field) const {
  const camera::FieldEntry& definition = *fields_.at(field);
  std::vector<ChoiceEntry> entries;
  if (definition.kind == camera::FieldKind::RangeList &&
      version_ >= camera::kFirstCalibratedKsVersion) {
    for (const MeasurementRange& range : ranges_) entries.push_back({range.name, range.number});
    return entries;
  }
  for (size_t i = 0; i < definition.choices.size(); ++i)
    entries.push_back({std::string(definition.choices[i]), definition.choiceValue(i), true});
  if (definition.rule == camera::ChoiceRule::HighRangeNeedsCamera && entries.size() > 1)
    entries[1].enabled = highRangeOffered_;
  return entries;
}

void SettingsPageModel::loadHeader(camera::HeaderView header,
                                   std::vector<MeasurementRange> ranges) {
  version_ = header[4];
  highRangeOffered_ =
      version_ >= kFirstVersionWithHighRange && header[kHighRangeOfferedOffset] != 0;
  ranges_ = std::move(ranges);
  for (size_t i = 0; i < fields_.size(); ++i)
    if (const auto value = camera::readField(*fields_[i], header)) values_[i] = *value;
  refreshed();
}

bool SettingsPageModel::acceptable(size_t field, int64_t value) const {
  const camera::FieldEntry& definition = *fields_[field];
  switch (definition.kind) {
    case camera::FieldKind::Readout: return false;
    case camera::FieldKind::Range:
    case camera::FieldKind::Address:
    case camera::FieldKind::Colour:
      return value >= definition.minimum && value <= definition.maximum;
    default: break;
  }
  for (const ChoiceEntry& entry : choices(field))
    if (entry.value == value) return entry.enabled;
  return false;
}

bool SettingsPageModel::approved(const camera::CommandEntry& command) {
  using camera::Question;
  std::string_view question;
  switch (command.question) {
    case Question::None: return true;
    case Question::KtTvMode: question = camera::kKtTvQuestion; break;
    case Question::Reboot: question = camera::kRebootQuestion; break;
    case Question::RebootOnVersion32:
      if (version_ != camera::kFirstKsVersion) return true;
      question = camera::kRebootQuestion;
      break;
  }
  const desktop::Answer answer =
      notifier_.show(desktop::Message{std::string(question), std::string(camera::kQuestionCaption),
                                      desktop::Buttons::YesNo, desktop::Severity::Question});
  return answer == desktop::Answer::Yes;
}

void SettingsPageModel::send(const camera::CommandEntry& command) {
  std::vector<int64_t> carried;
  for (std::string_view key : command.fields) carried.push_back(value(key));
  port_.sendSetting(camera::packCommand(command, carried));
  if (command.headerRequestAfterOnVersion33 && version_ >= camera::kFirstCalibratedKsVersion)
    port_.requestHeader();
}

bool SettingsPageModel::change(size_t field, int64_t value) {
  if (field >= fields_.size() || !acceptable(field, value)) return false;
  if (values_[field] == value) return true;
  std::vector<const camera::CommandEntry*> triggered;
  for (const camera::CommandEntry* command : commands_)
    if (mentions(command->sentOnChangeOf, fields_[field]->key)) triggered.push_back(command);
  for (const camera::CommandEntry* command : triggered)
    if (!approved(*command)) return false;
  // The page's own copy first, so that the next header shows the camera's view of it.
  values_[field] = value;
  for (const camera::CommandEntry* command : triggered) send(*command);
  return true;
}

bool SettingsPageModel::change(std::string_view key, int64_t value) {
  const auto index = fieldIndex(key);
  return index && change(*index, value);
}

bool SettingsPageModel::show(std::string_view key, int64_t value) {
  const auto index = fieldIndex(key);
  if (!index || !acceptable(*index, value)) return false;
  values_[*index] = value;
  refreshed();
  return true;
}

void SettingsPageModel::press(std::string_view button) {
  std::string_view done;
  for (const camera::CommandEntry* command : commands_) {
    if (command->button != button) continue;
    send(*command);
    if (!command->doneMessage.empty()) done = command->doneMessage;
  }
  if (!done.empty())
    notifier_.tell(std::string(done), std::string(camera::kQuestionCaption),
                   desktop::Severity::Information);
}

void SettingsPageModel::restoreDefaults() {
  for (const camera::CommandEntry* command : commands_) {
    if (!command->restoredOnInitialise) continue;
    for (std::string_view key : command->fields) {
      if (const auto index = fieldIndex(key)) values_[*index] = fields_[*index]->initial;
    }
  }
  refreshed();
  for (const camera::CommandEntry* command : commands_)
    if (command->restoredOnInitialise) send(*command);
}

}  // namespace pages
