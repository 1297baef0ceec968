// The rules of the command line that need no file: frame ranges, name patterns, output
// kinds, palettes, camera addresses, options and the progress line.
#include "arguments.h"
#include "camera_capture.h"
#include "cli_error.h"
#include "frame_conversion.h"
#include "frame_selection.h"
#include "json_writer.h"
#include "output_kind.h"
#include "progress.h"
#include "testing/case_name.h"

#include <gtest/gtest.h>

namespace irdexcli {
namespace {

using testsupport::ByName;

// ---- frame ranges --------------------------------------------------------------------

struct SelectionCase {
  const char* name;
  const char* range;  // "" for none
  int64_t every;
  int32_t frameCount;
  std::vector<int32_t> frames;
};

class FrameSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(FrameSelection, TakesTheFramesAskedFor) {
  const auto& c = GetParam();
  const FrameRange range = *c.range ? parseFrameRange(c.range) : FrameRange{};
  EXPECT_EQ(selectFrames(c.frameCount, range, c.every), c.frames);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, FrameSelection,
    ::testing::Values(
        SelectionCase{
            .name = "Everything", .range = "", .every = 1, .frameCount = 4, .frames = {0, 1, 2, 3}},
        SelectionCase{
            .name = "Closed", .range = "1:2", .every = 1, .frameCount = 4, .frames = {1, 2}},
        SelectionCase{
            .name = "OpenEnd", .range = "2:", .every = 1, .frameCount = 4, .frames = {2, 3}},
        SelectionCase{
            .name = "OpenStart", .range = ":1", .every = 1, .frameCount = 4, .frames = {0, 1}},
        SelectionCase{
            .name = "SingleFrame", .range = "3", .every = 1, .frameCount = 4, .frames = {3}},
        SelectionCase{
            .name = "EveryThird", .range = "", .every = 3, .frameCount = 8, .frames = {0, 3, 6}},
        SelectionCase{.name = "EverySecondOfRange",
                      .range = "1:6",
                      .every = 2,
                      .frameCount = 8,
                      .frames = {1, 3, 5}}),
    ByName());

struct BadRangeCase {
  const char* name;
  const char* range;
  int32_t frameCount;
  int status;  // usage (2) for a malformed range, run (1) for one outside the file
};

class BadFrameRange : public ::testing::TestWithParam<BadRangeCase> {};

TEST_P(BadFrameRange, IsRefusedWithItsKindOfError) {
  const auto& c = GetParam();
  try {
    selectFrames(c.frameCount, parseFrameRange(c.range), 1);
    FAIL() << "accepted " << c.range;
  } catch (const CliError& error) {
    EXPECT_EQ(error.status(), c.status) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, BadFrameRange,
    ::testing::Values(
        BadRangeCase{.name = "Letters", .range = "a:b", .frameCount = 4, .status = kExitUsage},
        BadRangeCase{.name = "Negative", .range = "-1:2", .frameCount = 4, .status = kExitUsage},
        BadRangeCase{.name = "Backwards", .range = "3:1", .frameCount = 4, .status = kExitUsage},
        BadRangeCase{.name = "TwoColons", .range = "1:2:3", .frameCount = 4, .status = kExitUsage},
        BadRangeCase{.name = "Empty", .range = "", .frameCount = 4, .status = kExitUsage},
        BadRangeCase{.name = "PastTheEnd", .range = "2:4", .frameCount = 4, .status = kExitFailure},
        BadRangeCase{
            .name = "StartPastTheEnd", .range = "9:", .frameCount = 4, .status = kExitFailure},
        BadRangeCase{.name = "EmptyFile", .range = ":", .frameCount = 0, .status = kExitFailure}),
    ByName());

// ---- name patterns -------------------------------------------------------------------

struct PatternCase {
  const char* name;
  const char* pattern;
  int64_t number;
  const char* expanded;
};

class NamePatterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(NamePatterns, ExpandToTheFrameNumber) {
  const auto& c = GetParam();
  const auto pattern = parseNamePattern(c.pattern);
  ASSERT_TRUE(pattern);
  EXPECT_EQ(expandNamePattern(*pattern, c.number), c.expanded);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, NamePatterns,
    ::testing::Values(
        PatternCase{.name = "Plain", .pattern = "f%d.png", .number = 7, .expanded = "f7.png"},
        PatternCase{
            .name = "Padded", .pattern = "f%05d.csv", .number = 42, .expanded = "f00042.csv"},
        PatternCase{.name = "WiderThanPadding",
                    .pattern = "f%03d.tiff",
                    .number = 12345,
                    .expanded = "f12345.tiff"},
        PatternCase{.name = "PercentKept",
                    .pattern = "100%%_%d.png",
                    .number = 1,
                    .expanded = "100%_1.png"},
        PatternCase{.name = "InFolder",
                    .pattern = "out/%02d/x.png",
                    .number = 3,
                    .expanded = "out/03/x.png"}),
    ByName());

struct BadPatternCase {
  const char* name;
  const char* pattern;
};

class BadNamePattern : public ::testing::TestWithParam<BadPatternCase> {};

TEST_P(BadNamePattern, IsAUsageError) {
  try {
    parseNamePattern(GetParam().pattern);
    FAIL() << "accepted";
  } catch (const CliError& error) {
    EXPECT_EQ(error.status(), kExitUsage);
  }
}

INSTANTIATE_TEST_SUITE_P(Patterns, BadNamePattern,
                         ::testing::Values(BadPatternCase{"String", "f%s.png"},
                                           BadPatternCase{"TwoNumbers", "f%d_%d.png"},
                                           BadPatternCase{"ZeroWidth", "f%00d.png"},
                                           BadPatternCase{"Trailing", "f%"},
                                           BadPatternCase{"Width", "f%5d.png"}),
                         ByName());

TEST(NamePattern, NameWithoutPatternHasNone) {
  EXPECT_FALSE(parseNamePattern("frame.png"));
  EXPECT_EQ(literalName("100%%.png"), "100%.png");
}

// ---- output kinds --------------------------------------------------------------------

struct KindCase {
  const char* name;
  const char* path;
  std::optional<OutputKind> kind;
};

class OutputKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(OutputKinds, FollowTheExtension) {
  EXPECT_EQ(outputKindOf(GetParam().path), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Extensions, OutputKinds,
                         ::testing::Values(KindCase{"Csv", "a.csv", OutputKind::Csv},
                                           KindCase{"Tif", "a.tif", OutputKind::Tiff},
                                           KindCase{"TiffUpper", "A.TIFF", OutputKind::Tiff},
                                           KindCase{"Png", "a.png", OutputKind::Png},
                                           KindCase{"Jpeg", "a.jpeg", OutputKind::Jpeg},
                                           KindCase{"Jpg", "a.jpg", OutputKind::Jpeg},
                                           KindCase{"Stream", "a.hxr", OutputKind::Stream},
                                           KindCase{"Movie", "a.avi", OutputKind::Movie},
                                           KindCase{"Unknown", "a.bmp", std::nullopt},
                                           KindCase{"None", "a", std::nullopt},
                                           KindCase{"DotFolder", "x.png/a", std::nullopt}),
                         ByName());

// ---- palettes ------------------------------------------------------------------------

struct PaletteCase {
  const char* name;
  const char* text;
  int32_t index;
};

class Palettes : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(Palettes, AreFoundByNameOrIndex) {
  EXPECT_EQ(parsePalette(GetParam().text), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Names, Palettes,
                         ::testing::Values(PaletteCase{"Iron", "Iron", 8},
                                           PaletteCase{"LowerCase", "glowbow", 12},
                                           PaletteCase{"Index", "0", 0},
                                           PaletteCase{"LastIndex", "12", 12},
                                           PaletteCase{"Grey", "GREY", 11}),
                         ByName());

struct BadPaletteCase {
  const char* name;
  const char* text;
};

class UnknownPalette : public ::testing::TestWithParam<BadPaletteCase> {};

TEST_P(UnknownPalette, IsAUsageErrorListingTheNames) {
  try {
    parsePalette(GetParam().text);
    FAIL();
  } catch (const CliError& error) {
    EXPECT_EQ(error.status(), kExitUsage);
    EXPECT_NE(std::string(error.what()).find("Glowbow"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownPalette,
                         ::testing::Values(BadPaletteCase{"Name", "Lava"},
                                           BadPaletteCase{"PastLast", "13"},
                                           BadPaletteCase{"Negative", "-1"},
                                           BadPaletteCase{"Empty", ""}),
                         ByName());

// ---- camera addresses ----------------------------------------------------------------

struct AddressCase {
  const char* name;
  const char* text;
  const char* host;  // "" when refused
  const char* port;
};

class CameraAddresses : public ::testing::TestWithParam<AddressCase> {};

TEST_P(CameraAddresses, FollowTheAnalyzersAddressRule) {
  const auto& c = GetParam();
  if (!*c.host) {
    EXPECT_THROW(parseCameraAddress(c.text), CliError);
    return;
  }
  const CameraAddress address = parseCameraAddress(c.text);
  EXPECT_EQ(address.host, c.host);
  EXPECT_EQ(address.port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, CameraAddresses,
    ::testing::Values(AddressCase{"DefaultPort", "127.0.0.1", "127.0.0.1", "15001"},
                      AddressCase{"WithPort", "127.0.0.1:2000", "127.0.0.1", "2000"},
                      AddressCase{"HostName", "camera.local", "", ""},
                      AddressCase{"ThreeParts", "127.0.1", "", ""},
                      AddressCase{"PortZero", "127.0.0.1:0", "", ""},
                      AddressCase{"PortTooLarge", "127.0.0.1:70000", "", ""},
                      AddressCase{"PortNotANumber", "127.0.0.1:http", "", ""}),
    ByName());

// ---- options -------------------------------------------------------------------------

struct OptionCase {
  const char* name;
  std::vector<std::string> words;
  bool accepted;
};

class OptionParsing : public ::testing::TestWithParam<OptionCase> {};

TEST_P(OptionParsing, AcceptsKnownOptionsAndRefusesTheRest) {
  const std::vector<OptionRule> rules = {{"every", true}, {"invert", false}};
  const auto parse = [&] { return Arguments::parse(GetParam().words, rules, "convert"); };
  if (GetParam().accepted)
    EXPECT_NO_THROW(parse());
  else
    EXPECT_THROW(parse(), CliError);
}

INSTANTIATE_TEST_SUITE_P(
    Words, OptionParsing,
    ::testing::Values(OptionCase{"SeparateValue", {"--every", "3", "a", "b"}, true},
                      OptionCase{"InlineValue", {"--every=3", "a"}, true},
                      OptionCase{"Flag", {"--invert", "a"}, true},
                      OptionCase{"DashedFileAfterEnd", {"--", "-a.hxr"}, true},
                      OptionCase{"Unknown", {"--colour", "a"}, false},
                      OptionCase{"MissingValue", {"a", "--every"}, false},
                      OptionCase{"FlagWithValue", {"--invert=1"}, false}),
    ByName());

TEST(OptionParsing, NumbersOutsideTheirRangeNameTheOption) {
  const Arguments args = Arguments::parse({"--every", "0"}, {{"every", true}}, "convert");
  try {
    args.integer("every", 1, 1, 100);
    FAIL();
  } catch (const CliError& error) {
    EXPECT_NE(std::string(error.what()).find("--every"), std::string::npos);
  }
}

// ---- progress and JSON ---------------------------------------------------------------

TEST(ProgressLine, ShowsFramesRateAndTimeLeft) {
  EXPECT_EQ(Progress::line("converting", 15, 30, 5.0, std::nullopt),
            "converting [############------------] 15/30 frames  5.0 fps  0:03 left");
}

TEST(ProgressLine, WithoutTotalShowsTheCountAndGivenTimeLeft) {
  EXPECT_EQ(Progress::line("recording", 7, 0, 2.0, 65.0), "recording 7 frames  2.0 fps  1:05 left");
}

TEST(Progress, DrawsNothingWhenDisabled) {
  std::ostringstream out;
  {
    Progress progress(out, false, "x");
    progress.update(1, 2);
  }
  EXPECT_TRUE(out.str().empty());
}

TEST(Json, EscapesControlCharactersAndQuotes) {
  EXPECT_EQ(jsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

TEST(Json, NonFiniteNumbersAreNull) {
  EXPECT_EQ(jsonNumber(std::numeric_limits<double>::infinity()), "null");
}

}  // namespace
}  // namespace irdexcli
