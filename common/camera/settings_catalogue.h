// The settings catalogue: every setting control of the controller's pages as data (page,
// label, kind, where the camera header keeps its current value, list texts) and every setting
// command they send (id, the fields it carries, how they are packed, what triggers it). The
// pages, the command-line tool and the tests all read this one table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "camera/camera_models.h"
#include "camera/setting_ids.h"

namespace camera {

using HeaderView = std::span<const uint8_t, 512>;

enum class Page : uint8_t {
  KtVideo,
  KtDisplay,
  KtComm,
  KtSystem,
  KsDisplay,
  KsVideoSize,
  KsVideo,
  KsImage32,  // "Image Adjustments" of header version 32
  KsImage33,  // "Image Adjustments" of header version 33 and later
  KsNuc,
  KsNetwork,
  KsAlarm,
  KsCorrection,
  KsSystem,
};

std::string_view pageCaption(Page page);
Family pageFamily(Page page);

enum class FieldKind {
  Choice,     // one of a list of texts
  Toggle,     // a two-entry choice, first entry 0
  Range,      // an integer between a minimum and a maximum
  Address,    // an IPv4 address, first dotted part in the highest byte
  RangeList,  // the camera's measurement ranges (KS): from the header for version 33 and later
  Colour,     // a colour as the camera takes it: red in the lowest byte, then green, then blue
  Readout,    // shown, never sent
};

// How a value sits in the header.
enum class HeaderRead {
  None,        // the header does not carry it: the page keeps what was last sent
  Unsigned,    // little-endian, `width` bytes
  Signed,      // little-endian two's complement, `width` bytes
  MirrorFlip,  // mirror at `offset`, flip at `offset` + 1; value mirror + 2 x flip
};

// Rules that grey out list entries.
enum class ChoiceRule {
  None,
  // KT "High Mode": only for header version 11 or more with header byte 129 non-zero.
  HighRangeNeedsCamera,
};

struct FieldEntry {
  std::string_view key;  // "page.name", unique
  Page page;
  std::string_view label;
  FieldKind kind;
  HeaderRead read = HeaderRead::None;
  int offset = -1;
  int width = 1;
  std::vector<std::string_view> choices = {};
  std::vector<int> choiceValues = {};  // the value each entry sends; empty: its index
  int64_t minimum = 0;
  int64_t maximum = 0;
  int64_t initial = 0;  // before any header, and what "Initialized" restores on a KT page
  // Header values above this limit read as `readAs` (a camera's out-of-list values).
  std::optional<int64_t> readAbove = std::nullopt;
  int64_t readAs = 0;
  ChoiceRule rule = ChoiceRule::None;

  // The value entry `index` of a list sends; -1 when there is no such entry.
  int64_t choiceValue(size_t index) const;
  // The entry of a value; nothing when no entry sends it.
  std::optional<size_t> choiceIndex(int64_t value) const;
  bool isList() const {
    return kind == FieldKind::Choice || kind == FieldKind::Toggle || kind == FieldKind::RangeList;
  }
};

enum class Packing {
  Value,          // value = the field
  Fixed,          // value = fixedValue, no field
  NetworkKt,      // value = DHCP flag; words = address, mask, gateway, all 0 under DHCP
  NetworkKs,      // value = DHCP flag; words = address, mask, gateway
  NucTiming,      // value = mode; word 1 = time index x 65536 + threshold index
  AlarmOutput,    // value = output number; word 1 = type << 24 | mode << 16 | duration << 8
  OutputWindow,   // value 0; word 1 = horizontal margin x 65537; word 2 = vertical x 65537
  ManualMaximum,  // value = maximum; all three words = minimum
  Correction,     // value = used; word 1 = emissivity << 24 | transmission << 16 | atmosphere;
                  // word 2 = distance << 16 | zero offset
  Isotherm,       // value 0; word 1 = mode code; words 2 and 3 = lower and upper limit
  Colours,        // value 0; the three words = the three colours
};

enum class Question {
  None,
  KtTvMode,           // "Do you want to really change TV mode. ..."
  Reboot,             // "Camera will be rebooted after setting. ..."
  RebootOnVersion32,  // the reboot question, only for a header version of 32
};

struct CommandEntry {
  std::string_view key;
  SettingId id;
  Page page;
  Packing packing;
  std::vector<std::string_view> fields = {};          // field keys in packing order
  std::vector<std::string_view> sentOnChangeOf = {};  // changes of these fields send it
  std::string_view button = {};                       // a button that sends it
  uint16_t fixedValue = 0;
  Question question = Question::None;
  std::string_view doneMessage = {};           // shown after the button's commands were sent
  bool restoredOnInitialise = false;           // KT "Initialized" sends it with the initial values
  bool headerRequestAfterOnVersion33 = false;  // KS range change: ask for the new header
};

inline constexpr std::string_view kKtTvQuestion =
    "Do you want to really change TV mode. \t\n(Mode change need to camera reboot)";
inline constexpr std::string_view kRebootQuestion =
    "Camera will be rebooted after setting.\nWould you like to proceed?";
inline constexpr std::string_view kQuestionCaption = "Information";
inline constexpr std::string_view kIpDone = "Completed IP setting.";
inline constexpr std::string_view kSerialDone = "Completed RS-485 setting.";

const std::vector<FieldEntry>& settingFields();
// In the order "Initialized" sends them on a KT camera: Video, Display, System, Comm.
const std::vector<CommandEntry>& settingCommands();

const FieldEntry* findField(std::string_view key);
std::vector<const FieldEntry*> fieldsOf(Page page);
std::vector<const CommandEntry*> commandsOf(Page page);

// The field's current value as the header holds it, after the read rules; nothing when the
// header does not carry the field. List values no entry sends read as the initial value and
// range values are held within their limits, so a control never shows what it cannot hold.
std::optional<int64_t> readField(const FieldEntry& field, HeaderView header);

// The command for the given field values (in the order of `definition.fields`).
SettingCommand packCommand(const CommandEntry& definition, std::span<const int64_t> values);

// Dotted text of an address value, and back; nothing for text that is not four numbers
// 0..255 separated by dots.
std::string addressText(uint32_t address);
std::optional<uint32_t> parseAddress(std::string_view text);

}  // namespace camera
