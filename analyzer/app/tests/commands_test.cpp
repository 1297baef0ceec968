// The command catalogue and the rule of which commands are enabled and checked.
#include "app/commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace solvane {
namespace {

TEST(CommandCatalogue, EveryCommandHasATextAndItsOwnObjectName) {
  std::set<std::string_view> names;
  for (const CommandEntry& definition : commandCatalogue()) {
    EXPECT_FALSE(commandText(definition.id).empty()) << definition.objectName;
    EXPECT_TRUE(names.insert(definition.objectName).second) << definition.objectName;
  }
}

struct TextCase {
  const char* name;
  Command command;
  const char* text;
};
void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }
class CommandTexts : public testing::TestWithParam<TextCase> {};
TEST_P(CommandTexts, FamiliesTakeTheirTextFromTheCoreTables) {
  EXPECT_EQ(commandText(GetParam().command), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(
    Catalogue, CommandTexts,
    testing::Values(
        TextCase{.name = "firstPalette", .command = paletteCommand(0), .text = "Yellow colormap"},
        TextCase{
            .name = "lastPalette", .command = Command::PaletteLast, .text = "Glowbow colormap"},
        TextCase{
            .name = "zoomFit", .command = Command::ZoomLast, .text = "Fit the image in the window"},
        TextCase{.name = "bilateral", .command = Command::FilterLast, .text = "Bi-Lateral filter"},
        TextCase{
            .name = "cameraIp", .command = Command::SetCameraIp, .text = "Set worked  camera IP."}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

struct LookCase {
  const char* name;
  std::function<void(CommandContext&)> state;
  Command command;
  bool enabled;
  std::optional<bool> checked = std::nullopt;
};
void PrintTo(const LookCase& c, std::ostream* out) { *out << c.name; }
class CommandLookRule : public testing::TestWithParam<LookCase> {};
TEST_P(CommandLookRule, FollowsTheState) {
  CommandContext context;
  if (GetParam().state) GetParam().state(context);
  const CommandLook look = commandLooks(context)[static_cast<size_t>(GetParam().command)];
  EXPECT_EQ(look.enabled, GetParam().enabled);
  EXPECT_EQ(look.checked, GetParam().checked);
}
INSTANTIATE_TEST_SUITE_P(
    States, CommandLookRule,
    testing::Values(
        LookCase{
            .name = "connectWhileIdle", .state = {}, .command = Command::Connect, .enabled = true},
        LookCase{.name = "connectWhileConnected",
                 .state = [](CommandContext& c) { c.acquiring = true; },
                 .command = Command::Connect,
                 .enabled = false},
        LookCase{.name = "liveWhileFrozen",
                 .state = [](CommandContext& c) { c.acquiring = true; },
                 .command = Command::Live,
                 .enabled = true},
        LookCase{.name = "liveWhileLive",
                 .state =
                     [](CommandContext& c) {
                       c.acquiring = true;
                       c.live = true;
                     },
                 .command = Command::Live,
                 .enabled = false},
        LookCase{
            .name = "freezeWhileIdle", .state = {}, .command = Command::Freeze, .enabled = false},
        LookCase{.name = "snapshotWithNothingShown",
                 .state = {},
                 .command = Command::SaveOneShot,
                 .enabled = false},
        LookCase{.name = "temperatureMapOfALoadedFile",
                 .state = [](CommandContext& c) { c.fileOpen = true; },
                 .command = Command::ExportTempData,
                 .enabled = true},
        LookCase{.name = "recordWhileFrozen",
                 .state = [](CommandContext& c) { c.acquiring = true; },
                 .command = Command::RecordIrStream,
                 .enabled = false},
        LookCase{.name = "recordWhileRecording",
                 .state =
                     [](CommandContext& c) {
                       c.live = true;
                       c.recording = true;
                       c.userRecording = true;
                     },
                 .command = Command::RecordIrStream,
                 .enabled = false},
        LookCase{.name = "stopTheUsersRecording",
                 .state =
                     [](CommandContext& c) {
                       c.live = true;
                       c.recording = true;
                       c.userRecording = true;
                     },
                 .command = Command::StopIrStream,
                 .enabled = true},
        LookCase{.name = "stopAnAlarmRecording",
                 .state =
                     [](CommandContext& c) {
                       c.live = true;
                       c.recording = true;
                     },
                 .command = Command::StopIrStream,
                 .enabled = false},
        LookCase{.name = "searchWhileConnected",
                 .state = [](CommandContext& c) { c.acquiring = true; },
                 .command = Command::FindCamera,
                 .enabled = false},
        LookCase{.name = "rateOfAReducedRateCamera",
                 .state = [](CommandContext& c) { c.reducedRate = true; },
                 .command = Command::HalfFps,
                 .enabled = false,
                 .checked = false},
        LookCase{.name = "chosenRateIsChecked",
                 .state = [](CommandContext& c) { c.rate = FrameRateChoice::OnePerSecond; },
                 .command = Command::OneFps,
                 .enabled = true,
                 .checked = true},
        LookCase{.name = "rangeNotOffered",
                 .state = {},
                 .command = Command::RangeHigh,
                 .enabled = false,
                 .checked = false},
        LookCase{.name = "offeredRangeInForce",
                 .state =
                     [](CommandContext& c) {
                       c.rangesOffered = {true, true, false};
                       c.range = 1;
                     },
                 .command = Command::RangeHigh,
                 .enabled = true,
                 .checked = true},
        LookCase{.name = "objectToolWithoutPicture",
                 .state = {},
                 .command = Command::Spot,
                 .enabled = false,
                 .checked = false},
        LookCase{.name = "chosenObjectTool",
                 .state =
                     [](CommandContext& c) {
                       c.picture = true;
                       c.editTool = 4;
                     },
                 .command = Command::Line,
                 .enabled = true,
                 .checked = true},
        LookCase{.name = "pointerWhileAnotherToolChosen",
                 .state =
                     [](CommandContext& c) {
                       c.picture = true;
                       c.editTool = 4;
                     },
                 .command = Command::Pointer,
                 .enabled = true,
                 .checked = false},
        LookCase{.name = "loadObjectsWithoutPicture",
                 .state = {},
                 .command = Command::LoadObjects,
                 .enabled = false},
        LookCase{.name = "roiLockShowsTheLock",
                 .state = [](CommandContext& c) { c.roiLocked = true; },
                 .command = Command::RoiLock,
                 .enabled = true,
                 .checked = true},
        LookCase{.name = "graphicsHidden",
                 .state = [](CommandContext& c) { c.showGraphics = false; },
                 .command = Command::ShowGraphics,
                 .enabled = true,
                 .checked = false},
        LookCase{.name = "chosenPalette",
                 .state = [](CommandContext& c) { c.palette = 8; },
                 .command = paletteCommand(8),
                 .enabled = true,
                 .checked = true},
        LookCase{.name = "otherPalette",
                 .state = [](CommandContext& c) { c.palette = 8; },
                 .command = paletteCommand(11),
                 .enabled = true,
                 .checked = false},
        LookCase{.name = "fitZoom",
                 .state = [](CommandContext& c) { c.zoom = 0.0f; },
                 .command = Command::ZoomLast,
                 .enabled = true,
                 .checked = true},
        LookCase{
            .name = "filterIsNoToggle", .state = {}, .command = filterCommand(3), .enabled = true},
        LookCase{.name = "paintedIsothermBandIsChecked",
                 .state =
                     [](CommandContext& c) {
                       c.isothermBands = {false, true, false};
                     },
                 .command = Command::IsothermAbove,
                 .enabled = true,
                 .checked = true},
        LookCase{.name = "isothermBandOffByDefault",
                 .state = {},
                 .command = Command::IsothermBelow,
                 .enabled = true,
                 .checked = false},
        LookCase{.name = "environmentDialogAtHandWhileAcquiring",
                 .state = [](CommandContext& c) { c.acquiring = true; },
                 .command = Command::Environment,
                 .enabled = true},
        LookCase{.name = "objectLogNeedsACameraOrFile",
                 .state = {},
                 .command = Command::ExportSelectedObject,
                 .enabled = false},
        LookCase{.name = "objectLogWhileAcquiring",
                 .state = [](CommandContext& c) { c.acquiring = true; },
                 .command = Command::ExportSelectedObject,
                 .enabled = true},
        LookCase{.name = "alarmSwitchOffByDefault",
                 .state = {},
                 .command = Command::AlarmOnOff,
                 .enabled = true,
                 .checked = false},
        LookCase{.name = "alarmSwitchShowsItIsOn",
                 .state = [](CommandContext& c) { c.alarmOn = true; },
                 .command = Command::AlarmOnOff,
                 .enabled = true,
                 .checked = true},
        LookCase{.name = "closeWithNoFileOpen",
                 .state = {},
                 .command = Command::CloseIrFile,
                 .enabled = false},
        LookCase{.name = "closeAnOpenFile",
                 .state = [](CommandContext& c) { c.fileOpen = true; },
                 .command = Command::CloseIrFile,
                 .enabled = true},
        LookCase{.name = "playLoopShowsItsChoice",
                 .state = {},
                 .command = Command::PlayLoop,
                 .enabled = true,
                 .checked = true}),
    [](const testing::TestParamInfo<LookCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace solvane
