// The settings catalogue's tables: every field of every page and every command they send.
#include <utility>

#include "camera/settings_catalogue_table.h"

namespace camera::detail {

namespace {

using Texts = std::vector<std::string_view>;
const Texts kOffOn{"Off", "On"};
const Texts kLevels{"Level0", "Level1", "Level2", "Level3", "Level4", "Level5", "Level6"};

FieldEntry toggle(std::string_view key, Page page, std::string_view label, int offset,
                  Texts texts = kOffOn) {
  FieldEntry f{.key = key, .page = page, .label = label, .kind = FieldKind::Toggle};
  f.choices = std::move(texts);
  if (offset >= 0) {
    f.read = HeaderRead::Unsigned;
    f.offset = offset;
  }
  return f;
}

FieldEntry choice(std::string_view key, Page page, std::string_view label, int offset, Texts texts,
                  int64_t initial = 0) {
  FieldEntry f = toggle(key, page, label, offset, std::move(texts));
  f.kind = FieldKind::Choice;
  f.initial = initial;
  return f;
}

FieldEntry range(std::string_view key, Page page, std::string_view label, HeaderRead read,
                 int offset, int width, int64_t minimum, int64_t maximum, int64_t initial) {
  return FieldEntry{.key = key,
                    .page = page,
                    .label = label,
                    .kind = FieldKind::Range,
                    .read = read,
                    .offset = offset,
                    .width = width,
                    .minimum = minimum,
                    .maximum = maximum,
                    .initial = initial};
}

FieldEntry address(std::string_view key, Page page, std::string_view label, int offset,
                   uint32_t initial) {
  return FieldEntry{.key = key,
                    .page = page,
                    .label = label,
                    .kind = FieldKind::Address,
                    .read = HeaderRead::Unsigned,
                    .offset = offset,
                    .width = 4,
                    .minimum = 0,
                    .maximum = 0xFFFFFFFFLL,
                    .initial = initial};
}

FieldEntry readAbove(FieldEntry f, int64_t limit, int64_t as) {
  f.readAbove = limit;
  f.readAs = as;
  return f;
}

}  // namespace

std::vector<FieldEntry> buildFields() {
  std::vector<FieldEntry> f;
  // KT "Video": the camera applies these to its picture without reporting them back.
  f.push_back(
      choice("kt_video.agc", Page::KtVideo, "AGC Mode", -1, {"Off", "Histogram", "Brightness"}, 1));
  f.push_back(range("kt_video.level", Page::KtVideo,
                    "Level (0.1 \xC2\xB0"
                    "C)",
                    HeaderRead::None, -1, 2, -400, 15000, 300));
  f.push_back(range("kt_video.span", Page::KtVideo,
                    "Span (0.1 \xC2\xB0"
                    "C)",
                    HeaderRead::None, -1, 2, 10, 15000, 200));
  f.push_back(choice("kt_video.palette", Page::KtVideo, "Palette", -1,
                     {"Grey", "Rainbow", "Iron", "GreyRed", "GlowBow", "Yellow", "MidGrey",
                      "MidGreen", "User Color1", "User Color2"}));
  f.push_back(toggle("kt_video.invert", Page::KtVideo, "Color Invert", -1));
  f.push_back(toggle("kt_video.mirror", Page::KtVideo, "Mirror", -1));
  f.push_back(toggle("kt_video.flip", Page::KtVideo, "Flip", -1));
  f.push_back(choice("kt_video.zoom", Page::KtVideo, "Zoom", -1, {"Off", "2x", "4x"}));
  f.push_back(choice("kt_video.filter", Page::KtVideo, "Image Filter", -1,
                     {"Off", "Slight Sharpten", "Strong Sharpten", "Median", "Gaussian"}));

  // KT "Display".
  f.push_back(toggle("kt_display.colour_bar", Page::KtDisplay, "Color Bar", 18));
  f.push_back(toggle("kt_display.temp_info", Page::KtDisplay, "Temperature Information", 19));
  f.push_back(toggle("kt_display.min_max", Page::KtDisplay, "Min/Max Indicator", 20));
  f.push_back(toggle("kt_display.temp_type", Page::KtDisplay, "Temperature Type", 21,
                     {"Celsius", "Fahrenheit"}));
  f.push_back(readAbove(choice("kt_display.transparency", Page::KtDisplay, "Transparency", 24,
                               {"0", "20", "40", "60", "80"}),
                        4, 0));
  f.push_back(toggle("kt_display.centre", Page::KtDisplay, "Center Indicator", 56));
  f.push_back(toggle("kt_display.spot", Page::KtDisplay, "Spot Indicator", 57));
  f.push_back(toggle("kt_display.correction", Page::KtDisplay, "Correction Information", 58));

  // KT "Comm".
  f.push_back(
      range("kt_comm.id", Page::KtComm, "Camera ID", HeaderRead::Unsigned, 8, 1, 1, 255, 1));
  f.push_back(choice("kt_comm.baud", Page::KtComm, "Baud Rate", 9,
                     {"2400", "4800", "9600", "19200", "38400"}, 2));
  FieldEntry ktDhcp = readAbove(toggle("kt_comm.dhcp", Page::KtComm, "DHCP", 22), 1, 0);
  ktDhcp.initial = 1;
  f.push_back(ktDhcp);
  f.push_back(address("kt_comm.ip", Page::KtComm, "IP Address", 31, 0));
  f.push_back(address("kt_comm.mask", Page::KtComm, "Net Mask", 35, 0));
  f.push_back(address("kt_comm.gateway", Page::KtComm, "Gateway", 39, 0));

  // KT "System".
  f.push_back(toggle("kt_system.tv", Page::KtSystem, "TV Mode", 6, {"NTSC", "PAL"}));
  FieldEntry nucPeriod = choice("kt_system.nuc_period", Page::KtSystem, "NUC Period", 28,
                                {"1 min", "5 min", "10 min", "30 min", "60 min", "off"}, 1);
  nucPeriod.width = 2;
  f.push_back(nucPeriod);
  FieldEntry ktRange = toggle("kt_system.range", Page::KtSystem, "Temperature Range", 7,
                              {"Normal Mode", "High Mode"});
  ktRange.rule = ChoiceRule::HighRangeNeedsCamera;
  f.push_back(ktRange);

  // KS "Display".
  f.push_back(toggle("ks_display.icon", Page::KsDisplay, "Display Icon", 80));
  f.push_back(toggle("ks_display.centre", Page::KsDisplay, "Center", 56));
  f.push_back(toggle("ks_display.min_max", Page::KsDisplay, "Indicator", 20));
  f.push_back(toggle("ks_display.colour_bar", Page::KsDisplay, "Color Bar", 18));
  f.push_back(toggle("ks_display.temp_info", Page::KsDisplay, "Temperature Information", 19));
  f.push_back(readAbove(
      choice("ks_display.roi", Page::KsDisplay, "ROI", 57, {"Off", "Empty", "Filled"}), 2, 2));
  f.push_back(toggle("ks_display.correction", Page::KsDisplay, "Correction Information", 58));
  f.push_back(readAbove(choice("ks_display.transparency", Page::KsDisplay, "Transparency", 24,
                               {"Off", "20%", "40%", "60%", "80%"}),
                        4, 4));
  f.push_back(toggle("ks_display.temp_type", Page::KsDisplay, "Temperature Type", 21,
                     {"Celsius", "Fahrenheit"}));

  // KS "Video Size": the output windows, as the margins the camera keeps in its header.
  f.push_back(range("ks_size.tv_h", Page::KsVideoSize, "TV Horizontal Margin", HeaderRead::Unsigned,
                    93, 2, 0, 360, 0));
  f.push_back(range("ks_size.tv_v", Page::KsVideoSize, "TV Vertical Margin", HeaderRead::Unsigned,
                    97, 2, 0, 288, 0));
  f.push_back(range("ks_size.hdmi_h", Page::KsVideoSize, "HDMI Horizontal Margin",
                    HeaderRead::Unsigned, 101, 2, 0, 960, 0));
  f.push_back(range("ks_size.hdmi_v", Page::KsVideoSize, "HDMI Vertical Margin",
                    HeaderRead::Unsigned, 105, 2, 0, 540, 0));

  // KS "Video".
  f.push_back(range("ks_video.brightness", Page::KsVideo, "Brightness", HeaderRead::Unsigned, 81, 1,
                    0, 100, 50));
  f.push_back(range("ks_video.contrast", Page::KsVideo, "Contrast", HeaderRead::Unsigned, 82, 1, 0,
                    100, 50));
  f.push_back(choice("ks_video.zoom", Page::KsVideo, "Zoom", 25, {"Off", "x2", "x4"}));
  FieldEntry rotation = choice("ks_video.rotation", Page::KsVideo, "Rotation", 16,
                               {"Off", "Mirror", "Flip", "M + F"});
  rotation.read = HeaderRead::MirrorFlip;
  f.push_back(rotation);
  f.push_back(choice("ks_video.palette", Page::KsVideo, "Palette", 23,
                     {"Grey", "Iron", "Rainbow", "Grey Red", "Glowbow", "Yellow", "MidGrey"}));
  f.push_back(toggle("ks_video.invert", Page::KsVideo, "Invert", 15));

  // KS "Image Adjustments", both generations.
  for (Page page : {Page::KsImage32, Page::KsImage33}) {
    const bool first = page == Page::KsImage32;
    f.push_back(choice(first ? "ks_image32.agc" : "ks_image33.agc", page, "AGC Mode", 14,
                       {"Manual", "Auto"}, 1));
    if (first) {
      f.push_back(range("ks_image32.maximum", page, "Manual Max", HeaderRead::Signed, 88, 2, -400,
                        20000, 1200));
      f.push_back(range("ks_image32.minimum", page, "Manual Min", HeaderRead::Signed, 90, 2, -400,
                        20000, -200));
    } else {
      f.push_back(
          range("ks_image33.level", page, "Level", HeaderRead::None, -1, 2, 0, 16383, 8192));
      f.push_back(range("ks_image33.span", page, "Span", HeaderRead::None, -1, 2, 1, 16383, 4096));
    }
    f.push_back(choice(first ? "ks_image32.noise" : "ks_image33.noise", page, "Noise Filter", 27,
                       {"Off", "NR1", "NR2", "NR1 + NR2"}));
    f.push_back(toggle(first ? "ks_image32.edge" : "ks_image33.edge", page, "Edge Filter", 83));
    f.push_back(
        choice(first ? "ks_image32.nr1" : "ks_image33.nr1", page, "NR1 Strength", 122, kLevels));
    f.push_back(
        choice(first ? "ks_image32.nr2" : "ks_image33.nr2", page, "NR2 Strength", 123, kLevels));
    f.push_back(
        choice(first ? "ks_image32.ee" : "ks_image33.ee", page, "EE Strength", 124, kLevels));
  }

  // KS "NUC".
  f.push_back(
      choice("ks_nuc.mode", Page::KsNuc, "NUC Mode", 84, {"Off", "Time", "Auto", "Time + Auto"}));
  f.push_back(choice("ks_nuc.time", Page::KsNuc, "NUC Time", 85,
                     {"1 min", "5 min", "10 min", "30 min", "60 min"}));
  f.push_back(choice("ks_nuc.threshold", Page::KsNuc, "NUC Threshold", 86,
                     {"Lowest", "Low", "Middle", "High", "Highest"}));

  // KS "Network".
  f.push_back(readAbove(toggle("ks_network.dhcp", Page::KsNetwork, "DHCP", 22), 1, 0));
  f.push_back(address("ks_network.ip", Page::KsNetwork, "IP Address", 31, 0xC0A80064));
  f.push_back(address("ks_network.mask", Page::KsNetwork, "Subnet Mask", 35, 0xFFFFFF00));
  f.push_back(address("ks_network.gateway", Page::KsNetwork, "Gateway", 39, 0xC0A80001));

  // KS "Alarm": two outputs.
  const Texts alarmModes{"OFF",     "READY FOR USE", "ALIVE PWM", "TEMPERATURE", "REMOTE CONTROL",
                         "TEST ON", "TEST OFF"};
  for (int output = 0; output < 2; ++output) {
    const int base = 110 + 4 * output;
    const bool first = output == 0;
    f.push_back(choice(first ? "ks_alarm.out1_type" : "ks_alarm.out2_type", Page::KsAlarm,
                       first ? "Alarm01 Type" : "Alarm02 Type", base, {"NO", "NC"}));
    f.push_back(choice(first ? "ks_alarm.out1_mode" : "ks_alarm.out2_mode", Page::KsAlarm,
                       first ? "Alarm01 Mode" : "Alarm02 Mode", base + 1, alarmModes));
    f.push_back(range(first ? "ks_alarm.out1_duration" : "ks_alarm.out2_duration", Page::KsAlarm,
                      first ? "Alarm01 Duration (s)" : "Alarm02 Duration (s)", HeaderRead::Unsigned,
                      base + 2, 1, 0, 255, 0));
    FieldEntry remote =
        toggle(first ? "ks_alarm.out1_remote" : "ks_alarm.out2_remote", Page::KsAlarm,
               first ? "Alarm01 Remote Control" : "Alarm02 Remote Control", base + 3);
    remote.kind = FieldKind::Readout;
    f.push_back(remote);
  }

  // KS "Correction" (emissivity and transmission in hundredths, temperatures in tenths).
  f.push_back(
      toggle("ks_correction.used", Page::KsCorrection, "Used Correction", 130, {"OFF", "ON"}));
  f.push_back(range("ks_correction.emissivity", Page::KsCorrection, "Emissivity (0.01)",
                    HeaderRead::Unsigned, 131, 1, 1, 100, 95));
  f.push_back(range("ks_correction.transmission", Page::KsCorrection, "Transmission (0.01)",
                    HeaderRead::Unsigned, 132, 1, 1, 100, 100));
  f.push_back(range("ks_correction.atmosphere", Page::KsCorrection,
                    "Atmosphere Temp. (0.1 \xC2\xB0"
                    "C)",
                    HeaderRead::Signed, 133, 2, -400, 1000, 200));
  f.push_back(range("ks_correction.zero_offset", Page::KsCorrection,
                    "Zero Offset (0.1 \xC2\xB0"
                    "C)",
                    HeaderRead::Signed, 118, 2, -1000, 1000, 0));
  f.push_back(range("ks_correction.distance", Page::KsCorrection, "Measuring Distance",
                    HeaderRead::Unsigned, 120, 2, 0, 10000, 10));

  // KS "System".
  f.push_back(toggle("ks_system.temp_type", Page::KsSystem, "Temperature Unit", 21,
                     {"Celsius", "Fahrenheit"}));
  f.push_back(toggle("ks_system.tv", Page::KsSystem, "TV Mode", 6, {"NTSC", "PAL"}));
  f.push_back(choice("ks_system.hdmi", Page::KsSystem, "HDMI Mode", 109,
                     {"1920x1080 60p", "1920x1080 50p", "1280x720 60p", "1280x720 50p"}));
  f.push_back(choice("ks_system.protocol", Page::KsSystem, "Serial Protocol", -1,
                     {"Pelco-D", "SAMSUNG-T", "Thermal"}));
  f.push_back(range("ks_system.id", Page::KsSystem, "ID", HeaderRead::None, -1, 1, 0, 255, 1));
  f.push_back(choice("ks_system.baud", Page::KsSystem, "Baud Rate", -1,
                     {"2400", "4800", "9600", "19200", "38400", "57600", "115200"}, 2));
  FieldEntry ksRange =
      toggle("ks_system.range", Page::KsSystem, "Temperature Range", 7, {"Normal", "High"});
  ksRange.kind = FieldKind::RangeList;
  f.push_back(ksRange);
  FieldEntry isoMode = choice("ks_system.iso_mode", Page::KsSystem, "Isotherm", -1,
                              {"Off", "Max. Below", "Min. Above", "Interval", "All"});
  isoMode.choiceValues = {0, 2, 1, 4, 7};
  f.push_back(isoMode);
  f.push_back(range("ks_system.iso_lower", Page::KsSystem,
                    "Isotherm Lower (0.1 \xC2\xB0"
                    "C)",
                    HeaderRead::None, -1, 2, -400, 15000, 200));
  f.push_back(range("ks_system.iso_upper", Page::KsSystem,
                    "Isotherm Upper (0.1 \xC2\xB0"
                    "C)",
                    HeaderRead::None, -1, 2, -400, 15000, 400));
  // The isotherm's colours: blue below, green in the interval, red above.
  const std::pair<std::string_view, std::string_view> colours[] = {
      {"ks_system.iso_below_colour", "Below Color"},
      {"ks_system.iso_interval_colour", "Interval Color"},
      {"ks_system.iso_above_colour", "Above Color"}};
  const int64_t initialColours[] = {0xFF0000, 0x00FF00, 0x0000FF};
  for (size_t i = 0; i < 3; ++i) {
    f.push_back(FieldEntry{.key = colours[i].first,
                           .page = Page::KsSystem,
                           .label = colours[i].second,
                           .kind = FieldKind::Colour,
                           .minimum = 0,
                           .maximum = 0xFFFFFF,
                           .initial = initialColours[i]});
  }
  return f;
}

namespace {

CommandEntry onChange(std::string_view key, SettingId id, Page page,
                      std::vector<std::string_view> fields, Packing packing = Packing::Value) {
  CommandEntry c{.key = key, .id = id, .page = page, .packing = packing, .fields = fields};
  c.sentOnChangeOf = fields;
  return c;
}

CommandEntry byButton(std::string_view key, SettingId id, Page page,
                      std::vector<std::string_view> fields, Packing packing,
                      std::string_view button) {
  return CommandEntry{
      .key = key, .id = id, .page = page, .packing = packing, .fields = fields, .button = button};
}

CommandEntry restored(CommandEntry c) {
  c.restoredOnInitialise = true;
  return c;
}

}  // namespace

std::vector<CommandEntry> buildCommands() {
  using S = SettingId;
  std::vector<CommandEntry> c;
  // KT, in the order "Initialized" sends them: Video, Display, System, Comm.
  c.push_back(restored(onChange("kt_agc", S::AgcMode, Page::KtVideo, {"kt_video.agc"})));
  c.push_back(onChange("kt_level", S::Level, Page::KtVideo, {"kt_video.level"}));
  c.push_back(onChange("kt_span", S::Span, Page::KtVideo, {"kt_video.span"}));
  c.push_back(restored(onChange("kt_palette", S::Palette, Page::KtVideo, {"kt_video.palette"})));
  c.push_back(restored(onChange("kt_invert", S::Invert, Page::KtVideo, {"kt_video.invert"})));
  c.push_back(restored(onChange("kt_mirror", S::Mirror, Page::KtVideo, {"kt_video.mirror"})));
  c.push_back(restored(onChange("kt_flip", S::Flip, Page::KtVideo, {"kt_video.flip"})));
  c.push_back(restored(onChange("kt_zoom", S::Zoom, Page::KtVideo, {"kt_video.zoom"})));
  c.push_back(restored(onChange("kt_filter", S::ImageFilter, Page::KtVideo, {"kt_video.filter"})));

  c.push_back(restored(
      onChange("kt_colour_bar", S::ColourBar, Page::KtDisplay, {"kt_display.colour_bar"})));
  c.push_back(restored(
      onChange("kt_temp_info", S::TemperatureInfo, Page::KtDisplay, {"kt_display.temp_info"})));
  c.push_back(restored(
      onChange("kt_min_max", S::MinMaxIndicator, Page::KtDisplay, {"kt_display.min_max"})));
  c.push_back(restored(
      onChange("kt_temp_type", S::TemperatureType, Page::KtDisplay, {"kt_display.temp_type"})));
  c.push_back(restored(
      onChange("kt_transparency", S::Transparency, Page::KtDisplay, {"kt_display.transparency"})));
  c.push_back(
      restored(onChange("kt_centre", S::CentreIndicator, Page::KtDisplay, {"kt_display.centre"})));
  c.push_back(
      restored(onChange("kt_spot", S::SpotIndicator, Page::KtDisplay, {"kt_display.spot"})));
  c.push_back(restored(
      onChange("kt_correction", S::CorrectionInfo, Page::KtDisplay, {"kt_display.correction"})));

  CommandEntry ktTv = onChange("kt_tv", S::TvMode, Page::KtSystem, {"kt_system.tv"});
  ktTv.question = Question::KtTvMode;
  c.push_back(ktTv);
  c.push_back(
      restored(onChange("kt_nuc_period", S::NucPeriod, Page::KtSystem, {"kt_system.nuc_period"})));
  CommandEntry ktNuc =
      byButton("kt_nuc_now", S::NucPeriod, Page::KtSystem, {}, Packing::Fixed, "NUC");
  ktNuc.fixedValue = 7;  // one NUC now
  c.push_back(ktNuc);
  c.push_back(
      restored(onChange("kt_range", S::TemperatureRange, Page::KtSystem, {"kt_system.range"})));

  CommandEntry ktIp = byButton("kt_ip", S::IpSetting, Page::KtComm,
                               {"kt_comm.dhcp", "kt_comm.ip", "kt_comm.mask", "kt_comm.gateway"},
                               Packing::NetworkKt, "Set IP");
  ktIp.doneMessage = kIpDone;
  c.push_back(restored(ktIp));
  CommandEntry ktId =
      byButton("kt_id", S::CameraId, Page::KtComm, {"kt_comm.id"}, Packing::Value, "Set RS-485");
  ktId.doneMessage = kSerialDone;
  c.push_back(restored(ktId));
  CommandEntry ktBaud = byButton("kt_baud", S::BaudRate, Page::KtComm, {"kt_comm.baud"},
                                 Packing::Value, "Set RS-485");
  ktBaud.doneMessage = kSerialDone;
  c.push_back(restored(ktBaud));

  // KS.
  c.push_back(onChange("ks_icon", S::DisplayIcon, Page::KsDisplay, {"ks_display.icon"}));
  c.push_back(onChange("ks_centre", S::CentreIndicator, Page::KsDisplay, {"ks_display.centre"}));
  c.push_back(onChange("ks_min_max", S::MinMaxIndicator, Page::KsDisplay, {"ks_display.min_max"}));
  c.push_back(onChange("ks_colour_bar", S::ColourBar, Page::KsDisplay, {"ks_display.colour_bar"}));
  c.push_back(
      onChange("ks_temp_info", S::TemperatureInfo, Page::KsDisplay, {"ks_display.temp_info"}));
  c.push_back(onChange("ks_roi", S::SpotIndicator, Page::KsDisplay, {"ks_display.roi"}));
  c.push_back(onChange("ks_correction_info", S::CorrectionInfo, Page::KsDisplay,
                       {"ks_display.correction"}));
  c.push_back(
      onChange("ks_transparency", S::Transparency, Page::KsDisplay, {"ks_display.transparency"}));
  c.push_back(
      onChange("ks_temp_type", S::TemperatureType, Page::KsDisplay, {"ks_display.temp_type"}));

  c.push_back(byButton("ks_tv_window", S::TvOutputWindow, Page::KsVideoSize,
                       {"ks_size.tv_h", "ks_size.tv_v"}, Packing::OutputWindow, "Set TV"));
  c.push_back(byButton("ks_hdmi_window", S::HdmiOutputWindow, Page::KsVideoSize,
                       {"ks_size.hdmi_h", "ks_size.hdmi_v"}, Packing::OutputWindow, "Set HDMI"));

  c.push_back(onChange("ks_brightness", S::Level, Page::KsVideo, {"ks_video.brightness"}));
  c.push_back(onChange("ks_contrast", S::Span, Page::KsVideo, {"ks_video.contrast"}));
  c.push_back(onChange("ks_zoom", S::Zoom, Page::KsVideo, {"ks_video.zoom"}));
  c.push_back(onChange("ks_rotation", S::Rotation, Page::KsVideo, {"ks_video.rotation"}));
  c.push_back(onChange("ks_palette", S::Palette, Page::KsVideo, {"ks_video.palette"}));
  c.push_back(onChange("ks_invert", S::Invert, Page::KsVideo, {"ks_video.invert"}));

  for (Page page : {Page::KsImage32, Page::KsImage33}) {
    const bool first = page == Page::KsImage32;
    c.push_back(onChange(first ? "ks32_agc" : "ks33_agc", S::AgcMode, page,
                         {first ? "ks_image32.agc" : "ks_image33.agc"}));
    if (first) {
      c.push_back(byButton("ks32_maximum", S::ManualMaximum, page,
                           {"ks_image32.maximum", "ks_image32.minimum"}, Packing::ManualMaximum,
                           "Set"));
      c.push_back(byButton("ks32_minimum", S::ManualMinimum, page, {"ks_image32.minimum"},
                           Packing::Value, "Set"));
    } else {
      c.push_back(onChange("ks33_level", S::ManualLevel, page, {"ks_image33.level"}));
      c.push_back(onChange("ks33_span", S::ManualSpan, page, {"ks_image33.span"}));
    }
    c.push_back(onChange(first ? "ks32_noise" : "ks33_noise", S::ImageFilter, page,
                         {first ? "ks_image32.noise" : "ks_image33.noise"}));
    c.push_back(onChange(first ? "ks32_edge" : "ks33_edge", S::EdgeFilter, page,
                         {first ? "ks_image32.edge" : "ks_image33.edge"}));
    c.push_back(onChange(first ? "ks32_nr1" : "ks33_nr1", S::Nr1Strength, page,
                         {first ? "ks_image32.nr1" : "ks_image33.nr1"}));
    c.push_back(onChange(first ? "ks32_nr2" : "ks33_nr2", S::Nr2Strength, page,
                         {first ? "ks_image32.nr2" : "ks_image33.nr2"}));
    c.push_back(onChange(first ? "ks32_ee" : "ks33_ee", S::EdgeStrength, page,
                         {first ? "ks_image32.ee" : "ks_image33.ee"}));
  }

  c.push_back(byButton("ks_nuc_once", S::NucOnce, Page::KsNuc, {}, Packing::Fixed, "NUC OneTime"));
  c.push_back(onChange("ks_nuc_timing", S::NucTiming, Page::KsNuc,
                       {"ks_nuc.mode", "ks_nuc.time", "ks_nuc.threshold"}, Packing::NucTiming));

  c.push_back(
      byButton("ks_network", S::IpSetting, Page::KsNetwork,
               {"ks_network.dhcp", "ks_network.ip", "ks_network.mask", "ks_network.gateway"},
               Packing::NetworkKs, "Set Network"));

  CommandEntry alarm1 =
      byButton("ks_alarm_out1", S::AlarmOutput, Page::KsAlarm,
               {"ks_alarm.out1_type", "ks_alarm.out1_mode", "ks_alarm.out1_duration"},
               Packing::AlarmOutput, "Set Alarm01");
  c.push_back(alarm1);
  CommandEntry alarm2 =
      byButton("ks_alarm_out2", S::AlarmOutput, Page::KsAlarm,
               {"ks_alarm.out2_type", "ks_alarm.out2_mode", "ks_alarm.out2_duration"},
               Packing::AlarmOutput, "Set Alarm02");
  alarm2.fixedValue = 1;
  c.push_back(alarm2);

  CommandEntry correction =
      byButton("ks_correction", S::CorrectionParameters, Page::KsCorrection,
               {"ks_correction.used", "ks_correction.emissivity", "ks_correction.transmission",
                "ks_correction.atmosphere", "ks_correction.zero_offset", "ks_correction.distance"},
               Packing::Correction, "Set Correction");
  correction.sentOnChangeOf = {"ks_correction.used"};
  c.push_back(correction);

  c.push_back(
      onChange("ks_system_temp_type", S::TemperatureType, Page::KsSystem, {"ks_system.temp_type"}));
  CommandEntry ksTv = onChange("ks_tv", S::TvMode, Page::KsSystem, {"ks_system.tv"});
  ksTv.question = Question::Reboot;
  c.push_back(ksTv);
  CommandEntry hdmi = onChange("ks_hdmi", S::HdmiMode, Page::KsSystem, {"ks_system.hdmi"});
  hdmi.question = Question::Reboot;
  c.push_back(hdmi);
  c.push_back(onChange("ks_protocol", S::SerialProtocol, Page::KsSystem, {"ks_system.protocol"}));
  c.push_back(onChange("ks_id", S::CameraId, Page::KsSystem, {"ks_system.id"}));
  c.push_back(onChange("ks_baud", S::BaudRate, Page::KsSystem, {"ks_system.baud"}));
  CommandEntry ksRange =
      onChange("ks_range", S::TemperatureRange, Page::KsSystem, {"ks_system.range"});
  ksRange.question = Question::RebootOnVersion32;
  ksRange.headerRequestAfterOnVersion33 = true;
  c.push_back(ksRange);
  c.push_back(onChange("ks_isotherm", S::IsothermMode, Page::KsSystem,
                       {"ks_system.iso_mode", "ks_system.iso_lower", "ks_system.iso_upper"},
                       Packing::Isotherm));
  c.push_back(onChange(
      "ks_isotherm_colours", S::IsothermColours, Page::KsSystem,
      {"ks_system.iso_below_colour", "ks_system.iso_interval_colour", "ks_system.iso_above_colour"},
      Packing::Colours));
  return c;
}

}  // namespace camera::detail
