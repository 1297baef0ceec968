#include "app/commands.h"

#include <stdexcept>

namespace solvane {
namespace {

using C = Command;
using M = Menu;

constexpr MenuEntry kMenus[] = {
    {M::File, std::nullopt, "&File", "menuFile"},
    {M::Edit, std::nullopt, "&Edit", "menuEdit"},
    {M::Camera, std::nullopt, "&Camera", "menuCamera"},
    {M::FrameRate, M::Camera, "Frame rate", "menuFrameRate", true},
    {M::Range, M::Camera, "Temperature range", "menuRange"},
    {M::Image, std::nullopt, "&Image", "menuImage"},
    {M::Palette, M::Image, "Palette", "menuPalette"},
    {M::Filter, M::Image, "Filter", "menuFilter", true},
    {M::Isotherm, M::Image, "Isotherm", "menuIsotherm"},
    {M::Measure, std::nullopt, "&Measure", "menuMeasure"},
    {M::Alarm, std::nullopt, "&Alarm", "menuAlarm"},
    {M::Play, std::nullopt, "&Play", "menuPlay"},
    {M::View, std::nullopt, "&View", "menuView"},
    {M::Tools, std::nullopt, "&Tools", "menuTools"},
    {M::Help, std::nullopt, "&Help", "menuHelp"},
};
static_assert(std::size(kMenus) == static_cast<size_t>(Menu::Count));

// Family members (palettes, zoom steps, filters) take their text from the core tables.
constexpr CommandEntry kCommands[] = {
    {C::LoadIrFile, M::File, "actionLoadIrFile", "Load IR file"},
    {C::CloseIrFile, M::File, "actionCloseIrFile", "Close IR file"},
    {C::RecordIrStream, M::File, "actionRecordIrStream", "Record IR stream file", {}, false, true},
    {C::StopIrStream,
     M::File,
     "actionStopIrStream",
     "Stop to save IR stream file",
     {},
     false,
     false},
    {C::SaveOneShot, M::File, "actionSaveOneShot", "Save OneShot Image", {}, false, true},
    {C::ExportTempData, M::File, "actionExportTempData", "Export Temp. Data", {}, false, false},
    {C::ExportSelectedObject,
     M::File,
     "actionExportSelectedObject",
     "Export Selected Object",
     {},
     false,
     false},
    {C::SaveObjects, M::File, "actionSaveObjects", "Save Objects...", {}, false, true},
    {C::LoadObjects, M::File, "actionLoadObjects", "Load Objects..."},
    {C::Exit, M::File, "actionExit", "E&xit", Shortcut::Quit, false, true},
    {C::CopyClipboard, M::Edit, "actionCopyClipboard", "Copy Clipboard"},
    {C::Connect, M::Camera, "actionConnect", "Connection"},
    {C::Disconnect, M::Camera, "actionDisconnect", "Disconnection"},
    {C::Live, M::Camera, "actionLive", "Live", {}, false, true},
    {C::Freeze, M::Camera, "actionFreeze", "Freeze"},
    {C::SetCameraIp, M::Camera, "actionSetCameraIp", "Set worked  camera IP.", {}, false, true},
    {C::FindCamera, M::Camera, "actionFindCamera", "Search cameras on the local network"},
    {C::FullFps, M::FrameRate, "actionFullFps", "Full fps", {}, true},
    {C::HalfFps, M::FrameRate, "actionHalfFps", "1/2 fps", {}, true},
    {C::ThirdFps, M::FrameRate, "actionThirdFps", "1/3 fps", {}, true},
    {C::QuarterFps, M::FrameRate, "actionQuarterFps", "1/4 fps", {}, true},
    {C::OneFps, M::FrameRate, "actionOneFps", "1 fps", {}, true},
    {C::UserFps, M::FrameRate, "actionUserFps", "User Define...", {}, true},
    {C::RangeNormal, M::Range, "actionRangeNormal", "Normal Mode", {}, true},
    {C::RangeHigh, M::Range, "actionRangeHigh", "High Mode", {}, true},
    {C::RangeMedical, M::Range, "actionRangeMedical", "Medical Mode", {}, true},
    {C::Nuc, M::Camera, "actionNuc", "NUC", {}, false, true},
    {paletteCommand(0), M::Palette, "actionPalette0", {}, {}, true},
    {paletteCommand(1), M::Palette, "actionPalette1", {}, {}, true},
    {paletteCommand(2), M::Palette, "actionPalette2", {}, {}, true},
    {paletteCommand(3), M::Palette, "actionPalette3", {}, {}, true},
    {paletteCommand(4), M::Palette, "actionPalette4", {}, {}, true},
    {paletteCommand(5), M::Palette, "actionPalette5", {}, {}, true},
    {paletteCommand(6), M::Palette, "actionPalette6", {}, {}, true},
    {paletteCommand(7), M::Palette, "actionPalette7", {}, {}, true},
    {paletteCommand(8), M::Palette, "actionPalette8", {}, {}, true},
    {paletteCommand(9), M::Palette, "actionPalette9", {}, {}, true},
    {paletteCommand(10), M::Palette, "actionPalette10", {}, {}, true},
    {paletteCommand(11), M::Palette, "actionPalette11", {}, {}, true},
    {paletteCommand(12), M::Palette, "actionPalette12", {}, {}, true},
    {C::InvertPalette, M::Image, "actionInvertPalette", "Invert Palette", {}, true},
    {C::Mirror, M::Image, "actionMirror", "Mirror", {}, true},
    {C::Flip, M::Image, "actionFlip", "Flip", {}, true},
    {zoomCommand(0), M::Image, "actionZoom10", {}, {}, true, true},
    {zoomCommand(1), M::Image, "actionZoom15", {}, {}, true},
    {zoomCommand(2), M::Image, "actionZoom20", {}, {}, true},
    {zoomCommand(3), M::Image, "actionZoom25", {}, {}, true},
    {zoomCommand(4), M::Image, "actionZoom30", {}, {}, true},
    {zoomCommand(5), M::Image, "actionZoomFit", {}, {}, true},
    {filterCommand(0), M::Filter, "actionFilter0", {}},
    {filterCommand(1), M::Filter, "actionFilter1", {}},
    {filterCommand(2), M::Filter, "actionFilter2", {}},
    {filterCommand(3), M::Filter, "actionFilter3", {}},
    {filterCommand(4), M::Filter, "actionFilter4", {}},
    {filterCommand(5), M::Filter, "actionFilter5", {}},
    {filterCommand(6), M::Filter, "actionFilter6", {}},
    {filterCommand(7), M::Filter, "actionFilter7", {}},
    {filterCommand(8), M::Filter, "actionFilter8", {}},
    {filterCommand(9), M::Filter, "actionFilter9", {}},
    {C::HotCold, M::Image, "actionHotCold", "Draw Hot/Cold Point", {}, true, true},
    {C::ShowGraphics, M::Image, "actionShowGraphics", "Show Graphics", {}, true},
    {C::Emissivity, M::Image, "actionEmissivity", "Emissivity etc.", {}, false, true},
    {C::LevelSpan, M::Image, "actionLevelSpan", "Level and Span"},
    {C::IsothermEditor, M::Isotherm, "actionIsothermEditor", "&Isotherm editor"},
    {C::IsothermInterval, M::Isotherm, "actionIsothermInterval", "&Interval", {}, true},
    {C::IsothermAbove, M::Isotherm, "actionIsothermAbove", "&Above", {}, true},
    {C::IsothermBelow, M::Isotherm, "actionIsothermBelow", "&Below", {}, true},
    {C::Pointer, M::Measure, "actionPointer", "Activate Pointer", {}, true},
    {C::Spot, M::Measure, "actionSpot", "Set Measurement Spot", {}, true},
    {C::Rectangle, M::Measure, "actionRectangle", "Set Measurement Rectangle", {}, true},
    {C::Ellipse, M::Measure, "actionEllipse", "Set Measurement Elipse", {}, true},
    {C::Line, M::Measure, "actionLine", "Set Measurement Line", {}, true},
    {C::Polygon, M::Measure, "actionPolygon", "Set Measurement Polyigon", {}, true},
    {C::RoiLock, M::Measure, "actionRoiLock", "ROI Lock Mode", {}, true, true},
    {C::AlarmOnOff, M::Alarm, "actionAlarmOnOff", "Activate Alarm", {}, true},
    {C::Environment,
     M::Alarm,
     "actionEnvironment",
     "Environment Setting...",
     {},
     false,
     false,
     false},
    {C::PlayLoop, M::Play, "actionPlayLoop", "Play loop", {}, true},
    {C::StatusBar, M::View, "actionStatusBar", "Status Bar", {}, true},
    {C::ResetLayout, M::View, "actionResetLayout", "Reset window layout"},
    {C::InitializeParameters, M::Tools, "actionInitializeParameters", "Initialize paramers"},
    {C::Help, M::Help, "actionHelp", "Help", Shortcut::HelpContents},
    {C::About, M::Help, "actionAbout", "&About Solvane..."},
};
static_assert(std::size(kCommands) == kCommandCount);

constexpr bool catalogueInEnumOrder() {
  for (size_t i = 0; i < std::size(kCommands); ++i)
    if (static_cast<size_t>(kCommands[i].id) != i) return false;
  return true;
}
static_assert(catalogueInEnumOrder(), "the catalogue lists every command once, in enum order");

constexpr std::optional<Command> kToolBar[] = {
    C::Connect,       C::Disconnect,     C::Live,         C::Freeze,    std::nullopt,
    C::LoadIrFile,    C::RecordIrStream, C::StopIrStream, std::nullopt, C::SaveOneShot,
    C::CopyClipboard, std::nullopt,      C::About,
};

size_t offset(Command command, Command first) {
  return static_cast<size_t>(command) - static_cast<size_t>(first);
}
bool within(Command command, Command first, Command last) {
  return command >= first && command <= last;
}

// "<name> colormap" for every palette, made once.
const std::array<std::string, kPalettes.size()>& paletteTexts() {
  static const auto texts = [] {
    std::array<std::string, kPalettes.size()> made;
    for (size_t i = 0; i < kPalettes.size(); ++i)
      made[i] = std::string(kPalettes[i].name) + " colormap";
    return made;
  }();
  return texts;
}

}  // namespace

std::span<const MenuEntry> menuCatalogue() { return kMenus; }
std::span<const CommandEntry> commandCatalogue() { return kCommands; }
std::span<const std::optional<Command>> toolBarCommands() { return kToolBar; }

const CommandEntry& commandEntry(Command command) {
  const auto index = static_cast<size_t>(command);
  if (index >= kCommandCount) throw std::out_of_range("no such command");
  return kCommands[index];
}

std::string_view commandText(Command command) {
  if (within(command, C::PaletteFirst, C::PaletteLast))
    return paletteTexts()[offset(command, C::PaletteFirst)];
  if (within(command, C::ZoomFirst, C::ZoomLast)) return kZooms[offset(command, C::ZoomFirst)].text;
  if (within(command, C::FilterFirst, C::FilterLast))
    return kFilters[offset(command, C::FilterFirst)].text;
  return commandEntry(command).text;
}

CommandLooks commandLooks(const CommandContext& s) {
  CommandLooks looks{};
  auto set = [&looks](Command command, bool enabled, std::optional<bool> checked = {}) {
    looks[static_cast<size_t>(command)] = CommandLook{enabled, checked};
  };
  // Always at hand: leaving, the window's own commands and the display choices.
  for (Command always : {C::Exit, C::SetCameraIp, C::StatusBar, C::ResetLayout,
                         C::InitializeParameters, C::Help, C::About, C::CopyClipboard})
    set(always, true);
  set(C::Environment, true);
  set(C::StatusBar, true, s.statusBar);
  set(C::PlayLoop, true, s.playLoop);
  set(C::LoadIrFile, true);
  set(C::CloseIrFile, s.fileOpen);

  set(C::Connect, !s.acquiring);
  set(C::Disconnect, s.acquiring);
  set(C::Live, s.acquiring && !s.live);
  set(C::Freeze, s.acquiring && s.live);
  set(C::FindCamera, !s.acquiring);
  set(C::Nuc, s.acquiring);
  for (size_t i = 0; i <= static_cast<size_t>(FrameRateChoice::UserDefined); ++i) {
    const auto choice = static_cast<FrameRateChoice>(i);
    set(frameRateCommand(choice), !s.reducedRate, s.rate == choice);
  }
  for (int32_t range = 0; range < kRangeCount; ++range)
    set(rangeCommand(range), s.rangesOffered[static_cast<size_t>(range)], s.range == range);

  for (size_t i = 0; i < kPalettes.size(); ++i)
    set(paletteCommand(i), true, kPalettes[i].index == s.palette);
  set(C::InvertPalette, true, s.invert);
  set(C::Mirror, true, s.mirror);
  set(C::Flip, true, s.flip);
  for (size_t i = 0; i < kZooms.size(); ++i) set(zoomCommand(i), true, kZooms[i].factor == s.zoom);
  for (size_t i = 0; i < kFilters.size(); ++i) set(filterCommand(i), true);
  set(C::HotCold, true, s.hotCold);
  set(C::Emissivity, true);
  set(C::LevelSpan, true);
  set(C::IsothermEditor, true);
  for (size_t band = 0; band < s.isothermBands.size(); ++band)
    set(static_cast<Command>(static_cast<size_t>(C::IsothermInterval) + band), true,
        s.isothermBands[band]);
  // A picture to save exists only while a camera or a file is shown.
  set(C::SaveOneShot, s.acquiring || s.fileOpen);
  set(C::ExportTempData, s.acquiring || s.fileOpen);
  set(C::ExportSelectedObject, s.acquiring || s.fileOpen);
  // Alarm and schedule recordings end by themselves: only the user's own can be stopped.
  set(C::RecordIrStream, (s.live || s.fileOpen) && !s.recording);
  set(C::StopIrStream, s.recording && s.userRecording);
  set(C::ShowGraphics, true, s.showGraphics);
  // Objects are placed and kept on a picture: without one there is no resolution to use.
  set(C::SaveObjects, s.picture);
  set(C::LoadObjects, s.picture);
  for (size_t i = 0; i < kEditTools.size(); ++i)
    set(kEditTools[i], s.picture, s.editTool == static_cast<int32_t>(i));
  set(C::RoiLock, true, s.roiLocked);
  set(C::AlarmOnOff, true, s.alarmOn);

  for (const CommandEntry& definition : kCommands)
    if (definition.pending) looks[static_cast<size_t>(definition.id)].enabled = false;
  return looks;
}

}  // namespace solvane
