#include "camera/settings_catalogue.h"

#include "camera/settings_catalogue_table.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace camera {

namespace {

uint32_t low16(int64_t value) { return static_cast<uint32_t>(value) & 0xFFFFu; }
uint32_t low8(int64_t value) { return static_cast<uint32_t>(value) & 0xFFu; }

}  // namespace

std::string_view pageCaption(Page page) {
  switch (page) {
    case Page::KtVideo: return "Video";
    case Page::KtDisplay: return "Display";
    case Page::KtComm: return "Comm";
    case Page::KtSystem: return "System";
    case Page::KsDisplay: return "Display";
    case Page::KsVideoSize: return "Video Size";
    case Page::KsVideo: return "Video";
    case Page::KsImage32:
    case Page::KsImage33: return "Image Adjustments";
    case Page::KsNuc: return "NUC";
    case Page::KsNetwork: return "Network";
    case Page::KsAlarm: return "Alarm";
    case Page::KsCorrection: return "Correction";
    case Page::KsSystem: return "System";
  }
  return {};
}

Family pageFamily(Page page) {
  switch (page) {
    case Page::KtVideo:
    case Page::KtDisplay:
    case Page::KtComm:
    case Page::KtSystem: return Family::KT;
    default: return Family::KS;
  }
}

int64_t FieldEntry::choiceValue(size_t index) const {
  if (index >= choices.size()) return -1;
  if (index < choiceValues.size()) return choiceValues[index];
  return static_cast<int64_t>(index);
}

std::optional<size_t> FieldEntry::choiceIndex(int64_t value) const {
  for (size_t i = 0; i < choices.size(); ++i)
    if (choiceValue(i) == value) return i;
  return std::nullopt;
}

const std::vector<FieldEntry>& settingFields() {
  static const std::vector<FieldEntry> fields = detail::buildFields();
  return fields;
}

const std::vector<CommandEntry>& settingCommands() {
  static const std::vector<CommandEntry> commands = detail::buildCommands();
  return commands;
}

const FieldEntry* findField(std::string_view key) {
  for (const FieldEntry& field : settingFields())
    if (field.key == key) return &field;
  return nullptr;
}

std::vector<const FieldEntry*> fieldsOf(Page page) {
  std::vector<const FieldEntry*> out;
  for (const FieldEntry& field : settingFields())
    if (field.page == page) out.push_back(&field);
  return out;
}

std::vector<const CommandEntry*> commandsOf(Page page) {
  std::vector<const CommandEntry*> out;
  for (const CommandEntry& command : settingCommands())
    if (command.page == page) out.push_back(&command);
  return out;
}

std::optional<int64_t> readField(const FieldEntry& field, HeaderView header) {
  if (field.read == HeaderRead::None || field.offset < 0 ||
      field.offset + field.width > static_cast<int>(header.size()))
    return std::nullopt;
  const size_t at = static_cast<size_t>(field.offset);
  int64_t value = 0;
  switch (field.read) {
    case HeaderRead::None: return std::nullopt;
    case HeaderRead::MirrorFlip:
      if (at + 1 >= header.size()) return std::nullopt;
      value = (header[at] ? 1 : 0) + (header[at + 1] ? 2 : 0);
      break;
    case HeaderRead::Unsigned:
    case HeaderRead::Signed: {
      uint64_t raw = 0;
      for (int i = field.width - 1; i >= 0; --i)
        raw = raw << 8 | header[at + static_cast<size_t>(i)];
      value = static_cast<int64_t>(raw);
      if (field.read == HeaderRead::Signed) {
        const int bits = 8 * field.width;
        if (raw & (uint64_t{1} << (bits - 1))) value -= int64_t{1} << bits;
      }
      break;
    }
  }
  if (field.readAbove && value > *field.readAbove) value = field.readAs;
  if (field.kind == FieldKind::Range) return std::clamp(value, field.minimum, field.maximum);
  // A range list's entries come from the camera; the page checks the value against them.
  if (field.isList() && field.kind != FieldKind::RangeList && !field.choiceIndex(value))
    return field.initial;
  return value;
}

SettingCommand packCommand(const CommandEntry& definition, std::span<const int64_t> values) {
  auto at = [&](size_t i) -> int64_t { return i < values.size() ? values[i] : 0; };
  SettingCommand command{.id = definition.id};
  switch (definition.packing) {
    case Packing::Value: command.value = static_cast<uint16_t>(low16(at(0))); break;
    case Packing::Fixed: command.value = definition.fixedValue; break;
    case Packing::NetworkKt:
    case Packing::NetworkKs: {
      const bool dhcp = at(0) != 0;
      command.value = dhcp ? 1 : 0;
      // A KT camera takes no address with DHCP on: the words go out empty.
      if (!(dhcp && definition.packing == Packing::NetworkKt)) {
        for (size_t i = 0; i < 3; ++i) command.words[i] = static_cast<uint32_t>(at(i + 1));
      }
      break;
    }
    case Packing::NucTiming:
      command.value = static_cast<uint16_t>(low16(at(0)));
      command.words[0] = low16(at(1)) << 16 | low16(at(2));
      break;
    case Packing::AlarmOutput:
      command.value = definition.fixedValue;
      command.words[0] = low8(at(0)) << 24 | low8(at(1)) << 16 | low8(at(2)) << 8;
      break;
    case Packing::OutputWindow:
      command.words[0] = low16(at(0)) * 65537u;
      command.words[1] = low16(at(1)) * 65537u;
      break;
    case Packing::ManualMaximum:
      command.value = static_cast<uint16_t>(low16(at(0)));
      for (uint32_t& word : command.words)
        word = static_cast<uint32_t>(static_cast<int32_t>(at(1)));
      break;
    case Packing::Correction:
      command.value = static_cast<uint16_t>(low16(at(0)));
      command.words[0] = low8(at(1)) << 24 | low8(at(2)) << 16 | low16(at(3));
      command.words[1] = low16(at(5)) << 16 | low16(at(4));
      break;
    case Packing::Colours:
      for (size_t i = 0; i < 3; ++i) command.words[i] = static_cast<uint32_t>(at(i)) & 0xFFFFFFu;
      break;
    case Packing::Isotherm:
      command.words[0] = low8(at(0));
      command.words[1] = static_cast<uint32_t>(static_cast<int32_t>(at(1)));
      command.words[2] = static_cast<uint32_t>(static_cast<int32_t>(at(2)));
      break;
  }
  return command;
}

std::string addressText(uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<uint32_t> parseAddress(std::string_view text) {
  uint32_t address = 0;
  for (int part = 0; part < 4; ++part) {
    unsigned value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    auto [next, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || next == begin || next - begin > 3 || value > 255) return std::nullopt;
    address = address << 8 | value;
    text.remove_prefix(static_cast<size_t>(next - begin));
    if (part < 3) {
      if (text.empty() || text.front() != '.') return std::nullopt;
      text.remove_prefix(1);
    }
  }
  if (!text.empty()) return std::nullopt;
  return address;
}

}  // namespace camera
