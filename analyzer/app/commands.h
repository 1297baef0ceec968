// The analyzer's commands: one typed catalogue from which the window builds its menus and
// tool bar, and the one rule of which commands are enabled and checked in a given state.
#pragma once

#include "acquisition/frame_rate.h"
#include "view/display_choices.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace solvane {

// In menu order; the palette, zoom and filter families are contiguous, in the order of their
// core tables.
enum class Command {
  LoadIrFile,
  CloseIrFile,
  RecordIrStream,
  StopIrStream,
  SaveOneShot,
  ExportTempData,
  ExportSelectedObject,
  SaveObjects,
  LoadObjects,
  Exit,
  CopyClipboard,
  Connect,
  Disconnect,
  Live,
  Freeze,
  SetCameraIp,
  FindCamera,
  FullFps,
  HalfFps,
  ThirdFps,
  QuarterFps,
  OneFps,
  UserFps,
  RangeNormal,
  RangeHigh,
  RangeMedical,
  Nuc,
  PaletteFirst,
  PaletteLast = PaletteFirst + static_cast<int>(kPalettes.size()) - 1,
  InvertPalette,
  Mirror,
  Flip,
  ZoomFirst,
  ZoomLast = ZoomFirst + static_cast<int>(kZooms.size()) - 1,
  FilterFirst,
  FilterLast = FilterFirst + static_cast<int>(kFilters.size()) - 1,
  HotCold,
  ShowGraphics,
  Emissivity,
  LevelSpan,
  IsothermEditor,
  IsothermInterval,
  IsothermAbove,
  IsothermBelow,
  Pointer,
  Spot,
  Rectangle,
  Ellipse,
  Line,
  Polygon,
  RoiLock,
  AlarmOnOff,
  Environment,
  PlayLoop,
  StatusBar,
  ResetLayout,
  InitializeParameters,
  Help,
  About,
  Count
};
inline constexpr size_t kCommandCount = static_cast<size_t>(Command::Count);

constexpr Command paletteCommand(size_t position) {
  return static_cast<Command>(static_cast<size_t>(Command::PaletteFirst) + position);
}
constexpr Command zoomCommand(size_t position) {
  return static_cast<Command>(static_cast<size_t>(Command::ZoomFirst) + position);
}
constexpr Command filterCommand(size_t position) {
  return static_cast<Command>(static_cast<size_t>(Command::FilterFirst) + position);
}
constexpr Command frameRateCommand(FrameRateChoice choice) {
  return static_cast<Command>(static_cast<size_t>(Command::FullFps) + static_cast<size_t>(choice));
}
constexpr Command rangeCommand(int32_t range) {
  return static_cast<Command>(static_cast<size_t>(Command::RangeNormal) + range);
}
inline constexpr int32_t kRangeCount = 3;

enum class Menu {
  File,
  Edit,
  Camera,
  FrameRate,
  Range,
  Image,
  Palette,
  Filter,
  Isotherm,
  Measure,
  Alarm,
  Play,
  View,
  Tools,
  Help,
  Count
};

struct MenuEntry {
  Menu id;
  std::optional<Menu> parent;  // a submenu sits in its parent where its first command falls
  const char* title;
  const char* objectName;
  bool separatorBefore = false;  // in the parent, before the submenu
};
std::span<const MenuEntry> menuCatalogue();

enum class Shortcut { None, Quit, HelpContents };

struct CommandEntry {
  Command id;
  Menu menu;
  std::string_view objectName;  // the stable name tests and saved layouts see
  std::string_view text = {};   // empty for the families: their core tables name them
  Shortcut shortcut = Shortcut::None;
  bool checkable = false;
  bool separatorBefore = false;
  // Commands of features still being built: present, disabled, and not required bound.
  bool pending = false;
};
const CommandEntry& commandEntry(Command command);
std::span<const CommandEntry> commandCatalogue();
// The menu text, family members included ("Iron colormap", "zoom 2x").
std::string_view commandText(Command command);

// The tool bar's buttons; nothing stands for a separator.
std::span<const std::optional<Command>> toolBarCommands();

// The Measure menu's tools, in the order the object editor numbers them (pointer first).
inline constexpr std::array<Command, 6> kEditTools{Command::Pointer,   Command::Spot,
                                                   Command::Rectangle, Command::Ellipse,
                                                   Command::Line,      Command::Polygon};

// Everything the enabled and checked states depend on.
struct CommandContext {
  bool acquiring = false;  // connected or trying to be
  bool live = false;
  bool reducedRate = false;
  FrameRateChoice rate = FrameRateChoice::Full;
  int32_t range = 0;
  std::array<bool, kRangeCount> rangesOffered{};  // known once a camera header arrived
  int32_t palette = kGreyPalette;
  bool invert = false;
  bool mirror = false;
  bool flip = false;
  float zoom = 1.0f;
  bool hotCold = false;
  bool fileOpen = false;  // an IR stream file or a snapshot is loaded
  bool recording = false;
  bool userRecording = false;  // started by the user, not by an alarm or the schedule
  bool playLoop = true;
  bool statusBar = true;
  std::array<bool, 3> isothermBands{};  // interval, above, below: painted
  bool picture = false;                 // a frame has been shown: objects have an image to live in
  int32_t editTool = 0;                 // position in kEditTools
  bool roiLocked = false;
  bool showGraphics = true;
  bool alarmOn = false;  // "Activate Alarm"
};

struct CommandLook {
  bool enabled = false;
  std::optional<bool> checked;  // set for checkable commands
};
using CommandLooks = std::array<CommandLook, kCommandCount>;
CommandLooks commandLooks(const CommandContext& context);

}  // namespace solvane
